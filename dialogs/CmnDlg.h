// CmnDlg: the dialog control. A caller sets properties, runs one of the
// Show... operations (or sets Action to its number) and reads the results
// back from the same properties.
//
// Typical use, as the main window's File > Open does it (see
// dialogs/CmnDlg_win.h for HostedCmnDlg, which wires host and platform):
//
//   dlg.ShowOpen();                    // caption "Open", no filter, silent cancel
//   if (dlg.LastError() == "0") {      // "32755" after a cancel
//     Open(dlg.FileName(), dlg.FileTitle());
//   }
//   dlg.ShowFile("http://example.com/");  // LastError() becomes the shell's code
//
// With CancelError() true, a cancelled ShowOpen, ShowSave or ShowColor throws
// CmnDlgCancelError after LastError() has become "32755".
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "dialogs/CmnDlgPorts.h"
#include "dialogs/CmnDlgRules.h"
#include "dialogs/PropertyStore.h"

namespace quibex {

// An error the control reports, with its number.
class CmnDlgError : public std::runtime_error {
public:
    CmnDlgError(std::int32_t number, const std::string& text) : std::runtime_error(text), number_(number) {}
    std::int32_t Number() const { return number_; }

private:
    std::int32_t number_;
};

// A cancelled dialog while CancelError is true: number 32755 and no text.
class CmnDlgCancelError : public CmnDlgError {
public:
    CmnDlgCancelError() : CmnDlgError(kCancelError, "") {}
};

class CmnDlg {
public:
    // Starts with the initial values: everything 0, false or empty. A control
    // placed anew then gets InitProperties, a loaded one ReadProperties.
    CmnDlg(CmnDlgHost& host, CmnDlgPlatform& platform) : host_(host), platform_(platform) {}
    CmnDlg(const CmnDlg&) = delete;
    CmnDlg& operator=(const CmnDlg&) = delete;

    // Runs an operation by number: 1 ShowOpen, 2 ShowSave, 3 ShowColor,
    // 4 ShowFont, 5 ShowPrinter, 7 ShowBrowse, 8 ShowControl with its
    // defaults; any other number does nothing. Errors pass to the caller.
    void SetAction(std::int32_t value);

    // Property accessors. Every writer stores the value and then tells the
    // host the property's name; none of them checks the value.
    bool BrowsePath() const { return browsePath_; }
    void SetBrowsePath(bool value);
    std::int32_t BrowseWhat() const { return browseWhat_; }
    void SetBrowseWhat(std::int32_t value);
    bool CancelError() const { return cancelError_; }
    void SetCancelError(bool value);
    std::int32_t Color() const { return color_; }
    void SetColor(std::int32_t value);
    std::int32_t ControlApplet() const { return controlApplet_; }
    void SetControlApplet(std::int32_t value);
    std::string DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(std::string_view value);
    std::string DialogTitle() const { return dialogTitle_; }
    void SetDialogTitle(std::string_view value);
    std::string FileName() const { return fileName_; }
    // Also makes FileTitle the text after the last "\" (empty without one);
    // only "FileName" is notified.
    void SetFileName(std::string_view value);
    // Read only: set by SetFileName and by the file dialogs.
    std::string FileTitle() const { return fileTitle_; }
    std::string Filter() const { return filter_; }
    void SetFilter(std::string_view value);
    std::int32_t FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(std::int32_t value);
    std::int32_t Flags() const { return flags_; }
    void SetFlags(std::int32_t value);
    std::string InitDir() const { return initDir_; }
    void SetInitDir(std::string_view value);
    // The code of the last ShowOpen, ShowSave, ShowFile, ShowColor or
    // ShowBrowse as decimal text: "0", "32755" for a cancel, or the shell's code.
    std::string LastError() const { return std::to_string(lastError_); }

    // Starts a control-panel item: with an empty applet the item numbered
    // ControlApplet (unknown numbers start nothing), else
    // "rundll32.exe shell32.dll,<runDll> <applet>,,<page>". Does not wait.
    void ShowControl(std::int32_t page = 0, std::int32_t windowStyle = 1, std::string_view applet = {},
                     std::string_view runDll = "Control_RunDLL");
    // The file dialogs. On success FileName, FileTitle, Flags and FilterIndex
    // take the dialog's answer; a cancel leaves them and sets LastError 32755.
    void ShowOpen();
    void ShowSave();
    // Lets the user pick a folder: FileName becomes its path and CancelError
    // false, or on a cancel FileName empty and CancelError true. Never throws
    // for a cancel; LastError stays 0.
    void ShowBrowse();
    // Lets the user pick a colour, starting on black; Color takes the answer.
    void ShowColor();
    // Present for completeness; they do nothing.
    void ShowFont() {}
    void ShowPrinter() {}
    // Opens a file or address with the shell's "open" verb; LastError takes
    // the shell's code (greater than 32 on success). Never throws on a shell error.
    void ShowFile(std::string_view file, std::string_view parameters = {}, std::string_view directory = {},
                  std::int32_t showCmd = 1);
    // Splits a 0x00BBGGRR colour; touches no property.
    static void RGBColor(std::int32_t color, std::int32_t& red, std::int32_t& green, std::int32_t& blue);

    // Hooks the host calls.
    void InitProperties();                      // a control placed anew
    void ReadProperties(PropertyStore& store);  // a control loaded from a stored form
    void WriteProperties(PropertyStore& store);
    void Resize();  // the host changed the control's size

private:
    void SetFileTitle(std::string_view value);
    void ShowFileDialog(FileDialogKind kind);
    void Changed(std::string_view name) { host_.PropertyChanged(name); }

    CmnDlgHost& host_;
    CmnDlgPlatform& platform_;

    std::int32_t browseWhat_ = 0;
    bool browsePath_ = false;
    bool cancelError_ = false;
    std::int32_t color_ = 0;
    std::int32_t controlApplet_ = 0;
    std::string defaultExt_;
    std::string dialogTitle_;
    std::string fileName_;
    std::string fileTitle_;
    std::int32_t flags_ = 0;
    std::int32_t lastError_ = 0;
    std::string filter_;
    std::int32_t filterIndex_ = 0;
    std::string initDir_;
};

}  // namespace quibex
