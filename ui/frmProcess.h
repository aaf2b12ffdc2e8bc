#pragma once
// frmProcess: the small window that stands over the main window while one
// analysis runs, and the run driver FillIt.

#include "ui/Win32.h"

#include <optional>
#include <string>

#include "engine/RunObserver.h"
#include "ui/BaseWindow.h"
#include "ui/PacedDisplay.h"

namespace quibex {

class frmMain;

class frmProcess : public BaseWindow<frmProcess>, public IRunObserver {
public:
    explicit frmProcess(frmMain& owner);

    // The path of the file to analyse. Setting it is the window's first
    // access, which creates and shows it (owned by and centred on the main
    // window).
    void SetTag(const std::string& path);
    const std::string& Tag() const { return tag_; }

    // Runs the analysis of the file in Tag. Every step absorbs its own
    // failure, so the run always ends with the main window enabled and this
    // window gone.
    void FillIt() noexcept;

    // Where the engine yields: when the main window's refresh interval has
    // passed since the windows were last served, shows the latest figures and
    // serves the pending messages, so that the windows repaint and answer
    // during a run; otherwise returns at once.
    void Yield() override;

    static const wchar_t* ClassName() { return L"Quibex.frmProcess"; }
    static void ClassStyle(WNDCLASSEXW& wc);

private:
    friend class BaseWindow<frmProcess>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Load();
    void Unload();
    LRESULT OnSysCommand(WPARAM command, LPARAM lParam);
    // Shows the latest figures and serves the pending messages, now.
    void Serve();
    void PumpMessages();

    frmMain& main_;
    std::string tag_;
    bool loaded_ = false;
    // The engine's display during the reading, and when it was last shown.
    std::optional<PacedDisplay> display_;
    RefreshClock clock_;
};

}  // namespace quibex
