#include "report/writers/ReportWriter.h"

#include <algorithm>
#include <cstdio>

#include "engine/mdlFill.h"
#include "report/text/Utf8.h"

namespace quibex::report {

namespace {

// The project figures as the window's "Total" frame captions them.
struct ProjectLabel {
    std::string_view caption;
    Label label;
};
constexpr ProjectLabel kProjectLabels[] = {
    {"Form:", Label::LabelFormT},
    {"MDI Form:", Label::LabelMDIFormT},
    {"Module:", Label::LabelModuleT},
    {"Class Module:", Label::LabelClassModuleT},
    {"User Control:", Label::LabelUserControlT},
    {"Property Page:", Label::LabelPropertyPageT},
    {"User Document:", Label::LabelUserDocumentT},
    {"Binary:", Label::LabelBinaryTotalT},
    {"Interface:", Label::LabelInterfaceTotalT},
    {"Code:", Label::LabelCodeTotalT},
    {"Total:", Label::LabelTotalFileT},
};

std::string Padded(std::string_view text, std::size_t width, bool right) {
    std::size_t length = CharacterCount(text);
    std::string pad(width > length ? width - length : 0, ' ');
    return right ? pad + std::string(text) : std::string(text) + pad;
}

}  // namespace

const std::array<KindCount, 7>& KindCounts() {
    static const std::array<KindCount, 7> kinds = [] {
        std::array<KindCount, 7> all{};
        constexpr std::string_view kKeys[] = {"form",  "mdiform",      "module",      "class",
                                              "usercontrol", "propertypage", "userdocument"};
        for (std::size_t i = 0; i < all.size(); ++i) {
            const MemberKind* kind = FindMemberKind(kKeys[i]);
            all[i] = {kind->typeName, kind->countLabel};
        }
        return all;
    }();
    return kinds;
}

ReportData CollectReport(const std::string& file, const StatisticsModel& stats, const MemoryDisplay& display,
                        const std::string& error, const TextConverter& toUtf8) {
    ReportData report;
    report.file = toUtf8(file);
    const std::vector<std::string>& items = display.Items();
    for (std::size_t i = 0; i < stats.Records().size(); ++i) {
        MemberRow row;
        row.record = stats.Records()[i];
        row.record.Path = toUtf8(row.record.Path);
        row.record.TypeName = toUtf8(row.record.TypeName);
        // List entry i belongs to record i + 1; the engine lists every record.
        if (i < items.size()) row.name = toUtf8(items[i]);
        report.members.push_back(std::move(row));
    }
    for (Label label : AllLabels()) report.labels[static_cast<int>(label)] = toUtf8(display.Text(label));
    report.binaryTotal = stats.BinaryTotal;
    report.interfaceLinesTotal = stats.InterfaceLinesTotal;
    report.interfaceBytesTotal = stats.InterfaceBytesTotal;
    report.codeLinesTotal = stats.CodeLinesTotal;
    report.codeBytesTotal = stats.CodeBytesTotal;
    report.error = toUtf8(error);
    return report;
}

const std::string& ReportData::ProjectOf(std::size_t member) const {
    // Spans are in reading order and hold consecutive records.
    const auto after = std::upper_bound(projects.begin(), projects.end(), member,
                                        [](std::size_t m, const ProjectSpan& span) { return m < span.firstMember; });
    static const std::string none;
    if (after == projects.begin()) return none;
    const ProjectSpan& span = *std::prev(after);
    return member < span.firstMember + span.memberCount ? span.shown : none;
}

std::string JsonString(std::string_view text) {
    std::string valid = Utf8OrWindows1252(text);
    std::string out;
    out.reserve(valid.size() + 2);
    out += '"';
    for (char c : valid) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void WriteJson(const ReportData& report, std::ostream& out) {
    out << "{\n  \"file\": " << JsonString(report.file) << ",\n  \"members\": [";
    for (std::size_t i = 0; i < report.members.size(); ++i) {
        const MemberRow& m = report.members[i];
        const MemberRecord& r = m.record;
        out << (i ? ",\n" : "\n") << "    {\"path\": " << JsonString(r.Path) << ", \"name\": " << JsonString(m.name)
            << ", \"type\": " << JsonString(r.TypeName) << ", \"fileSize\": " << r.FileSize
            << ", \"binarySize\": " << r.BinarySize << ", \"interfaceLines\": " << r.InterfaceLines
            << ", \"interfaceBytes\": " << r.InterfaceBytes << ", \"codeLines\": " << r.CodeLines
            << ", \"codeBytes\": " << r.CodeBytes << ", \"project\": " << JsonString(report.ProjectOf(i)) << "}";
    }
    out << (report.members.empty() ? "],\n" : "\n  ],\n");
    out << "  \"counts\": {";
    bool first = true;
    for (const KindCount& kind : KindCounts()) {
        // The count labels are the counters: the window keeps no other.
        out << (first ? "" : ", ") << JsonString(kind.typeName) << ": " << LeadingNumber(report.Text(kind.countLabel));
        first = false;
    }
    out << "},\n";
    out << "  \"totals\": {\"binary\": " << report.binaryTotal << ", \"interfaceLines\": " << report.interfaceLinesTotal
        << ", \"interfaceBytes\": " << report.interfaceBytesTotal << ", \"codeLines\": " << report.codeLinesTotal
        << ", \"codeBytes\": " << report.codeBytesTotal << "},\n";
    out << "  \"labels\": {";
    first = true;
    for (Label label : AllLabels()) {
        out << (first ? "\n" : ",\n") << "    " << JsonString(LabelName(label)) << ": "
            << JsonString(report.Text(label));
        first = false;
    }
    out << "\n  },\n";
    out << "  \"error\": " << (report.error.empty() ? std::string("null") : JsonString(report.error)) << ",\n";
    out << "  \"unreadableProjects\": [";
    for (std::size_t p = 0; p < report.unreadableProjects.size(); ++p) {
        const UnreadableProject& u = report.unreadableProjects[p];
        out << (p ? ", " : "") << "{\"project\": " << JsonString(u.shown) << ", \"reason\": " << JsonString(u.reason) << "}";
    }
    out << "]\n}\n";
}

void WriteCsv(const ReportData& report, std::ostream& out) {
    // RFC 4180 ends every record with CR LF.
    out << "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes,project\r\n";
    for (std::size_t i = 0; i < report.members.size(); ++i) {
        const MemberRow& m = report.members[i];
        const MemberRecord& r = m.record;
        out << CsvField(r.Path) << ',' << CsvField(m.name) << ',' << CsvField(r.TypeName) << ',' << r.FileSize << ','
            << r.BinarySize << ',' << r.InterfaceLines << ',' << r.InterfaceBytes << ',' << r.CodeLines << ','
            << r.CodeBytes << ',' << CsvField(report.ProjectOf(i)) << "\r\n";
    }
}

void WriteText(const ReportData& report, std::ostream& out) {
    out << "Project: " << PrintableText(report.file) << "\n\n";
    if (report.members.empty()) {
        out << "No members.\n";
    } else {
        // The member's figures as the window's "File" frame shows them; a
        // group's members also name their project, last.
        std::vector<std::string> heading = {"File", "Type", "Size", "Binary", "Total", "Interface", "Code", "Line"};
        const bool projects = report.ShowsProjects();
        if (projects) heading.push_back("Project");
        const std::size_t columns = heading.size();
        std::vector<std::vector<std::string>> rows;
        rows.reserve(report.members.size());
        for (std::size_t i = 0; i < report.members.size(); ++i) {
            const MemberRecord& r = report.members[i].record;
            rows.push_back({PrintableText(r.Path),
                            PrintableText(r.TypeName),
                            SizeText(r.FileSize),
                            SizeText(r.BinarySize),
                            SizeText(r.FileSize + r.BinarySize),
                            LineFigureText(r.InterfaceLines, r.InterfaceBytes),
                            LineFigureText(r.CodeLines, r.CodeBytes),
                            LineFigureText(r.InterfaceLines + r.CodeLines, r.InterfaceBytes + r.CodeBytes)});
            if (projects) rows.back().push_back(PrintableText(report.ProjectOf(i)));
        }
        std::vector<std::size_t> width(columns, 0);
        for (std::size_t c = 0; c < columns; ++c) {
            width[c] = CharacterCount(heading[c]);
            for (const auto& row : rows) width[c] = std::max(width[c], CharacterCount(row[c]));
        }
        auto writeRow = [&](const std::vector<std::string>& row) {
            std::string line;
            for (std::size_t c = 0; c < columns; ++c) {
                if (c) line += "  ";
                // Names and kinds read left to right, figures line up on the right.
                line += Padded(row[c], width[c], c >= 2 && c < 8);
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out << line << '\n';
        };
        writeRow(heading);
        for (const auto& row : rows) writeRow(row);
    }
    out << '\n';
    std::size_t captionWidth = 0;
    for (const ProjectLabel& p : kProjectLabels) captionWidth = std::max(captionWidth, p.caption.size());
    for (const ProjectLabel& p : kProjectLabels) {
        out << Padded(p.caption, captionWidth + 2, false) << PrintableText(report.Text(p.label)) << '\n';
    }
}

}  // namespace quibex::report
