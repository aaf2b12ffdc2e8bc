// The dialog control on Win32: the common dialogs, the shell and the process
// start behind CmnDlgPlatform, reached through a table of functions that
// tests replace to see the records the control builds.
//
// A window that needs one control, e.g. frmMain:
//
//   quibex::HostedCmnDlg cmnDlg_;          // member; all properties at their defaults
//   cmnDlg_.SetOwner(hwnd);                // once the window exists
//   cmnDlg_->ShowOpen();
//   if (cmnDlg_->LastError() == "0") { /* cmnDlg_->FileName(), cmnDlg_->FileTitle() */ }
//   cmnDlg_->ShowFile(address);
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstddef>

#include "dialogs/CmnDlg.h"

namespace quibex {

// The platform's published records in the form the control hands them over.
// The file dialogs get the record that ends with lpTemplateName (76 bytes on
// 32-bit Windows); the newer tail stays zero and unannounced.
inline constexpr DWORD kOpenFileNameSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(kOpenFileNameSize == 76);
static_assert(sizeof(BROWSEINFOA) == 32);
static_assert(sizeof(CHOOSECOLORA) == 36);
#endif

// The platform functions the control calls.
struct CmnDlgApi {
    decltype(&::GetOpenFileNameA) GetOpenFileNameA;
    decltype(&::GetSaveFileNameA) GetSaveFileNameA;
    decltype(&::ShellExecuteA) ShellExecuteA;
    decltype(&::SHBrowseForFolderA) SHBrowseForFolderA;
    decltype(&::SHGetSpecialFolderLocation) SHGetSpecialFolderLocation;
    decltype(&::SHGetPathFromIDListA) SHGetPathFromIDListA;
    decltype(&::CoTaskMemFree) CoTaskMemFree;  // frees the shell's item lists
    decltype(&::ChooseColorA) ChooseColorA;
    decltype(&::CreateProcessA) CreateProcessA;
};

// The real functions.
const CmnDlgApi& SystemCmnDlgApi();

inline HWND ToHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }
inline WindowHandle FromHwnd(HWND hwnd) { return reinterpret_cast<WindowHandle>(hwnd); }

class Win32CmnDlgPlatform : public CmnDlgPlatform {
public:
    explicit Win32CmnDlgPlatform(const CmnDlgApi& api = SystemCmnDlgApi());
    // One shared instance over the real functions.
    static Win32CmnDlgPlatform& System();

    bool RunFileDialog(FileDialogKind kind, FileDialogRequest& request) override;
    std::int32_t RunShellVerb(WindowHandle owner, std::string_view verb, std::string_view file,
                              std::string_view parameters, std::string_view directory,
                              std::int32_t showCmd) override;
    std::optional<std::string> BrowseForFolder(const BrowseRequest& request) override;
    std::optional<std::int32_t> PickColor(WindowHandle owner, std::int32_t flags) override;
    // A program named without a folder (rundll32.exe) is taken from the system
    // folder, never from the current directory.
    void StartProcess(const std::string& commandLine, std::int32_t windowState) override;
    // The system's ANSI code page, which the "A" dialogs speak.
    const CodePage& TextCodePage() override { return codePage_; }

private:
    CmnDlgApi api_;
    CodePage codePage_;
};

// One dialog control for an ordinary window, loaded as from a form that
// stores no property: BrowsePath true, FilterIndex 1, everything else 0,
// false or empty. Reach the control with -> or *.
class HostedCmnDlg {
public:
    explicit HostedCmnDlg(HWND owner = nullptr);
    HostedCmnDlg(const HostedCmnDlg&) = delete;
    HostedCmnDlg& operator=(const HostedCmnDlg&) = delete;

    // The window the dialogs are modal to.
    void SetOwner(HWND owner) { host_.SetOwnerWindow(FromHwnd(owner)); }
    CmnDlg& operator*() { return dlg_; }
    CmnDlg* operator->() { return &dlg_; }

private:
    StandaloneHost host_;
    CmnDlg dlg_;
};

}  // namespace quibex
