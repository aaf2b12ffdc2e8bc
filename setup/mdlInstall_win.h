#pragma once
// The set-up branch of start-up (module mdlMain) on Win32. Start-up calls, in
// this order:
//   mdlParam::ParseCommandLine(mdlParam::CommandLineArguments());
//   if (mdlParam::HasParameter(L"Setup")) mdlMain::InstallStartMenuShortcut();  // does not return
//   ... otherwise the main window.

#include <windows.h>

#include <string>

#include "setup/mdlInstall.h"

namespace quibex::mdlMain {

// The system as it is: mdlPath's folders and writable test, mdlParam's own
// location.
class SystemSetup : public ISetupSystem {
public:
    std::wstring CommonProgramsFolder() override;
    std::wstring UserProgramsFolder() override;
    bool IsFolderWritable(const std::wstring& folder) override;
    std::wstring ExePath() override;
    std::wstring ExeFolder() override;
};

// Initialises the component object library (single-threaded) for the call
// and writes the link; the failure of the link object, or S_OK.
HRESULT WriteShortcut(const ShortcutValues& values);

// Works out the Start-menu shortcut from `system` and writes it.
HRESULT InstallShortcut(ISetupSystem& system);

// The system's description of an error code, without the line break at its
// end; "Unknown error" when the system has none.
std::wstring ErrorDescription(HRESULT error);

// Set-up mode: writes the Start-menu shortcut and ends the process, with exit
// code 0. When the link cannot be written, one message box (caption "Quibex")
// gives the error number and its description first, and the exit code is the
// error. Never returns; no window of the program exists before or after.
[[noreturn]] void InstallStartMenuShortcut();

}  // namespace quibex::mdlMain

