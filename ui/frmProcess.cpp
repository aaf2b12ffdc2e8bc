#include "ui/frmProcess.h"

#include <memory>

#include "engine/FileSystem.h"
#include "engine/mdlFill.h"
#include "ui/Layout_win.h"
#include "ui/frmMain.h"
#include "ui/resource.h"

namespace quibex {

namespace {

constexpr int kClientWidth = 4680;
constexpr int kClientHeight = 1275;

template <class F>
void Step(F&& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

}  // namespace

frmProcess::frmProcess(frmMain& owner) : main_(owner), clock_(owner.RefreshInterval()) {}

void frmProcess::ClassStyle(WNDCLASSEXW& wc) {
    wc.hIcon = static_cast<HICON>(
        LoadImageW(wc.hInstance, MAKEINTRESOURCEW(IDI_QUIBEX), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR | LR_SHARED));
}

void frmProcess::SetTag(const std::string& path) {
    if (!loaded_) Load();
    tag_ = path;
}

void frmProcess::Load() {
    loaded_ = true;
    // Fixed dialog frame: no sizing, no minimize or maximize box. Owned by
    // the main window, so it stays above it and minimizes with it.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (!CreateFrame(WS_EX_DLGMODALFRAME, L"Quibex - Processing...", style, 0, 0, 0, 0, main_.Window(), nullptr)) {
        return;
    }
    const Dpi dpi = ScreenDpi();
    SetClientSizeTwips(Window(), kClientWidth, kClientHeight, dpi);
    CentreOver(Window(), main_.Window());
    ShowWindow(Window(), SW_SHOW);
}

void frmProcess::Unload() {
    if (Window()) DestroyWindow(Window());
}

LRESULT frmProcess::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
        default: return Default(message, wParam, lParam);
    }
}

LRESULT frmProcess::OnSysCommand(WPARAM command, LPARAM lParam) {
    // The close box, the system menu's Close and Alt+F4 all arrive as
    // SC_CLOSE: the user may not close the window while the run needs it.
    // Other close requests (a WM_CLOSE from outside, the owner closing, the
    // session ending) are not refused.
    if ((command & 0xFFF0) == SC_CLOSE) return 0;
    return Default(WM_SYSCOMMAND, command, lParam);
}

void frmProcess::Yield() {
    // The engine yields once per member and every 221 lines, thousands of
    // times a second on a large project; painting and serving the windows
    // that often would cost most of the run.
    if (!clock_.Due(RefreshClock::Clock::now())) return;
    Serve();
}

void frmProcess::Serve() {
    if (display_) Step([&] { display_->Flush(); });
    PumpMessages();
    // Counted from the end, so that serving never takes all of the run's time.
    clock_.Served(RefreshClock::Clock::now());
}

void frmProcess::PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to take: put it back for the main loop and stop serving.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        // No accelerators here: the main window is disabled, and a Ctrl+O
        // translated now would start a run inside this one.
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void frmProcess::FillIt() noexcept {
    HWND main = main_.Window();
    StatisticsModel& statistics = main_.Statistics();

    // Disabled before the first yield, so that no click can slip in while
    // the run starts.
    Step([&] { EnableWindow(main, FALSE); });
    Step([&] { Serve(); });

    std::string path;
    Step([&] { path = Tag(); });

    // The folder step and the exact ".vbp"/".vbg" dispatch; a reading error
    // ends the reading only, and members read before it stay listed.
    Step([&] {
        std::unique_ptr<IFileSystem> files = MakePlatformFileSystem();
        display_.emplace(main_);
        mdlFill fill(statistics, *display_, *files, *this);
        fill.ReadChosenFile(path, mdlFill::ExtensionCase::Exact);
    });
    // Whatever happened, the window shows the final figures.
    Step([&] {
        if (display_) display_->Flush();
    });
    display_.reset();

    // Still inside the run (MemberCount is not 0), so the selection handler
    // leaves the figures of the last member as the engine wrote them.
    Step([&] {
        if (statistics.MemberCount > 0) main_.SelectListEntry(statistics.MemberCount - 1);
    });
    Step([&] { statistics.MemberCount = 0; });
    // The main window first, so that it gets the activation back when this
    // window goes.
    Step([&] { EnableWindow(main, TRUE); });
    Step([&] { Unload(); });
}

}  // namespace quibex
