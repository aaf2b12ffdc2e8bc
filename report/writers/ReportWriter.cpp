#include "report/writers/ReportWriter.h"

#include <algorithm>
#include <cstdio>

#include "report/text/Escape.h"
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

void WriteJson(const ReportData& report, std::ostream& out) {
    out << "{\n  \"file\": " << JsonString(report.file) << ",\n  \"members\": [";
    for (std::size_t i = 0; i < report.members.size(); ++i) {
        const MemberRow& m = report.members[i];
        const MemberRecord& r = m.record;
        out << (i ? ",\n" : "\n") << "    {\"path\": " << JsonString(r.Path) << ", \"name\": " << JsonString(m.name)
            << ", \"type\": " << JsonString(r.TypeName) << ", \"fileSize\": " << r.FileSize
            << ", \"binarySize\": " << r.BinarySize << ", \"interfaceLines\": " << r.InterfaceLines
            << ", \"interfaceBytes\": " << r.InterfaceBytes << ", \"codeLines\": " << r.CodeLines
            << ", \"codeBytes\": " << r.CodeBytes << "}";
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
    out << "  \"error\": " << (report.error.empty() ? std::string("null") : JsonString(report.error)) << "\n}\n";
}

void WriteCsv(const ReportData& report, std::ostream& out) {
    // RFC 4180 ends every record with CR LF.
    out << "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes\r\n";
    for (const MemberRow& m : report.members) {
        const MemberRecord& r = m.record;
        out << CsvField(r.Path) << ',' << CsvField(m.name) << ',' << CsvField(r.TypeName) << ',' << r.FileSize << ','
            << r.BinarySize << ',' << r.InterfaceLines << ',' << r.InterfaceBytes << ',' << r.CodeLines << ','
            << r.CodeBytes << "\r\n";
    }
}

void WriteText(const ReportData& report, std::ostream& out) {
    out << "Project: " << PrintableText(report.file) << "\n\n";
    if (report.members.empty()) {
        out << "No members.\n";
    } else {
        // The member's figures as the window's "File" frame shows them.
        constexpr std::size_t kColumns = 8;
        const std::array<std::string, kColumns> heading = {"File", "Type", "Size", "Binary",
                                                           "Total", "Interface", "Code", "Line"};
        std::vector<std::array<std::string, kColumns>> rows;
        rows.reserve(report.members.size());
        for (const MemberRow& m : report.members) {
            const MemberRecord& r = m.record;
            rows.push_back({PrintableText(r.Path),
                            PrintableText(r.TypeName),
                            SizeText(r.FileSize),
                            SizeText(r.BinarySize),
                            SizeText(r.FileSize + r.BinarySize),
                            LineFigureText(r.InterfaceLines, r.InterfaceBytes),
                            LineFigureText(r.CodeLines, r.CodeBytes),
                            LineFigureText(r.InterfaceLines + r.CodeLines, r.InterfaceBytes + r.CodeBytes)});
        }
        std::array<std::size_t, kColumns> width{};
        for (std::size_t c = 0; c < kColumns; ++c) {
            width[c] = CharacterCount(heading[c]);
            for (const auto& row : rows) width[c] = std::max(width[c], CharacterCount(row[c]));
        }
        auto writeRow = [&](const std::array<std::string, kColumns>& row) {
            std::string line;
            for (std::size_t c = 0; c < kColumns; ++c) {
                if (c) line += "  ";
                // Names and kinds read left to right, figures line up on the right.
                line += Padded(row[c], width[c], c >= 2);
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
