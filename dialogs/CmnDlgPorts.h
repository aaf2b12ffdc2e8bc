// What the dialog control needs from outside: the form that hosts it and the
// platform's dialogs. Both are interfaces so that tests and other platforms
// can supply their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/CodePage.h"

namespace quibex {

// A window handle as an opaque number; the Win32 layer casts it to HWND.
using WindowHandle = std::uintptr_t;

// Services of the form that hosts a control.
class CmnDlgHost {
public:
    virtual ~CmnDlgHost() = default;
    // The hosting form's window; throws when the host has none to give.
    virtual WindowHandle OwnerWindow() = 0;
    // Tells the host that the named property changed.
    virtual void PropertyChanged(std::string_view name) = 0;
    // Sets the control's own size on the form, in twips.
    virtual void SetSize(std::int32_t widthTwips, std::int32_t heightTwips) = 0;
};

// A host for a control that lives in an ordinary window rather than on a
// designed form: it knows the owner window, keeps the size and ignores
// change notifications, since no designer is listening.
class StandaloneHost : public CmnDlgHost {
public:
    explicit StandaloneHost(WindowHandle owner = 0) : owner_(owner) {}

    void SetOwnerWindow(WindowHandle owner) { owner_ = owner; }
    WindowHandle OwnerWindow() override { return owner_; }
    void PropertyChanged(std::string_view) override {}
    void SetSize(std::int32_t widthTwips, std::int32_t heightTwips) override {
        width_ = widthTwips;
        height_ = heightTwips;
    }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }

private:
    WindowHandle owner_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

enum class FileDialogKind { Open, Save };

// Everything the open and save dialogs read, and the buffers they write.
struct FileDialogRequest {
    WindowHandle owner = 0;
    std::string filter;  // pieces each ending in NUL, then one more NUL
    std::int32_t filterIndex = 0;
    std::string file;           // initial name, then NULs; receives the chosen path
    std::uint32_t maxFile = 0;  // characters the dialog may use in `file`
    std::string fileTitle;      // NULs; receives the chosen file's title
    std::string initDir;
    std::string title;       // caption
    std::int32_t flags = 0;  // platform flags, in and out
    std::string defaultExt;  // extension, then one NUL
};

struct BrowseRequest {
    WindowHandle owner = 0;
    std::optional<std::int32_t> rootFolder;  // special-folder number, or none
    std::string title;
    std::uint32_t flags = 0;
};

// The platform's dialogs and shell actions.
class CmnDlgPlatform {
public:
    virtual ~CmnDlgPlatform() = default;
    // Shows the open or save dialog; true when the user chose a file, false on
    // a cancel or when the dialog itself failed. Fills request's out members.
    virtual bool RunFileDialog(FileDialogKind kind, FileDialogRequest& request) = 0;
    // Hands a file or address to the shell; the shell's code (> 32 succeeded).
    virtual std::int32_t RunShellVerb(WindowHandle owner, std::string_view verb, std::string_view file,
                                      std::string_view parameters, std::string_view directory,
                                      std::int32_t showCmd) = 0;
    // The chosen folder's path; nothing on a cancel or an item without a path.
    virtual std::optional<std::string> BrowseForFolder(const BrowseRequest& request) = 0;
    // The chosen colour; nothing on a cancel. The dialog starts on black.
    virtual std::optional<std::int32_t> PickColor(WindowHandle owner, std::int32_t flags) = 0;
    // Starts a command line with the given window state and does not wait for
    // it; throws CmnDlgError when it cannot be started.
    virtual void StartProcess(const std::string& commandLine, std::int32_t windowState) = 0;
    // The code page of the texts the dialogs take and give: where a double-
    // byte character's trail byte must not be read as "|" or "\".
    virtual const CodePage& TextCodePage() {
        static const CodePage kSingleByte;
        return kSingleByte;
    }
};

}  // namespace quibex
