#include "dialogs/CmnDlgRules.h"

#include <array>

namespace quibex {

std::string ConvertFilter(std::string_view filter, const CodePage& codePage) {
    std::string list(filter);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (codePage.doubleByte && codePage.IsLeadByte(static_cast<unsigned char>(list[i]))) {
            ++i;  // and its trail byte with it
        } else if (list[i] == '|') {
            list[i] = '\0';
        }
    }
    list.push_back('\0');
    return list;
}

std::string TitleFromPath(std::string_view path, const CodePage& codePage) {
    const auto slash = LastCharacter(path, '\\', codePage);
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(slash + 1));
}

std::string TextBeforeNul(std::string_view buffer) {
    return std::string(buffer.substr(0, buffer.find('\0')));
}

std::string FileDialogBuffer(std::string_view fileName, std::size_t spare) {
    std::string buffer(fileName);
    buffer.append(spare + 1, '\0');
    return buffer;
}

std::optional<std::int32_t> SpecialFolderNumber(std::int32_t browseWhat) {
    if (browseWhat == 0) return std::nullopt;
    if (browseWhat == 1) return 0;
    if (browseWhat < 12) return browseWhat;
    // Wraps for the last few values instead of overflowing; no folder has
    // such a number, so the lookup fails and the browser opens unrooted.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(browseWhat) + 4u);
}

namespace {

struct ControlPanelItem {
    std::int32_t applet;
    std::string_view command;
    bool withPage;
};

constexpr std::array<ControlPanelItem, 22> kControlPanel{{
    {0, "rundll32.exe shell32.dll,Control_RunDLL", false},
    {1, "rundll32.exe shell32.dll,Control_RunDLL access.cpl,,", true},
    {2, "rundll32.exe shell32.dll,Control_RunDLL cmpwiz.cpl,,", true},
    {3, "rundll32.exe shell32.dll,Control_RunDLL sysdm.cpl @1", false},
    {5, "rundll32.exe shell32.dll,Control_RunDLL timedate.cpl,,", true},
    {8, "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,", true},
    {9, "rundll32.exe shell32.dll,SHHelpShortcuts_RunDLL FontsFolder", false},
    {10, "rundll32.exe shell32.dll,Control_RunDLL inetcpl.cpl,,", true},
    {11, "rundll32.exe shell32.dll,Control_RunDLL joy.cpl,,", true},
    {12, "rundll32.exe shell32.dll,Control_RunDLL main.cpl @1,,", true},
    {13, "rundll32.exe shell32.dll,Control_RunDLL modem.cpl,,", true},
    {14, "rundll32.exe shell32.dll,Control_RunDLL main.cpl @0,,", true},
    {15, "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,", true},
    {16, "rundll32.exe shell32.dll,Control_RunDLL netcpl.cpl,,", true},
    {17, "rundll32.exe shell32.dll,Control_RunDLL odbccp32.cpl,,", true},
    {18, "rundll32.exe shell32.dll,Control_RunDLL password.cpl,,", true},
    {21, "rundll32.exe shell32.dll,Control_RunDLL powercfg.cpl,,", true},
    {22, "rundll32.exe shell32.dll,SHHelpShortcuts_RunDLL PrintersFolder", false},
    {24, "rundll32.exe shell32.dll,Control_RunDLL intl.cpl,,", true},
    {31, "rundll32.exe shell32.dll,Control_RunDLL telephon.cpl,,", true},
    {32, "rundll32.exe shell32.dll,Control_RunDLL themes.cpl,,", true},
    {33, "rundll32.exe shell32.dll,Control_RunDLL tweakui.cpl,,", true},
}};

}  // namespace

std::optional<std::string> ControlPanelCommand(std::int32_t controlApplet, std::int32_t page) {
    for (const auto& item : kControlPanel) {
        if (item.applet != controlApplet) continue;
        std::string command(item.command);
        if (item.withPage) command += std::to_string(page);
        return command;
    }
    return std::nullopt;
}

std::string AppletCommand(std::string_view runDll, std::string_view applet, std::int32_t page) {
    std::string command = "rundll32.exe shell32.dll,";
    command += runDll;
    command += ' ';
    command += applet;
    command += ",,";
    command += std::to_string(page);
    return command;
}

ColorParts SplitColor(std::int32_t color) {
    // Signed masks and division that truncates toward zero, so the high byte
    // of an out-of-range value shows up in green and blue.
    constexpr auto kGreenMask = static_cast<std::int32_t>(0xFF00FF00u);
    constexpr auto kBlueMask = static_cast<std::int32_t>(0xFFFFFF00u);
    return {color & 255, (color & kGreenMask) / 256, (color & kBlueMask) / 65536};
}

}  // namespace quibex
