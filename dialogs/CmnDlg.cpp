#include "dialogs/CmnDlg.h"

#include <optional>
#include <utility>

namespace quibex {

void CmnDlg::SetAction(std::int32_t value) {
    switch (value) {
        case 1: ShowOpen(); break;
        case 2: ShowSave(); break;
        case 3: ShowColor(); break;
        case 4: ShowFont(); break;
        case 5: ShowPrinter(); break;
        case 7: ShowBrowse(); break;
        case 8: ShowControl(); break;
        default: break;  // 6 was never given an operation
    }
}

void CmnDlg::SetBrowsePath(bool value) {
    browsePath_ = value;
    Changed("BrowsePath");
}

void CmnDlg::SetBrowseWhat(std::int32_t value) {
    browseWhat_ = value;
    Changed("BrowseWhat");
}

void CmnDlg::SetCancelError(bool value) {
    cancelError_ = value;
    Changed("CancelError");
}

void CmnDlg::SetColor(std::int32_t value) {
    color_ = value;
    Changed("Color");
}

void CmnDlg::SetControlApplet(std::int32_t value) {
    controlApplet_ = value;
    Changed("ControlApplet");
}

void CmnDlg::SetDefaultExt(std::string_view value) {
    defaultExt_ = value;
    Changed("DefaultExt");
}

void CmnDlg::SetDialogTitle(std::string_view value) {
    dialogTitle_ = value;
    Changed("DialogTitle");
}

void CmnDlg::SetFileName(std::string_view value) {
    fileName_ = value;
    fileTitle_ = TitleFromPath(fileName_, platform_.TextCodePage());
    Changed("FileName");
}

void CmnDlg::SetFileTitle(std::string_view value) {
    fileTitle_ = value;
    Changed("FileTitle");
}

void CmnDlg::SetFilter(std::string_view value) {
    filter_ = value;
    Changed("Filter");
}

void CmnDlg::SetFilterIndex(std::int32_t value) {
    filterIndex_ = value;
    Changed("FilterIndex");
}

void CmnDlg::SetFlags(std::int32_t value) {
    flags_ = value;
    Changed("Flags");
}

void CmnDlg::SetInitDir(std::string_view value) {
    initDir_ = value;
    Changed("InitDir");
}

void CmnDlg::ShowOpen() { ShowFileDialog(FileDialogKind::Open); }

void CmnDlg::ShowSave() { ShowFileDialog(FileDialogKind::Save); }

void CmnDlg::ShowFileDialog(FileDialogKind kind) {
    const bool save = kind == FileDialogKind::Save;
    // The save dialog carries on past a step that fails (the host, the record,
    // storing a result), leaving that part of the record empty; the open
    // dialog reports the failure to its caller.
    auto step = [save](auto&& action) {
        if (!save) {
            action();
            return;
        }
        try {
            action();
        } catch (...) {
        }
    };

    lastError_ = 0;
    FileDialogRequest request;
    step([&] { request.owner = host_.OwnerWindow(); });
    step([&] {
        request.filter = ConvertFilter(filter_, platform_.TextCodePage());
        request.filterIndex = filterIndex_;
        request.file = FileDialogBuffer(fileName_, save ? kSaveFileSpare : kOpenFileSpare);
        request.maxFile = static_cast<std::uint32_t>(request.file.size() - 1);
        request.defaultExt = defaultExt_;
        request.defaultExt.push_back('\0');
        request.fileTitle.assign(kFileTitleChars, '\0');
        request.initDir = initDir_;
        request.title = !dialogTitle_.empty() ? dialogTitle_ : save ? "Save As" : "Open";
        request.flags = save ? flags_ | kHideReadOnlyFlag : flags_;
    });

    bool chosen = false;  // a save dialog that cannot run counts as a cancel
    step([&] { chosen = platform_.RunFileDialog(kind, request); });
    if (chosen) {
        // With several files chosen the buffer holds the folder, then the
        // names; the text before the first NUL is the folder.
        step([&] { SetFileName(TextBeforeNul(request.file)); });
        // The dialog's own title wins over the one derived from the path.
        step([&] { SetFileTitle(TextBeforeNul(request.fileTitle)); });
        step([&] { SetFlags(request.flags); });
        step([&] { SetFilterIndex(request.filterIndex); });
    } else {
        lastError_ = kCancelError;
    }
    if (cancelError_ && lastError_ != 0) throw CmnDlgCancelError();
}

void CmnDlg::ShowFile(std::string_view file, std::string_view parameters, std::string_view directory,
                      std::int32_t showCmd) {
    lastError_ = 0;
    const WindowHandle owner = host_.OwnerWindow();
    lastError_ = platform_.RunShellVerb(owner, "open", file, parameters, directory, showCmd);
}

void CmnDlg::ShowBrowse() {
    lastError_ = 0;
    BrowseRequest request;
    request.rootFolder = SpecialFolderNumber(browseWhat_);
    request.owner = host_.OwnerWindow();
    request.title = dialogTitle_;
    request.flags = browsePath_ ? kBrowseFileSystemFolders : kBrowseComputers;
    const std::optional<std::string> folder = platform_.BrowseForFolder(request);

    // The outcome goes straight into the fields: a folder has no file title,
    // and CancelError doubles as the browser's "nothing chosen" answer.
    fileName_.clear();
    cancelError_ = false;
    if (folder) {
        fileName_ = *folder;
    } else {
        cancelError_ = true;
    }
}

void CmnDlg::ShowColor() {
    lastError_ = 0;
    const WindowHandle owner = host_.OwnerWindow();
    const std::optional<std::int32_t> picked = platform_.PickColor(owner, Flags());
    if (picked) {
        SetColor(*picked);
    } else {
        lastError_ = kCancelError;
    }
    if (cancelError_ && lastError_ != 0) throw CmnDlgCancelError();
}

void CmnDlg::ShowControl(std::int32_t page, std::int32_t windowStyle, std::string_view applet,
                         std::string_view runDll) {
    const std::optional<std::string> command =
        applet.empty() ? ControlPanelCommand(controlApplet_, page) : AppletCommand(runDll, applet, page);
    if (!command) return;
    platform_.StartProcess(*command, windowStyle);
}

void CmnDlg::RGBColor(std::int32_t color, std::int32_t& red, std::int32_t& green, std::int32_t& blue) {
    const ColorParts parts = SplitColor(color);
    red = parts.red;
    green = parts.green;
    blue = parts.blue;
}

void CmnDlg::InitProperties() {
    SetBrowsePath(true);
    SetFilterIndex(1);
}

void CmnDlg::ReadProperties(PropertyStore& store) {
    SetBrowseWhat(store.ReadInteger("BrowseWhat", 0));
    SetBrowsePath(store.ReadBoolean("BrowsePath", true));
    SetCancelError(store.ReadBoolean("CancelError", false));
    SetColor(store.ReadInteger("Color", 0));
    SetControlApplet(store.ReadInteger("ControlApplet", 0));
    SetDefaultExt(store.ReadString("DefaultExt", ""));
    SetDialogTitle(store.ReadString("DialogTitle", ""));
    SetFileName(store.ReadString("FileName", ""));
    SetFilter(store.ReadString("Filter", ""));
    SetFilterIndex(store.ReadInteger("FilterIndex", 1));
    SetFlags(store.ReadInteger("Flags", 0));
    // Part of the stored form, but no property keeps them.
    store.ReadInteger("HelpCommand", 0);
    store.ReadString("HelpFile", "");
    store.ReadString("HelpKey", "");
    SetInitDir(store.ReadString("InitDir", ""));
}

void CmnDlg::WriteProperties(PropertyStore& store) {
    store.WriteInteger("BrowseWhat", BrowseWhat(), 0);
    store.WriteBoolean("BrowsePath", BrowsePath(), true);
    store.WriteBoolean("CancelError", CancelError(), false);
    store.WriteInteger("Color", Color(), 0);
    store.WriteInteger("ControlApplet", ControlApplet(), 0);
    store.WriteString("DefaultExt", DefaultExt(), "");
    store.WriteString("DialogTitle", DialogTitle(), "");
    store.WriteString("FileName", FileName(), "");
    store.WriteString("Filter", Filter(), "");
    store.WriteInteger("FilterIndex", FilterIndex(), 1);
    store.WriteInteger("Flags", Flags(), 0);
    // Written empty, which equals the default, so a store leaves them out.
    store.WriteInteger("HelpCommand", 0, 0);
    store.WriteString("HelpFile", "", "");
    store.WriteString("HelpKey", "", "");
    store.WriteString("InitDir", InitDir(), "");
}

void CmnDlg::Resize() { host_.SetSize(kControlSizeTwips, kControlSizeTwips); }

}  // namespace quibex
