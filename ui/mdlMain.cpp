#include "ui/mdlMain.h"

#include "engine/MemberStatistics.h"
#include "setup/mdlInstall_win.h"
#include "setup/mdlParam.h"
#include "ui/frmMain.h"
#include "ui/resource.h"

namespace quibex::mdlMain {

namespace {

// The statistics of the current analysis: process-wide, kept until the next
// File > Open resets them.
StatisticsModel& Statistics() {
    static StatisticsModel statistics;
    return statistics;
}

}  // namespace

int Main(int showCommand) {
    // Every start parses the command line; "/Setup", in any letter case and
    // with any value, writes the Start-menu shortcut and ends the program
    // before any window exists.
    mdlParam::ParseCommandLine(mdlParam::CommandLineArguments());
    if (mdlParam::HasParameter(L"Setup")) InstallStartMenuShortcut();  // does not return

    frmMain main(Statistics());
    if (!main.Create()) return 1;
    ShowWindow(main.Window(), showCommand);
    UpdateWindow(main.Window());
    return RunMessageLoop(main.Window(),
                          LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS)));
}

int RunMessageLoop(HWND main, HACCEL accelerators) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorW(main, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void EndProgram() {
    // No window's closing logic runs and nothing is saved; the run, if one
    // is going on, ends with the process.
    ExitProcess(0);
}

}  // namespace quibex::mdlMain
