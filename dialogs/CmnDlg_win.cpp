#include "dialogs/CmnDlg_win.h"

#include "common/ComApartment_win.h"
#include "common/SystemMessage_win.h"

#include <memory>
#include <type_traits>

namespace quibex {

namespace {

using ItemIdList = std::remove_pointer_t<PIDLIST_ABSOLUTE>;

// The shell's item lists are the caller's to free.
struct ItemListFree {
  decltype(&::CoTaskMemFree) free;
  void operator()(ItemIdList* list) const { free(list); }
};
using ItemList = std::unique_ptr<ItemIdList, ItemListFree>;

HINSTANCE ProgramInstance() { return GetModuleHandleA(nullptr); }

// The program file for a command line whose first word names no folder: the
// one in the system folder. The search CreateProcess would otherwise make
// looks in the current directory first, and the analysis run makes the
// analysed project's folder current.
std::string SystemProgramPath(const std::string& commandLine) {
  const std::string program = commandLine.substr(0, commandLine.find(' '));
  if (program.empty() || program.find_first_of("\\/:\"") != std::string::npos) return {};
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(folder, length) + "\\" + program;
}

}  // namespace

const CmnDlgApi& SystemCmnDlgApi() {
  static const CmnDlgApi api{
      &::GetOpenFileNameA,   &::GetSaveFileNameA,           &::ShellExecuteA,
      &::SHBrowseForFolderA, &::SHGetSpecialFolderLocation, &::SHGetPathFromIDListA,
      &::CoTaskMemFree,      &::ChooseColorA,               &::CreateProcessA,
  };
  return api;
}

Win32CmnDlgPlatform::Win32CmnDlgPlatform(const CmnDlgApi& api) : api_(api) {
  CPINFO info{};
  if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2) {
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2) {
      codePage_.AddLeadRange(info.LeadByte[i], info.LeadByte[i + 1]);
    }
  }
  codePage_.number = static_cast<int>(GetACP());
}

Win32CmnDlgPlatform& Win32CmnDlgPlatform::System() {
  static Win32CmnDlgPlatform platform;
  return platform;
}

bool Win32CmnDlgPlatform::RunFileDialog(FileDialogKind kind, FileDialogRequest& request) {
  OPENFILENAMEA record{};
  record.lStructSize = kOpenFileNameSize;
  record.hwndOwner = ToHwnd(request.owner);
  record.hInstance = ProgramInstance();
  record.lpstrFilter = request.filter.c_str();
  record.nFilterIndex = static_cast<DWORD>(request.filterIndex);
  record.lpstrFile = request.file.data();
  record.nMaxFile = request.maxFile;
  record.lpstrDefExt = request.defaultExt.c_str();
  record.lpstrFileTitle = request.fileTitle.data();
  record.nMaxFileTitle = static_cast<DWORD>(request.fileTitle.size());
  record.lpstrInitialDir = request.initDir.c_str();
  record.lpstrTitle = request.title.c_str();
  record.Flags = static_cast<DWORD>(request.flags);

  const auto show = kind == FileDialogKind::Open ? api_.GetOpenFileNameA : api_.GetSaveFileNameA;
  if (!show(&record)) return false;
  request.flags = static_cast<std::int32_t>(record.Flags);
  request.filterIndex = static_cast<std::int32_t>(record.nFilterIndex);
  return true;
}

std::int32_t Win32CmnDlgPlatform::RunShellVerb(WindowHandle owner, std::string_view verb, std::string_view file,
                                               std::string_view parameters, std::string_view directory,
                                               std::int32_t showCmd) {
  const std::string verbText(verb), fileText(file), parameterText(parameters), directoryText(directory);
  const HINSTANCE result = api_.ShellExecuteA(ToHwnd(owner), verbText.c_str(), fileText.c_str(),
                                              parameterText.c_str(), directoryText.c_str(), showCmd);
  // Not a real instance handle: a code, greater than 32 on success.
  return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(result));
}

std::optional<std::string> Win32CmnDlgPlatform::BrowseForFolder(const BrowseRequest& request) {
  // The folder browser wants a single-threaded apartment; the program itself
  // only sets one up in set-up mode, so the browser brings its own.
  win::ComApartment apartment;
  const HWND owner = ToHwnd(request.owner);

  ItemList root(nullptr, ItemListFree{api_.CoTaskMemFree});
  if (request.rootFolder) {
    // A failed lookup leaves the root null: the browser then shows everything.
    PIDLIST_ABSOLUTE list = nullptr;
    api_.SHGetSpecialFolderLocation(owner, *request.rootFolder, &list);
    root.reset(list);
  }

  BROWSEINFOA record{};
  record.hwndOwner = owner;
  record.pidlRoot = root.get();
  record.lpszTitle = request.title.c_str();
  record.ulFlags = request.flags;
  ItemList chosen(api_.SHBrowseForFolderA(&record), ItemListFree{api_.CoTaskMemFree});
  if (!chosen) return std::nullopt;  // cancelled; there is no list to ask for a path

  std::string path(kBrowsePathChars, '\0');
  if (!api_.SHGetPathFromIDListA(chosen.get(), path.data())) return std::nullopt;
  return TextBeforeNul(path);
}

std::optional<std::int32_t> Win32CmnDlgPlatform::PickColor(WindowHandle owner, std::int32_t flags) {
  // Fresh every time, so custom colours do not carry over between calls.
  COLORREF customColors[16] = {};
  CHOOSECOLORA record{};
  record.lStructSize = sizeof record;
  record.hwndOwner = ToHwnd(owner);
  // The record keeps an old HWND type for what is an instance handle.
  record.hInstance = reinterpret_cast<HWND>(ProgramInstance());
  record.rgbResult = 0;
  record.lpCustColors = customColors;
  record.Flags = static_cast<DWORD>(flags);
  if (!api_.ChooseColorA(&record)) return std::nullopt;
  return static_cast<std::int32_t>(record.rgbResult);
}

void Win32CmnDlgPlatform::StartProcess(const std::string& commandLine, std::int32_t windowState) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowState);
  PROCESS_INFORMATION process{};
  const std::string program = SystemProgramPath(commandLine);
  std::string line = commandLine;  // the command line must be writable
  if (!api_.CreateProcessA(program.empty() ? nullptr : program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                           nullptr, nullptr, &startup, &process)) {
    const DWORD error = GetLastError();
    throw CmnDlgError(static_cast<std::int32_t>(error), "cannot start '" + commandLine + "': " + win::SystemMessage(error));
  }
  // Not waited for; only the handles are let go.
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
}

HostedCmnDlg::HostedCmnDlg(HWND owner) : host_(FromHwnd(owner)), dlg_(host_, Win32CmnDlgPlatform::System()) {
  MemoryPropertyStore storedForm;
  dlg_.ReadProperties(storedForm);
  dlg_.Resize();
}

}  // namespace quibex
