#include "report/model/Checks.h"

#include <algorithm>
#include <array>
#include <exception>
#include <set>

#include <stdexcept>

#include "engine/CodePage.h"
#include "engine/mdlFill.h"
#include "report/cli/OptionParsing.h"
#include "vb6/SourceReader.h"

namespace quibex::report {

namespace {

std::string Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    }
    return text;
}

// "65,534": figures a reader takes in at a glance.
std::string Grouped(Figure n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return n < 0 ? "-" + digits : digits;
}

struct MemberMetric {
    std::string_view name;
    Figure (*value)(const MemberRecord&, const vb6::MemberModel&);
};
const std::array<MemberMetric, 11> kMemberMetrics = {{
    {"lines", [](const MemberRecord&, const vb6::MemberModel& m) { return m.lines.Total(); }},
    {"designerLines", [](const MemberRecord&, const vb6::MemberModel& m) { return m.lines[vb6::LineClass::Designer]; }},
    {"attributeLines", [](const MemberRecord&, const vb6::MemberModel& m) { return m.lines[vb6::LineClass::Attribute]; }},
    {"blankLines", [](const MemberRecord&, const vb6::MemberModel& m) { return m.lines[vb6::LineClass::Blank]; }},
    {"commentLines", [](const MemberRecord&, const vb6::MemberModel& m) { return m.lines[vb6::LineClass::Comment]; }},
    {"codeLines", [](const MemberRecord&, const vb6::MemberModel& m) { return m.lines[vb6::LineClass::Code]; }},
    {"fileSize", [](const MemberRecord& r, const vb6::MemberModel&) { return r.FileSize; }},
    {"binarySize", [](const MemberRecord& r, const vb6::MemberModel&) { return r.BinarySize; }},
    {"procedures", [](const MemberRecord&, const vb6::MemberModel& m) { return static_cast<Figure>(m.procedures.size()); }},
    {"controls", [](const MemberRecord&, const vb6::MemberModel& m) { return m.controlCount; }},
    {"declares", [](const MemberRecord&, const vb6::MemberModel& m) { return static_cast<Figure>(m.declares.size()); }},
}};

struct ProcedureMetric {
    std::string_view name;
    Figure (*value)(const vb6::Procedure&);
};
const std::array<ProcedureMetric, 6> kProcedureMetrics = {{
    {"lines", [](const vb6::Procedure& p) { return p.lines.Total(); }},
    {"codeLines", [](const vb6::Procedure& p) { return p.lines[vb6::LineClass::Code]; }},
    {"commentLines", [](const vb6::Procedure& p) { return p.lines[vb6::LineClass::Comment]; }},
    {"blankLines", [](const vb6::Procedure& p) { return p.lines[vb6::LineClass::Blank]; }},
    {"complexity", [](const vb6::Procedure& p) { return p.complexity; }},
    {"nesting", [](const vb6::Procedure& p) { return p.nesting; }},
}};

template <typename Table>
auto FindMetric(const Table& table, std::string_view name) -> decltype(&table[0]) {
    for (const auto& metric : table) {
        if (metric.name == name) return &metric;
    }
    return nullptr;
}

}  // namespace

std::string_view ThresholdMetrics() {
    return "member.lines, member.designerLines, member.attributeLines, member.blankLines, member.commentLines, "
           "member.codeLines, member.fileSize, member.binarySize, member.procedures, member.controls, "
           "member.declares, procedure.lines, procedure.codeLines, procedure.commentLines, "
           "procedure.blankLines, procedure.complexity, procedure.nesting";
}

std::optional<Threshold> ParseThreshold(std::string_view text, std::string& error) {
    const std::size_t op = text.find('>');
    if (op == std::string_view::npos) {
        error = "'" + std::string(text) + "' is no threshold: write FIGURE>N, such as procedure.complexity>40";
        return std::nullopt;
    }
    Threshold t;
    t.text = Trim(text);
    t.metric = Trim(text.substr(0, op));
    std::string_view rest = text.substr(op + 1);
    if (!rest.empty() && rest[0] == '=') {
        t.orEqual = true;
        rest.remove_prefix(1);
    }
    const std::size_t dot = t.metric.find('.');
    const std::string scope = dot == std::string::npos ? std::string() : t.metric.substr(0, dot);
    const std::string name = dot == std::string::npos ? std::string() : t.metric.substr(dot + 1);
    const bool known = (scope == "member" && FindMetric(kMemberMetrics, name)) ||
                       (scope == "procedure" && FindMetric(kProcedureMetrics, name));
    if (!known) {
        error = "unknown figure '" + t.metric + "' in --fail-on: use one of " + std::string(ThresholdMetrics());
        return std::nullopt;
    }
    const std::optional<long long> limit = WholeNumber(Trim(rest));
    if (!limit || *limit > 0x7FFFFFFF) {
        error = "'" + t.text + "' needs a whole number after '>'";
        return std::nullopt;
    }
    t.limit = static_cast<Figure>(*limit);
    return t;
}

std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(',', pos);
        if (comma == std::string_view::npos) comma = text.size();
        std::string item = Trim(text.substr(pos, comma - pos));
        if (!item.empty()) items.push_back(std::move(item));
        pos = comma + 1;
    }
    return items;
}

bool CheckSettings::Runs(std::string_view rule) const {
    auto named = [&](const std::vector<std::string>& list) {
        return std::find(list.begin(), list.end(), rule) != list.end();
    };
    if (named(ignore)) return false;
    if (!select.empty()) return named(select);
    const CheckRule* known = FindCheckRule(rule);
    if (known && !known->onByDefault) return false;
    // Thresholds are the user's own: they run when some are given.
    return rule != "threshold" || !thresholds.empty();
}

// ---------------------------------------------------------------------------
// Looking at the files

namespace {

// The facts of a project or group file's bytes; its text too when asked.
vb6::FileFacts ReadFacts(IFileSystem& files, const std::string& path, bool& read, std::string* text) {
    read = false;
    try {
        std::unique_ptr<ByteSource> source = files.OpenForReading(path);
        vb6::SourceReader reader(files.TextCodePage());
        std::vector<char> buffer(64 * 1024);
        while (std::size_t n = source->Read(buffer.data(), buffer.size())) {
            reader.Feed(buffer.data(), n);
            if (text) text->append(buffer.data(), n);
        }
        read = true;
        return reader.Finish().file;
    } catch (const std::exception&) {
        return {};
    }
}

// The folders and name a path names from its end: "." dropped, ".." taking
// away the folder before it (or, at the start, nothing that could be compared).
std::vector<std::string> NamedParts(std::string_view path, const CodePage& codePage) {
    std::vector<std::string> parts;
    std::string part;
    auto end = [&] {
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (codePage.doubleByte && codePage.IsLeadByte(c) && i + 1 < path.size()) {
            part += path[i];
            part += path[++i];
        } else if (c == '\\' || c == '/') {
            end();
        } else {
            part += path[i];
        }
    }
    end();
    return parts;
}

// Whether `written` names `full` with some name in another letter case;
// then the written path and the disk's names of the same parts.
bool CaseDiffers(const std::string& written, const std::string& full, const CodePage& codePage,
                 std::string& writtenName, std::string& diskName) {
    const std::vector<std::string> w = NamedParts(written, codePage);
    const std::vector<std::string> f = NamedParts(full, codePage);
    if (w.empty() || w.size() > f.size()) return false;
    bool differs = false;
    std::string disk;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const std::string& onDisk = f[f.size() - w.size() + i];
        if (!EqualsIgnoringCase(w[i], onDisk)) return false;  // not the same names: nothing to compare
        differs = differs || w[i] != onDisk;
        disk += (i ? "/" : "") + onDisk;
    }
    if (!differs) return false;
    writtenName = written;
    diskName = disk;
    return true;
}

}  // namespace

FileInspection InspectFiles(const StatisticsModel& stats, const DetailData& detail, IFileSystem& files,
                            const std::string& groupFullPath) {
    const CodePage& codePage = files.TextCodePage();
    FileInspection inspection;
    inspection.members.resize(detail.members.size());
    for (std::size_t i = 0; i < detail.members.size() && i < detail.fullPaths.size(); ++i) {
        const std::string& full = detail.fullPaths[i];
        if (full.empty()) continue;
        FileInspection::Member& member = inspection.members[i];
        const MemberRecord& record = stats.Members(static_cast<Figure>(i + 1));
        CaseDiffers(record.Path, full, codePage, member.writtenName, member.diskName);
        const std::size_t sep = LastSeparator(full, codePage, files.SlashSeparatesFolders());
        const std::string folder = sep == std::string::npos ? std::string() : full.substr(0, sep + 1);
        for (const std::string& binary : detail.members[i].binaryFiles) {
            if (!files.RegularFileSize(folder + binary)) member.missingCompanions.push_back(binary);
        }
    }
    if (!groupFullPath.empty()) {
        FileInspection::ListFile& group = inspection.group.emplace();
        group.fullPath = groupFullPath;
        std::string text;
        group.facts = ReadFacts(files, groupFullPath, group.read, &text);
        // The lines that name projects, as the group reader reads them.
        Figure line = 0;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find_first_of("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            ++line;
            const std::string_view lineText(text.data() + pos, end - pos);
            const std::size_t eq = lineText.find('=');
            if (eq != std::string_view::npos) {
                const std::string key = Lower(Trim(lineText.substr(0, eq)));
                if (key == "project" || key == "startupproject") group.projects.emplace_back(line, Trim(lineText.substr(eq + 1)));
            }
            pos = end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1;
        }
    }
    for (std::size_t j = 0; j < detail.projectFullPaths.size(); ++j) {
        FileInspection::ListFile& project = inspection.projects.emplace_back();
        project.fullPath = detail.projectFullPaths[j];
        project.facts = ReadFacts(files, project.fullPath, project.read, nullptr);
        if (inspection.group && j < inspection.group->projects.size()) {
            CaseDiffers(inspection.group->projects[j].second, project.fullPath, codePage, project.writtenName,
                        project.diskName);
        }
    }
    return inspection;
}

void ConvertToUtf8(FileInspection& inspection, const TextConverter& toUtf8) {
    auto convert = [&](std::string& text) {
        if (!text.empty()) text = toUtf8(text);
    };
    for (FileInspection::Member& m : inspection.members) {
        for (std::string& name : m.missingCompanions) convert(name);
        convert(m.writtenName);
        convert(m.diskName);
    }
    auto convertList = [&](FileInspection::ListFile& file) {
        convert(file.fullPath);
        convert(file.writtenName);
        convert(file.diskName);
        for (auto& [line, path] : file.projects) convert(path);
    };
    for (FileInspection::ListFile& p : inspection.projects) convertList(p);
    if (inspection.group) convertList(*inspection.group);
}

// ---------------------------------------------------------------------------
// The rules

namespace {

// `full` as the user reads it: below the current folder, relative.
std::string ShownPath(const std::string& folder, const std::string& full) {
    if (folder.empty() || full.size() <= folder.size() + 1 || full.compare(0, folder.size(), folder) != 0) {
        return full;
    }
    const char sep = full[folder.size()];
    if (folder.back() == '/' || folder.back() == '\\') return full.substr(folder.size());
    return sep == '/' || sep == '\\' ? full.substr(folder.size() + 1) : full;
}

class FindingList {
public:
    FindingList(const CheckSettings& settings, std::string currentFolder)
        : settings_(settings), folder_(std::move(currentFolder)) {}

    bool Runs(std::string_view rule) const { return settings_.Runs(rule); }

    std::string Shown(const std::string& full) const { return ShownPath(folder_, full); }

    void Add(std::string_view rule, Severity severity, const std::string& full, Figure line, std::string message,
             std::string subject) {
        if (!Runs(rule)) return;
        findings_.push_back({std::string(rule), severity, Shown(full), line, std::move(message), std::move(subject)});
    }

    // A figure against a limit: an error over it, a warning from 90% of it
    // on. `what` says what the figure is, with "%" where it goes.
    void Limit(std::string_view rule, const std::string& full, Figure line, const std::string& subject,
               const std::string& what, Figure value, Figure limit, bool orEqual, std::string_view whose) {
        const bool over = orEqual ? value >= limit : value > limit;
        const bool near = !over && value > 0 && static_cast<long long>(value) * 10 >= static_cast<long long>(limit) * 9;
        if (!over && !near) return;
        std::string message = what;
        message.replace(message.find('%'), 1, Grouped(value));
        message += ", ";
        message += over ? (orEqual ? "at or over " : "over ") : "90% or more of ";
        message += std::string(whose) + " limit of " + Grouped(limit);
        Add(rule, over ? Severity::Error : Severity::Warning, full, line, std::move(message), subject);
    }

    std::vector<Finding> Take() {
        std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) {
            if (a.path != b.path) return a.path < b.path;
            return a.line < b.line;
        });
        return std::move(findings_);
    }

private:
    const CheckSettings& settings_;
    std::string folder_;
    std::vector<Finding> findings_;
};

void CheckFileFacts(FindingList& list, const std::string& full, const vb6::FileFacts& f, int codePage) {
    if (f.lf > 0 || f.cr > 0) {
        const Figure first = f.firstLf == 0 ? f.firstCr : (f.firstCr == 0 ? f.firstLf : std::min(f.firstLf, f.firstCr));
        std::string kind, message;
        if (f.crlf == 0 && f.cr == 0) {
            kind = "lf";
            message = "lines end in LF, not CR LF: the VB6 IDE does not load the file";
        } else if (f.crlf == 0 && f.lf == 0) {
            kind = "cr";
            message = "lines end in CR, not CR LF: the VB6 IDE does not load the file";
        } else {
            kind = "mixed";
            message = "line endings are mixed (" + Grouped(f.crlf) + " CR LF, " + Grouped(f.lf) + " LF, " +
                      Grouped(f.cr) + " CR); this is the first that is not CR LF";
        }
        list.Add("line-endings", Severity::Error, full, first, message, kind);
    }
    if (f.nulBytes > 0) {
        list.Add("encoding", Severity::Error, full, f.firstNulLine,
                 Grouped(f.nulBytes) + " NUL byte(s), the first on this line: a text file holds none", "nul");
    }
    if (f.utf8Bom) {
        list.Add("encoding", Severity::Error, full, 1,
                 "the file starts with a UTF-8 byte order mark, which the VB6 IDE reads as text", "bom");
    }
    if (f.invalidDoubleByte > 0) {
        list.Add("encoding", Severity::Error, full, f.firstInvalidDoubleByteLine,
                 Grouped(f.invalidDoubleByte) + " invalid double-byte sequence(s) under code page " +
                     std::to_string(codePage) + ", the first on this line",
                 "double-byte");
    }
}

void CheckLimits(FindingList& list, const std::string& full, const vb6::MemberModel& m) {
    list.Limit("vb6-limits", full, 0, "lines", "% lines", m.lines.Total(), kMaxMemberLines, false, "the IDE's");
    list.Limit("vb6-limits", full, 0, "control-names", "% distinct control names", m.controlNames,
               kMaxControlNames, false, "the IDE's");
    Figure depthLine = 0;
    for (const vb6::Control& c : m.controls) {
        if (c.depth == m.controlDepth) {
            depthLine = c.line;
            break;
        }
    }
    list.Limit("vb6-limits", full, depthLine, "control-depth", "controls nested % deep", m.controlDepth,
               kMaxControlDepth, false, "the IDE's");
    const Figure declares = static_cast<Figure>(m.declares.size());
    const Figure declareLine = declares > kMaxDeclares ? m.declares[kMaxDeclares].line : 0;
    list.Limit("vb6-limits", full, declareLine, "declares", "% Declare statements", declares,
               kMaxDeclares, false, "the IDE's");
}

void CheckThresholds(FindingList& list, const std::vector<Threshold>& thresholds, const std::string& full,
                     const MemberRecord& record, const vb6::MemberModel& m) {
    for (const Threshold& t : thresholds) {
        const std::size_t dot = t.metric.find('.');
        const std::string scope = t.metric.substr(0, dot), name = t.metric.substr(dot + 1);
        if (scope == "member") {
            const MemberMetric* metric = FindMetric(kMemberMetrics, name);
            list.Limit("threshold", full, 0, t.metric, t.metric + " is %", metric->value(record, m), t.limit, t.orEqual,
                       "the");
            continue;
        }
        const ProcedureMetric* metric = FindMetric(kProcedureMetrics, name);
        for (const vb6::Procedure& p : m.procedures) {
            list.Limit("threshold", full, p.firstLine, t.metric + " " + p.name, t.metric + " of " + p.name + " is %",
                       metric->value(p), t.limit, t.orEqual, "the");
        }
    }
}

}  // namespace

std::vector<Finding> RunChecks(const Analysis& analysis, const FileInspection& inspection,
                               const CheckSettings& settings, int codePage, const std::string& currentFolder) {
    FindingList list(settings, currentFolder);
    const DetailData empty;
    const DetailData& detail = analysis.detail ? *analysis.detail : empty;
    const std::vector<MemberRow>& rows = analysis.report.members;

    if (inspection.group) {
        const FileInspection::ListFile& group = *inspection.group;
        if (group.read) CheckFileFacts(list, group.fullPath, group.facts, codePage);
        // Reading stops at a project that cannot be read: the one after those read.
        const std::size_t stopped = detail.projects.size();
        if (!analysis.report.error.empty()) {
            const bool listed = stopped < group.projects.size();
            list.Add("missing-member", Severity::Error, group.fullPath, listed ? group.projects[stopped].first : 0,
                     analysis.report.error, listed ? Lower(group.projects[stopped].second) : std::string());
        }
        for (std::size_t j = 0; j < inspection.projects.size() && j < group.projects.size(); ++j) {
            const FileInspection::ListFile& p = inspection.projects[j];
            if (p.writtenName.empty()) continue;
            list.Add("case-mismatch", Severity::Error, group.fullPath, group.projects[j].first,
                     "'" + p.writtenName + "' is '" + p.diskName + "' on disk: a case-sensitive checkout does not find it",
                     Lower(p.writtenName));
        }
    }
    for (const FileInspection::ListFile& p : inspection.projects) {
        if (p.read) CheckFileFacts(list, p.fullPath, p.facts, codePage);
    }
    for (std::size_t j = 0; j < detail.projects.size() && j < inspection.projects.size(); ++j) {
        const vb6::ProjectFacts& project = detail.projects[j];
        const std::string& projectFile = inspection.projects[j].fullPath;
        for (Figure k = 0; k < project.memberCount; ++k) {
            const auto i = static_cast<std::size_t>(project.firstMember + k);
            if (i >= rows.size() || i >= detail.members.size()) break;
            const MemberRecord& record = rows[i].record;
            const Figure listedAt = i < detail.listedAt.size() ? detail.listedAt[i] : 0;
            const std::string& full = i < detail.fullPaths.size() ? detail.fullPaths[i] : std::string();
            if (full.empty()) {
                list.Add("missing-member", Severity::Error, projectFile, listedAt,
                         "member '" + record.Path + "' cannot be read", Lower(record.Path));
                continue;
            }
            const vb6::MemberModel& model = detail.members[i];
            const FileInspection::Member* member = i < inspection.members.size() ? &inspection.members[i] : nullptr;
            if (member && !member->writtenName.empty()) {
                list.Add("case-mismatch", Severity::Error, projectFile, listedAt,
                         "'" + member->writtenName + "' is '" + member->diskName +
                             "' on disk: a case-sensitive checkout does not find it",
                         Lower(member->writtenName));
            }
            CheckFileFacts(list, full, model.file, codePage);
            CheckLimits(list, full, model);
            if (member) {
                for (const std::string& binary : member->missingCompanions) {
                    list.Add("companion", Severity::Error, full, 0,
                             "the layout refers to '" + binary + "', which does not exist", Lower(binary));
                }
            }
            if (list.Runs("threshold")) CheckThresholds(list, settings.thresholds, full, record, model);
        }
    }
    return list.Take();
}

std::vector<std::string> CheckedFiles(const Analysis& analysis, const FileInspection& inspection,
                                      const std::string& currentFolder) {
    std::vector<std::string> files;
    std::set<std::string> taken;  // a member that several projects list is one file
    auto add = [&](const std::string& full) {
        std::string shown = ShownPath(currentFolder, full);
        if (taken.insert(shown).second) files.push_back(std::move(shown));
    };
    if (inspection.group && inspection.group->read) add(inspection.group->fullPath);
    const std::vector<std::string> none;
    const std::vector<std::string>& members = analysis.detail ? analysis.detail->fullPaths : none;
    for (std::size_t j = 0; j < inspection.projects.size(); ++j) {
        const FileInspection::ListFile& project = inspection.projects[j];
        if (project.read) add(project.fullPath);
        if (!analysis.detail || j >= analysis.detail->projects.size()) continue;
        const vb6::ProjectFacts& facts = analysis.detail->projects[j];
        for (Figure k = 0; k < facts.memberCount; ++k) {
            const auto i = static_cast<std::size_t>(facts.firstMember + k);
            if (i < members.size() && !members[i].empty()) add(members[i]);
        }
    }
    return files;
}

// ---------------------------------------------------------------------------
// The settings file

namespace {

// A TOML reader for what the settings file holds: tables, bare or quoted
// keys, strings (basic and literal) and arrays of strings over any lines.
class ConfigParser {
public:
    explicit ConfigParser(std::string_view text) : text_(text) {}

    std::optional<CheckConfig> Parse(std::string& error) {
        CheckConfig config;
        std::string table;
        try {
            while (SkipBlank(true), pos_ < text_.size()) {
                if (text_[pos_] == '[') {
                    ++pos_;
                    const std::size_t close = text_.find(']', pos_);
                    if (close == std::string_view::npos) Fail("a table name without ']'");
                    table = Trim(text_.substr(pos_, close - pos_));
                    pos_ = close + 1;
                    EndOfLine();
                    continue;
                }
                const std::string key = Key();
                SkipBlank(false);
                if (pos_ >= text_.size() || text_[pos_] != '=') Fail("'=' expected after '" + key + "'");
                ++pos_;
                SkipBlank(false);
                std::vector<std::string> values;
                bool isArray = false;
                if (pos_ < text_.size() && text_[pos_] == '[') {
                    isArray = true;
                    ++pos_;
                    while (SkipBlank(true), pos_ < text_.size() && text_[pos_] != ']') {
                        values.push_back(String());
                        SkipBlank(true);
                        if (pos_ < text_.size() && text_[pos_] == ',') ++pos_;
                    }
                    if (pos_ >= text_.size()) Fail("an array without ']'");
                    ++pos_;
                } else {
                    values.push_back(String());
                }
                EndOfLine();
                if (!table.empty() && table != "check") continue;
                if (key == "select" || key == "ignore" || key == "fail-on") {
                    std::vector<std::string> items;
                    for (const std::string& v : values) {
                        for (std::string& item : SplitList(v)) items.push_back(std::move(item));
                    }
                    (key == "select" ? config.select : key == "ignore" ? config.ignore : config.failOn) = items;
                } else if (key == "baseline" || key == "format") {
                    if (isArray || values.size() != 1) Fail("'" + key + "' takes one string");
                    (key == "baseline" ? config.baseline : config.format) = values[0];
                } else {
                    Fail("unknown setting '" + key + "': use select, ignore, fail-on, baseline or format");
                }
            }
        } catch (const std::runtime_error& e) {
            error = "line " + std::to_string(Line()) + ": " + e.what();
            return std::nullopt;
        }
        return config;
    }

private:
    [[noreturn]] static void Fail(const std::string& why) { throw std::runtime_error(why); }

    Figure Line() const {
        return 1 + static_cast<Figure>(std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(std::min(pos_, text_.size())), '\n'));
    }

    // Spaces, tabs and comments; line breaks too with `lines`.
    void SkipBlank(bool lines) {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t' || (lines && (c == '\r' || c == '\n'))) {
                ++pos_;
            } else if (c == '#') {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    void EndOfLine() {
        SkipBlank(false);
        if (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n') Fail("unexpected text after a value");
    }

    std::string Key() {
        if (pos_ < text_.size() && (text_[pos_] == '"' || text_[pos_] == '\'')) return String();
        const std::size_t start = pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_')) break;
            ++pos_;
        }
        if (pos_ == start) Fail("a setting name expected");
        return std::string(text_.substr(start, pos_ - start));
    }

    std::string String() {
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) Fail("a quoted string expected");
        const char quote = text_[pos_++];
        std::string value;
        while (pos_ < text_.size() && text_[pos_] != quote) {
            char c = text_[pos_++];
            if (c == '\n') Fail("a string without its closing quote");
            if (c == '\\' && quote == '"' && pos_ < text_.size()) {
                const char e = text_[pos_++];
                switch (e) {
                    case 'n': c = '\n'; break;
                    case 't': c = '\t'; break;
                    case '"': case '\\': c = e; break;
                    default: Fail(std::string("unknown escape '\\") + e + "'");
                }
            }
            value += c;
        }
        if (pos_ >= text_.size()) Fail("a string without its closing quote");
        ++pos_;
        return value;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<CheckConfig> ParseCheckConfig(std::string_view text, std::string& error) {
    return ConfigParser(text).Parse(error);
}

}  // namespace quibex::report
