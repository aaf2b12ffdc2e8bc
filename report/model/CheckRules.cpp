#include "report/model/Checks.h"

#include <algorithm>

#include "engine/CodePage.h"
#include "engine/Paths.h"
#include "report/text/Strings.h"

namespace quibex::report {

namespace {

struct MemberMetric {
    std::string_view name;
    Figure (*value)(const MemberRecord&, const vb6::MemberModel&);
};
constexpr MemberMetric kMemberMetrics[] = {
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
};

struct ProcedureMetric {
    std::string_view name;
    Figure (*value)(const vb6::Procedure&);
};
constexpr ProcedureMetric kProcedureMetrics[] = {
    {"lines", [](const vb6::Procedure& p) { return p.lines.Total(); }},
    {"codeLines", [](const vb6::Procedure& p) { return p.lines[vb6::LineClass::Code]; }},
    {"commentLines", [](const vb6::Procedure& p) { return p.lines[vb6::LineClass::Comment]; }},
    {"blankLines", [](const vb6::Procedure& p) { return p.lines[vb6::LineClass::Blank]; }},
    {"complexity", [](const vb6::Procedure& p) { return p.complexity; }},
    {"nesting", [](const vb6::Procedure& p) { return p.nesting; }},
};

template <typename Table>
auto FindMetric(const Table& table, std::string_view name) -> decltype(&table[0]) {
    for (const auto& metric : table) {
        if (metric.name == name) return &metric;
    }
    return nullptr;
}

}  // namespace

std::vector<std::string> ThresholdFigures() {
    std::vector<std::string> figures;
    for (const MemberMetric& metric : kMemberMetrics) figures.push_back("member." + std::string(metric.name));
    for (const ProcedureMetric& metric : kProcedureMetrics) figures.push_back("procedure." + std::string(metric.name));
    return figures;
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
        std::string figures;
        for (const std::string& figure : ThresholdFigures()) figures += (figures.empty() ? "" : ", ") + figure;
        error = "unknown figure '" + t.metric + "' in --fail-on: use one of " + figures;
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

bool CheckSettings::Runs(std::string_view rule) const {
    auto named = [&](const std::vector<std::string>& list) {
        return std::find(list.begin(), list.end(), rule) != list.end();
    };
    if (named(ignore)) return false;
    if (!select.empty()) return named(select);
    // Thresholds are the user's own: they run when some are given.
    return rule != "threshold" || !thresholds.empty();
}


namespace {

class FindingList {
public:
    FindingList(const CheckSettings& settings, std::string currentFolder)
        : settings_(settings), folder_(std::move(currentFolder)) {}

    bool Runs(std::string_view rule) const { return settings_.Runs(rule); }

    // `full` as the user reads it: below the current folder, relative.
    std::string Shown(const std::string& full) const { return PathBelow(full, folder_); }

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
        message.replace(message.find('%'), 1, GroupedDigits(value));
        message += ", ";
        message += over ? (orEqual ? "at or over " : "over ") : "90% or more of ";
        message += std::string(whose) + " limit of " + GroupedDigits(limit);
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
            message = "line endings are mixed (" + GroupedDigits(f.crlf) + " CR LF, " + GroupedDigits(f.lf) + " LF, " +
                      GroupedDigits(f.cr) + " CR); this is the first that is not CR LF";
        }
        list.Add("line-endings", Severity::Error, full, first, message, kind);
    }
    if (f.nulBytes > 0) {
        list.Add("encoding", Severity::Error, full, f.firstNulLine,
                 GroupedDigits(f.nulBytes) + " NUL byte(s), the first on this line: a text file holds none", "nul");
    }
    if (f.utf8Bom) {
        list.Add("encoding", Severity::Error, full, 1,
                 "the file starts with a UTF-8 byte order mark, which the VB6 IDE reads as text", "bom");
    }
    if (f.invalidDoubleByte > 0) {
        list.Add("encoding", Severity::Error, full, f.firstInvalidDoubleByteLine,
                 GroupedDigits(f.invalidDoubleByte) + " invalid double-byte sequence(s) under code page " +
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
                     analysis.report.error, listed ? AsciiLower(group.projects[stopped].second) : std::string());
        }
        for (std::size_t j = 0; j < inspection.projects.size() && j < group.projects.size(); ++j) {
            const FileInspection::ListFile& p = inspection.projects[j];
            if (p.writtenName.empty()) continue;
            list.Add("case-mismatch", Severity::Error, group.fullPath, group.projects[j].first,
                     "'" + p.writtenName + "' is '" + p.diskName + "' on disk: a case-sensitive checkout does not find it",
                     AsciiLower(p.writtenName));
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
                         "member '" + record.Path + "' cannot be read", AsciiLower(record.Path));
                continue;
            }
            const vb6::MemberModel& model = detail.members[i];
            const FileInspection::Member* member = i < inspection.members.size() ? &inspection.members[i] : nullptr;
            if (member && !member->writtenName.empty()) {
                list.Add("case-mismatch", Severity::Error, projectFile, listedAt,
                         "'" + member->writtenName + "' is '" + member->diskName +
                             "' on disk: a case-sensitive checkout does not find it",
                         AsciiLower(member->writtenName));
            }
            CheckFileFacts(list, full, model.file, codePage);
            CheckLimits(list, full, model);
            if (member) {
                for (const std::string& binary : member->missingCompanions) {
                    list.Add("companion", Severity::Error, full, 0,
                             "the layout refers to '" + binary + "', which does not exist", AsciiLower(binary));
                }
            }
            if (list.Runs("threshold")) CheckThresholds(list, settings.thresholds, full, record, model);
        }
    }
    return list.Take();
}

}  // namespace quibex::report
