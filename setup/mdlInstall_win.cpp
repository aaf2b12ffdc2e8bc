// The set-up mode's Win32 side: the real system, the link writing, and the
// end of the process.

#include "setup/mdlInstall_win.h"

#include "common/SystemMessage_win.h"
#include "setup/WinSupport.h"
#include "setup/mdlParam.h"
#include "setup/mdlPath.h"
#include "setup/mdlShellLnk.h"

namespace quibex::mdlMain {

std::wstring SystemSetup::CommonProgramsFolder() { return mdlPath::CommonProgramsFolder(); }
std::wstring SystemSetup::UserProgramsFolder() { return mdlPath::UserProgramsFolder(); }
bool SystemSetup::IsFolderWritable(const std::wstring& folder) { return mdlPath::IsFolderWritable(folder); }
std::wstring SystemSetup::ExePath() { return mdlParam::ExePath(); }
std::wstring SystemSetup::ExeFolder() { return mdlParam::ExeFolder(); }

HRESULT WriteShortcut(const ShortcutValues& values) {
    // The apartment ends with this call, before the process does.
    win::ComApartment apartment(COINIT_APARTMENTTHREADED);
    if (!apartment.Usable()) return apartment.Result();
    return mdlShellLnk::CreateShortcut(values.linkFile, values.target, values.workingFolder, values.arguments,
                                       values.iconFile, values.iconIndex, values.showCommand, values.description);
}

HRESULT InstallShortcut(ISetupSystem& system) { return WriteShortcut(StartMenuShortcutValues(system)); }

std::wstring ErrorDescription(HRESULT error) {
    std::wstring description = win::FormatSystemMessage<wchar_t>(static_cast<DWORD>(error));
    // Some systems describe only the plain Win32 code inside the HRESULT.
    if (description.empty() && HRESULT_FACILITY(error) == FACILITY_WIN32) {
        description = win::FormatSystemMessage<wchar_t>(HRESULT_CODE(error));
    }
    return description.empty() ? L"Unknown error" : description;
}

void InstallStartMenuShortcut() {
    SystemSetup system;
    const ShortcutValues values = StartMenuShortcutValues(system);
    const HRESULT hr = WriteShortcut(values);
    if (FAILED(hr)) {
        const std::wstring text = SetupErrorText(values.linkFile, static_cast<std::int32_t>(hr), ErrorDescription(hr));
        MessageBoxW(nullptr, text.c_str(), kProgramTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
        ExitProcess(static_cast<UINT>(hr));
    }
    ExitProcess(0);
}

}  // namespace quibex::mdlMain
