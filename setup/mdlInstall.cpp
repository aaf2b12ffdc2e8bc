#include "setup/mdlInstall.h"


namespace quibex::mdlMain {

ShortcutValues StartMenuShortcutValues(ISetupSystem& system) {
    std::wstring folder = system.CommonProgramsFolder();
    // An empty answer is never writable, so it falls through to the user's.
    if (!system.IsFolderWritable(folder)) folder = system.UserProgramsFolder();

    ShortcutValues values;
    values.target = system.ExePath();
    values.workingFolder = system.ExeFolder();
    values.iconFile = system.ExePath();
    // The folder already ends in "\" unless it is empty.
    values.linkFile = folder + kLinkName;
    values.iconIndex = 0;
    values.showCommand = kLinkShowCommand;
    values.description = kLinkDescription;
    return values;
}

std::wstring SetupErrorText(std::wstring_view linkFile, std::int32_t error, std::wstring_view description) {
    // The error number is a signed 32-bit figure like every other; the
    // hexadecimal form is the one the system's headers list it under.
    std::wstring hex(8, L'0');
    std::uint32_t bits = static_cast<std::uint32_t>(error);
    for (std::size_t i = hex.size(); i-- > 0; bits >>= 4) hex[i] = L"0123456789ABCDEF"[bits & 0xF];

    std::wstring text = L"Cannot write the shortcut '";
    text += linkFile;
    text += L"'.\n\nError ";
    text += std::to_wstring(error);
    text += L" (0x" + hex + L"): ";
    text += description;
    return text;
}

}  // namespace quibex::mdlMain
