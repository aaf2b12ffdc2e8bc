#include "setup/mdlParam.h"

namespace quibex::mdlParam {

namespace {

// Only the space character counts: a tab is part of a name or value.
std::wstring_view TrimSpaces(std::wstring_view text) {
    std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    std::size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

wchar_t LowerChar(wchar_t c) {
    const unsigned u = static_cast<unsigned>(c);
    if (u >= L'A' && u <= L'Z') return static_cast<wchar_t>(u + 32);
    if (u < 0xC0) return c;
    // Latin-1 capitals, except the multiplication sign.
    if (u <= 0xDE) return u == 0xD7 ? c : static_cast<wchar_t>(u + 32);
    // Latin Extended-A: capital and small letter side by side, capital first;
    // the pairs start on an odd code from U+0139 to U+0148 and from U+0179.
    if (u >= 0x100 && u <= 0x17F) {
        if (u == 0x130) return L'i';  // capital I with dot above
        if (u == 0x178) return static_cast<wchar_t>(0xFF);
        const bool oddPairs = (u >= 0x139 && u <= 0x148) || u >= 0x179;
        const bool capital = oddPairs ? (u % 2 == 1) : (u % 2 == 0);
        if (u == 0x138 || u == 0x149 || u == 0x17F) return c;  // small letters without a capital
        return capital ? static_cast<wchar_t>(u + 1) : c;
    }
    // Greek capitals (U+03A2 is unassigned).
    if (u >= 0x391 && u <= 0x3AB) return u == 0x3A2 ? c : static_cast<wchar_t>(u + 32);
    // Cyrillic capitals.
    if (u >= 0x400 && u <= 0x40F) return static_cast<wchar_t>(u + 80);
    if (u >= 0x410 && u <= 0x42F) return static_cast<wchar_t>(u + 32);
    return c;
}

// Module-wide state, filled by ParseCommandLine at start-up.
std::vector<CommandParameter>& Stored() {
    static std::vector<CommandParameter> parameters;
    return parameters;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring LowerCase(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) c = LowerChar(c);
    return lower;
}

std::vector<CommandParameter> ParseParameters(std::wstring_view text) {
    std::vector<CommandParameter> parameters;
    if (text.empty()) return parameters;

    // A slash at the end closes the last piece.
    std::wstring s(text);
    s += L'/';

    std::size_t start = 0;  // first character after the previous slash
    for (;;) {
        const std::size_t slash = s.find(L'/', start);
        if (slash == std::wstring::npos) break;
        if (slash == start) {  // empty piece: no entry
            start = slash + 1;
            continue;
        }
        const std::wstring_view piece = TrimSpaces(std::wstring_view(s).substr(start, slash - start));
        const bool afterSlash = start > 0;

        CommandParameter parameter;
        const std::size_t sep = piece.find_first_of(L":=");
        if (sep != std::wstring_view::npos) {
            // Only the first separator splits: "/a=b:c" is ("a", "b:c").
            parameter.Name = LowerCase(piece.substr(0, sep));
            parameter.Value = std::wstring(piece.substr(sep + 1));
        } else if (afterSlash) {
            parameter.Name = LowerCase(piece);
        } else {
            parameter.Value = std::wstring(piece);
        }
        parameters.push_back(std::move(parameter));
        start = slash + 1;
    }
    return parameters;
}

bool HasParameter(const std::vector<CommandParameter>& parameters, std::wstring_view name) {
    const std::wstring key = LowerCase(TrimSpaces(name));
    for (const CommandParameter& parameter : parameters) {
        if (parameter.Name == key) return true;
    }
    return false;
}

void ParseCommandLine(std::wstring_view text) { Stored() = ParseParameters(text); }

bool HasParameter(std::wstring_view name) { return HasParameter(Stored(), name); }

const std::vector<CommandParameter>& CommandParameters() { return Stored(); }

std::wstring ArgumentText(std::wstring_view commandLine) {
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    if (n > 0 && commandLine[0] == L'"') {
        // A quoted program path may hold blanks; it ends at the next quote.
        i = commandLine.find(L'"', 1);
        i = (i == std::wstring_view::npos) ? n : i + 1;
    } else {
        while (i < n && !IsBlank(commandLine[i])) ++i;
    }
    while (i < n && IsBlank(commandLine[i])) ++i;
    return std::wstring(commandLine.substr(i));
}

OwnLocation OwnLocationOf(std::wstring_view modulePath) {
    const std::size_t slash = modulePath.find_last_of(L'\\');
    std::wstring_view folder = slash == std::wstring_view::npos ? std::wstring_view{} : modulePath.substr(0, slash);
    std::wstring_view file = slash == std::wstring_view::npos ? modulePath : modulePath.substr(slash + 1);

    const std::size_t dot = file.find_last_of(L'.');
    if (dot != std::wstring_view::npos) file = file.substr(0, dot);

    OwnLocation location;
    // The split leaves "C:" for a drive root, so one separator is always
    // right: "C:\" and "C:\Tools\", never "C:\\". A bare file name has no
    // folder to report.
    if (slash != std::wstring_view::npos) location.exeFolder = std::wstring(folder) + L'\\';
    location.exePath = location.exeFolder + std::wstring(file) + L".exe";
    return location;
}

}  // namespace quibex::mdlParam
