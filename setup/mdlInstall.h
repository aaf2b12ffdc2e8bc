#pragma once
// The set-up branch of start-up (module mdlMain): started with "/Setup", the
// program writes "Quibex.lnk", a shortcut to itself, into the Start menu's
// Programs folder and ends without showing a window.
//
// This header holds the portable rules; setup/mdlInstall_win.h the Win32 side
// that start-up calls.

#include <cstdint>
#include <string>
#include <string_view>

namespace quibex::mdlMain {

inline constexpr wchar_t kProgramTitle[] = L"Quibex";
inline constexpr wchar_t kLinkName[] = L"Quibex.lnk";
inline constexpr wchar_t kLinkDescription[] = L"Olvek Quibex";
inline constexpr std::int32_t kLinkShowCommand = 5;  // SW_SHOW

// What set-up asks of the system. SystemSetup asks the real one; tests put
// folders of their own in its place.
class ISetupSystem {
public:
    virtual ~ISetupSystem() = default;
    // Both folders end in "\" or are empty.
    virtual std::wstring CommonProgramsFolder() = 0;
    virtual std::wstring UserProgramsFolder() = 0;
    virtual bool IsFolderWritable(const std::wstring& folder) = 0;
    virtual std::wstring ExePath() = 0;
    virtual std::wstring ExeFolder() = 0;
};

// Everything CreateShortcut is given.
struct ShortcutValues {
    std::wstring linkFile;
    std::wstring target;
    std::wstring workingFolder;
    std::wstring arguments;
    std::wstring iconFile;
    std::int32_t iconIndex = 0;
    std::int32_t showCommand = 0;
    std::wstring description;

    bool operator==(const ShortcutValues&) const = default;
};

// The Start-menu shortcut to this program: into the all-users Programs folder
// when it can be written, else into the user's; with neither known, the bare
// link name, which lands in the current folder.
ShortcutValues StartMenuShortcutValues(ISetupSystem& system);

// The text of the box that reports a failed set-up: the link file, the error
// number in decimal (as a signed 32-bit number) and in hexadecimal, and the
// system's description of it.
std::wstring SetupErrorText(std::wstring_view linkFile, std::int32_t error, std::wstring_view description);

}  // namespace quibex::mdlMain
