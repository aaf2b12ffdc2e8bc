// Helpers for the tests that drive the real windows in-process: a dialog
// platform that answers as the test says, clicks on list entries, and the
// texts the window shows.
#pragma once

#include "ui/Win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/CmnDlgPorts.h"
#include "engine/MemberStatistics.h"
#include "ui/Twips.h"
#include "ui/frmMain.h"

namespace quibex::test {

// The dialog control's platform, answering the open dialog with a chosen
// path (or a cancel) and recording what is handed to the shell.
class FakeDialogs : public CmnDlgPlatform {
public:
    std::optional<std::string> chosenPath;  // nothing: the user cancels
    int openDialogs = 0;
    std::vector<std::string> shellFiles;
    std::vector<std::string> shellParameters;

    bool RunFileDialog(FileDialogKind kind, FileDialogRequest& request) override;
    std::int32_t RunShellVerb(WindowHandle owner, std::string_view verb, std::string_view file,
                              std::string_view parameters, std::string_view directory,
                              std::int32_t showCmd) override;
    std::optional<std::string> BrowseForFolder(const BrowseRequest&) override { return std::nullopt; }
    std::optional<std::int32_t> PickColor(WindowHandle, std::int32_t) override { return std::nullopt; }
    void StartProcess(const std::string&, std::int32_t) override {}
};

// A main window as the program makes it, over its own statistics.
struct MainWindowFixture {
    StatisticsModel statistics;
    FakeDialogs dialogs;
    frmMain window{statistics, dialogs};

    // Creates and shows the window; false when that fails.
    bool Start();
};

// Every value label's text, by label name.
std::map<std::string, std::string> LabelTexts(frmMain& window);
// Whether each named value label shows its text (the labels not named are
// not looked at); on failure, lists every label that differs.
using LabelText = std::pair<std::string, std::string>;
::testing::AssertionResult LabelsShow(frmMain& window, std::initializer_list<LabelText> expected);
// The list's entries and its selected entries.
std::vector<std::string> ListEntries(HWND list);
std::vector<int> SelectedIndices(HWND list);

// A mouse click on list entry `index`, with Ctrl held when `control`, as the
// list receives it from the user.
void ClickEntry(HWND list, int index, bool control);

// The processing window, if one exists in this process.
HWND ProcessingWindow();

// Client-area size in pixels.
SIZE ClientSize(HWND window);
// Whether a client area of `client` pixels is `width` x `height` twips at
// the screen's resolution and, at 96 dpi, `at96Dpi` pixels when given.
::testing::AssertionResult IsSizeInTwips(SIZE client, int width, int height,
                                         std::optional<SIZE> at96Dpi = std::nullopt);

// Whether `control` lies at `twips` of its parent's client area, converted at
// the screen's resolution, and shows `text`.
::testing::AssertionResult IsPlacedAt(HWND control, const TwipsRect& twips, const std::string& text);
// Whether the control's text, drawn in the control's own font, fits inside
// its client area: nothing of it is cut.
::testing::AssertionResult TextFits(HWND control);

// Runs `onEntry` from inside a run, at the first yield after the list has
// received `entries` entries, by subclassing the list box. The window serves
// every yield of the engine meanwhile, so that the run stops where the engine
// stands. Uninstalls itself on destruction.
class DuringRun {
public:
    DuringRun(frmMain& window, int entries, std::function<void()> onEntry);
    ~DuringRun();
    DuringRun(const DuringRun&) = delete;
    DuringRun& operator=(const DuringRun&) = delete;

    bool Ran() const { return ran_; }

private:
    static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM);
    frmMain& window_;
    std::chrono::milliseconds interval_;
    HWND list_;
    int entries_;
    std::function<void()> onEntry_;
    WNDPROC previous_ = nullptr;
    bool posted_ = false;
    bool ran_ = false;
};

}  // namespace quibex::test
