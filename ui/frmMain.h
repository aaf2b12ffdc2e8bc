#pragma once
// frmMain: the main window. The member list, the project figures ("Total")
// and the figures of the selected members ("File"), the File and Help
// menus. The engine writes into its list and value labels through IDisplay.

#include "ui/Win32.h"

#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/CmnDlg.h"
#include "dialogs/CmnDlg_win.h"
#include "engine/Display.h"
#include "engine/MemberStatistics.h"
#include "ui/BaseWindow.h"
#include "ui/Handles.h"
#include "ui/Layout_win.h"

namespace quibex {

class frmMain : public BaseWindow<frmMain>, public IDisplay {
public:
    // `statistics` is the process's statistics model; `dialogs` is what the
    // window's CmnDlg shows its dialogs with (the system's, or a test's).
    explicit frmMain(StatisticsModel& statistics, CmnDlgPlatform& dialogs = Win32CmnDlgPlatform::System());
    ~frmMain() override { Destroy(); }  // the controls go before their fonts

    // Creates the window and its controls, hidden, at the system's default
    // position; caption "Quibex", list and value labels empty.
    bool Create();

    // IDisplay, on the real list and value labels.
    void SetCaption(Label label, std::string_view text) override;
    std::string Caption(Label label) override;
    void AddItem(std::string_view text) override;
    void AddItems(const std::vector<std::string>& texts) override;
    Figure ListCount() override;
    void SetListIndex(Figure index) override;

    // Empties the list, writes the reset texts and resets the statistics.
    void ResetFigures();
    // Analyses `path` behind the processing window; returns when it is over.
    void RunAnalysis(const std::string& path);
    // How often a run shows its figures and serves the windows at most (zero:
    // at every yield of the engine, once per member and every 221 lines).
    std::chrono::milliseconds RefreshInterval() const { return refreshInterval_; }
    void SetRefreshInterval(std::chrono::milliseconds interval) { refreshInterval_ = interval; }

    // The menu commands.
    void MenuFileOpen();
    void MenuFileExit();
    void MenuHelpHomePage();
    void MenuHelpAbout();

    // Adds entry `index` (from 0) to the list's selection; the list's
    // selection-change handling follows, as for a user's click.
    void SelectListEntry(Figure index);
    // The handler of the list's selection change: the selection summary.
    void ListItemSelChange();

    StatisticsModel& Statistics() { return statistics_; }
    CmnDlg& Dialogs() { return cmnDlg_; }
    HWND ListItem() const { return listItem_; }
    HWND ValueLabel(Label label) const { return valueLabels_[static_cast<int>(label)]; }
    // The selected list entries, in list order.
    std::vector<Figure> SelectedEntries() const;

    static const wchar_t* ClassName() { return L"Quibex.frmMain"; }
    static void ClassStyle(WNDCLASSEXW& wc);

private:
    friend class BaseWindow<frmMain>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCreate();
    void OnCommand(int id, int notification);
    void OnClose();
    void OnEndSession(bool ending);

    HWND MakeControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int id,
                     const TwipsRect& twips, HFONT font);

    StatisticsModel& statistics_;
    StandaloneHost dialogHost_;
    CmnDlg cmnDlg_;

    Dpi dpi_;
    UniqueFont font_;
    UniqueFont boldFont_;
    HWND listItem_ = nullptr;
    std::array<HWND, kLabelCount> valueLabels_{};
    bool running_ = false;
    // About 40 times a second: as often as anyone can see the figures change.
    std::chrono::milliseconds refreshInterval_{25};
};

}  // namespace quibex
