#pragma once
// mdlParam: the program's command line in its own slash syntax
// ("/Name", "/Name:Value", "/Name=Value", with an optional bare value in front
// of the first slash), and the program's own location.
//
// Text is UTF-16 inside the program (wchar_t); only the calls that take ANSI
// text see the system code page.

#include <string>
#include <string_view>
#include <vector>

namespace quibex::mdlParam {

// One parsed parameter.
struct CommandParameter {
    std::wstring Name;   // lower-cased; empty for the bare value before the first slash
    std::wstring Value;  // the text after ":" or "=", case kept; empty without a separator

    bool operator==(const CommandParameter&) const = default;
};

// Splits the argument text into parameters, in command-line order. Pure: the
// module-wide list is left alone. Quotation marks mean nothing here; a slash
// inside quotes separates like any other.
std::vector<CommandParameter> ParseParameters(std::wstring_view text);

// True when `parameters` holds one named `name` (spaces at both ends removed,
// letter case ignored). Values are never looked at.
bool HasParameter(const std::vector<CommandParameter>& parameters, std::wstring_view name);

// Replaces the module-wide parameter list with the parameters of `text`, the
// argument part of the command line (after the program's own path, unsplit,
// quotation marks kept). Called once at start-up on the user-interface thread.
void ParseCommandLine(std::wstring_view text);

// HasParameter on the list of the last ParseCommandLine; false before any.
bool HasParameter(std::wstring_view name);

// The list filled by the last ParseCommandLine.
const std::vector<CommandParameter>& CommandParameters();

// The argument part of a whole process command line, as Windows hands it to
// WinMain: the program's path (quoted or up to the first blank) and the blanks
// after it are dropped; the rest stays as it is.
std::wstring ArgumentText(std::wstring_view commandLine);

// Letter case folded the way parameter names are stored: ASCII, Latin-1,
// Latin Extended-A, basic Greek and Cyrillic capitals become small letters;
// everything else is kept.
std::wstring LowerCase(std::wstring_view text);

// The program's own location worked out from the full path of its module file.
struct OwnLocation {
    std::wstring exePath;    // folder + "\" + file name without extension + ".exe"
    std::wstring exeFolder;  // the folder, ending in "\"
};
// "C:\Tools\Quibex.exe" -> {"C:\Tools\Quibex.exe", "C:\Tools\"};
// "C:\Quibex.bin" -> {"C:\Quibex.exe", "C:\"}.
OwnLocation OwnLocationOf(std::wstring_view modulePath);

#ifdef _WIN32
// The argument part of this process's command line (ArgumentText of
// GetCommandLineW), for ParseCommandLine.
std::wstring CommandLineArguments();

// Full path of the running executable, always with the extension ".exe".
std::wstring ExePath();
// Folder of the running executable, ending in "\".
std::wstring ExeFolder();
#endif

}  // namespace quibex::mdlParam
