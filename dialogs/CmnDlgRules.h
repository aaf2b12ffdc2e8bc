// The platform-free rules of the dialog control: filter lists, file titles,
// special-folder numbers, control-panel command lines and colour parts.
// Strings hold text in the system's ANSI code page, as the "A" entry points
// of the platform take it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/CodePage.h"

namespace quibex {

// The cancel code of every dialog of the control.
inline constexpr std::int32_t kCancelError = 32755;

// Characters the file buffers offer beyond the current FileName.
inline constexpr std::size_t kOpenFileSpare = 8192;
inline constexpr std::size_t kSaveFileSpare = 1024;
// Characters of the file-title buffer and of the folder browser's path buffer.
inline constexpr std::size_t kFileTitleChars = 1024;
inline constexpr std::size_t kBrowsePathChars = 8192;

// The platform bit that ShowSave always adds to Flags (hide the read-only box).
inline constexpr std::int32_t kHideReadOnlyFlag = 4;
// Folder-browser modes chosen by BrowsePath: file-system folders only, or
// computers only. The computers bit is 0x1000; 8 would ask for file-system
// ancestors instead.
inline constexpr std::uint32_t kBrowseFileSystemFolders = 0x0001;
inline constexpr std::uint32_t kBrowseComputers = 0x1000;

// The control is always 555 x 555 twips; 979 HIMETRIC is what a stored form records.
inline constexpr std::int32_t kControlSizeTwips = 555;
constexpr std::int32_t HimetricFromTwips(std::int32_t twips) {
    // 1440 twips and 2540 HIMETRIC units are both one inch; round to nearest.
    return static_cast<std::int32_t>((static_cast<std::int64_t>(twips) * 2540 + 720) / 1440);
}
static_assert(HimetricFromTwips(kControlSizeTwips) == 979);

// "Desc|*.ext|Desc2|*.x" -> "Desc\0*.ext\0Desc2\0*.x\0". The platform adds the
// string's own terminator, so the list ends in two NULs. Pairs are not checked.
// The trail byte of a double-byte character is never a "|".
std::string ConvertFilter(std::string_view filter, const CodePage& codePage = CodePage{});

// The text after the last "\" of a path; empty when there is none. The trail
// byte of a double-byte character is never a "\".
std::string TitleFromPath(std::string_view path, const CodePage& codePage = CodePage{});

// The text of a buffer the platform filled, up to its first NUL.
std::string TextBeforeNul(std::string_view buffer);

// The buffer a file dialog receives: the name, `spare` NULs and one more NUL.
std::string FileDialogBuffer(std::string_view fileName, std::size_t spare);

// Special-folder number (CSIDL) for BrowseWhat; nothing for 0 (no root).
// Numbers 12 to 15 are skipped, so 12 and above move up by four.
std::optional<std::int32_t> SpecialFolderNumber(std::int32_t browseWhat);

// Command line of a ControlApplet number with the given page; nothing when the
// number has no control-panel item.
std::optional<std::string> ControlPanelCommand(std::int32_t controlApplet, std::int32_t page);

// "rundll32.exe shell32.dll,<runDll> <applet>,,<page>".
std::string AppletCommand(std::string_view runDll, std::string_view applet, std::int32_t page);

// The red, green and blue parts of a 0x00BBGGRR colour. Bits 24 to 31 are not
// masked off: they reach green and blue, so such values give odd parts.
struct ColorParts {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
};
ColorParts SplitColor(std::int32_t color);

}  // namespace quibex
