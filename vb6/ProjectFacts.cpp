#include "vb6/ProjectFacts.h"

#include "engine/CodePage.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace quibex::vb6 {

namespace {

// Values longer than this name no file and no setting of a real project.
constexpr std::size_t kMaxValue = 4096;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// "Name="App"" holds App; quotes inside are doubled, as VB6 writes them.
std::string Unquoted(std::string_view value) {
    value = Trim(value);
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::string(value.substr(0, kMaxValue));
    value = value.substr(1, value.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < value.size() && out.size() < kMaxValue; ++i) {
        out += value[i];
        if (value[i] == '"' && i + 1 < value.size() && value[i + 1] == '"') ++i;
    }
    return out;
}

std::optional<Figure> Number(std::string_view value) {
    value = Trim(value);
    Figure n = 0;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size()) return std::nullopt;
    return n;
}

}  // namespace

LibraryReference ParseLibraryReference(std::string_view value) {
    LibraryReference ref;
    value = Trim(value);
    ref.raw = std::string(value.substr(0, kMaxValue));
    if (value.size() < 3 || value[0] != '*' || value[1] != '\\') return ref;
    const char kind = static_cast<char>(value[2] | 0x20);
    std::string_view rest = value.substr(3);
    if (kind == 'a') {
        ref.project = std::string(rest.substr(0, kMaxValue));
        return ref;
    }
    if (kind != 'g') return ref;
    // {GUID}#version#locale#path#description; the description may hold "#".
    std::size_t hash = rest.find('#');
    ref.guid = std::string(rest.substr(0, std::min(hash, kMaxValue)));
    std::string* fields[] = {&ref.version, &ref.locale, &ref.path, &ref.description};
    for (std::size_t i = 0; i < std::size(fields) && hash != std::string_view::npos; ++i) {
        rest = rest.substr(hash + 1);
        hash = i + 1 == std::size(fields) ? std::string_view::npos : rest.find('#');
        *fields[i] = std::string(rest.substr(0, std::min(hash, kMaxValue)));
    }
    return ref;
}

void ProjectFacts::AddLine(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = line.substr(eq + 1);
    struct Text {
        std::string_view key;
        std::string ProjectFacts::*field;
    };
    static constexpr Text kTexts[] = {
        {"Type", &ProjectFacts::type},
        {"Name", &ProjectFacts::name},
        {"Title", &ProjectFacts::title},
        {"Startup", &ProjectFacts::startup},
        {"ExeName32", &ProjectFacts::exeName32},
        {"CondComp", &ProjectFacts::condComp},
        {"ResFile32", &ProjectFacts::resFile32},
        {"CompatibleMode", &ProjectFacts::compatibleMode},
        {"CompatibleEXE32", &ProjectFacts::compatibleExe32},
    };
    for (const Text& text : kTexts) {
        if (EqualsIgnoringCase(key, text.key)) {
            this->*text.field = Unquoted(value);
            return;
        }
    }
    if (EqualsIgnoringCase(key, "MajorVer")) {
        majorVer = Number(value);
    } else if (EqualsIgnoringCase(key, "MinorVer")) {
        minorVer = Number(value);
    } else if (EqualsIgnoringCase(key, "RevisionVer")) {
        revisionVer = Number(value);
    } else if (EqualsIgnoringCase(key, "Reference")) {
        references.push_back(ParseLibraryReference(value));
    } else if (EqualsIgnoringCase(key, "Object")) {
        objects.push_back(ParseObjectReference(value));
    }
}

std::string ReadCondComp(ByteSource& source) {
    ProjectFacts facts;
    std::string line;
    char buffer[16 * 1024];
    bool tooLong = false;
    // Lines end at CR or LF; a line longer than any setting is passed over.
    while (std::size_t n = source.Read(buffer, sizeof buffer)) {
        for (std::size_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c == '\r' || c == '\n') {
                if (!tooLong) facts.AddLine(line);
                line.clear();
                tooLong = false;
            } else if (line.size() < kMaxValue + 64) {
                line += c;
            } else {
                tooLong = true;
            }
        }
    }
    if (!tooLong) facts.AddLine(line);
    return facts.condComp;
}

}  // namespace quibex::vb6
