#include "report/writers/TextWriter.h"

#include <algorithm>
#include <array>
#include <string>

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

std::string Padded(std::string_view text, std::size_t width, bool right = false) {
    std::size_t length = CharacterCount(text);
    std::string pad(width > length ? width - length : 0, ' ');
    return right ? pad + std::string(text) : std::string(text) + pad;
}


// A table of text rows with a heading, the first `left` columns
// left-aligned and the rest right-aligned, two spaces between columns.
void WriteTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows, std::size_t left) {
    if (rows.empty()) return;
    std::vector<std::size_t> width(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], CharacterCount(row[c]));
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) line += "  ";
            const std::string pad(width[c] - CharacterCount(row[c]), ' ');
            line += c < left ? row[c] + pad : pad + row[c];
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out << line << '\n';
    }
}

std::string Number(Figure n) { return std::to_string(n); }

std::string Signed(Figure n) { return (n > 0 ? "+" : "") + std::to_string(n); }

std::string ProcedureName(const ProcedureFigures& p) { return p.kind + " " + p.name; }

}  // namespace

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

void WriteDetailText(const ReportData& report, const DetailData& detail, std::size_t top, std::ostream& out) {
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"File", "Designer", "Attribute", "Blank", "Comment", "Code", "Procedures", "Controls"});
    for (std::size_t i = 0; i < report.members.size() && i < detail.members.size(); ++i) {
        const vb6::MemberModel& m = detail.members[i];
        std::vector<std::string> row{PrintableText(report.members[i].record.Path)};
        for (vb6::LineClass c : vb6::kLineClasses) row.push_back(Number(m.lines[c]));
        row.push_back(Number(static_cast<Figure>(m.procedures.size())));
        row.push_back(Number(m.controlCount));
        rows.push_back(std::move(row));
    }
    if (rows.size() > 1) {
        std::vector<std::string> total{"Total"};
        const vb6::LineCounts lines = TotalLines(detail);
        for (vb6::LineClass c : vb6::kLineClasses) total.push_back(Number(lines[c]));
        Figure procedures = 0, controls = 0;
        for (const vb6::MemberModel& m : detail.members) {
            procedures += static_cast<Figure>(m.procedures.size());
            controls += m.controlCount;
        }
        total.push_back(Number(procedures));
        total.push_back(Number(controls));
        rows.push_back(std::move(total));
        out << "\nLines by class:\n";
        WriteTable(out, rows, 1);
    }
    const std::vector<RankedProcedure> ranked = MostComplex(detail, top);
    if (ranked.empty()) return;
    out << "\nMost complex procedures:\n";
    std::vector<std::vector<std::string>> table;
    table.push_back({"Procedure", "Kind", "Where", "Complexity", "Nesting", "Lines"});
    for (const RankedProcedure& r : ranked) {
        const vb6::Procedure& p = *r.procedure;
        table.push_back({PrintableText(p.name), std::string(vb6::ProcedureKindName(p.kind)),
                         PrintableText(ProcedurePlace(report.members[r.member], p)), Number(p.complexity),
                         Number(p.nesting), Number(p.lines.Total())});
    }
    WriteTable(out, table, 3);
}

void WriteFindingsText(const std::vector<Finding>& findings, std::ostream& out) {
    for (const Finding& f : findings) {
        out << f.path;
        if (f.line > 0) out << ':' << f.line;
        out << ": " << f.rule << ": ";
        if (f.severity == Severity::Warning) out << "warning: ";
        out << f.message << '\n';
    }
}

void WriteDiffText(const Snapshot& before, const Snapshot& after, const DiffResult& diff, std::ostream& out) {
    out << "Old: " << before.file << "\nNew: " << after.file << "\n";
    auto section = [&](const char* title, const std::vector<MemberChange>& list) {
        if (list.empty()) return;
        out << "\n" << title << " (" << list.size() << "):\n";
        for (const MemberChange& c : list) {
            const MemberFigures& m = c.Either();
            const char mark = !c.before ? '+' : !c.after ? '-' : '~';
            out << "  " << mark << ' ' << m.path << "  (" << m.type << ")\n";
            if (!c.before || !c.after) {
                out << "      " << m.lines.Total() << " lines, " << m.lines[vb6::LineClass::Code] << " of code, "
                    << m.procedures.size() << (m.procedures.size() == 1 ? " procedure\n" : " procedures\n");
                continue;
            }
            for (const DiffFigure& f : DiffFigures()) {
                const Figure a = f.of(*c.before), b = f.of(*c.after);
                if (a == b) continue;
                out << "      " << Padded(f.name, 16) << Padded(std::to_string(a), 10, true) << " -> "
                    << Padded(std::to_string(b), 10, true) << "  (" << Signed(b - a) << ")\n";
            }
            for (const ProcedureChange& p : c.procedures) {
                if (!p.before) {
                    out << "      + " << ProcedureName(*p.after) << ": " << p.after->lines << " lines, complexity "
                        << p.after->complexity << "\n";
                } else if (!p.after) {
                    out << "      - " << ProcedureName(*p.before) << "\n";
                } else {
                    out << "      ~ " << ProcedureName(*p.after) << ": lines " << p.before->lines << " -> "
                        << p.after->lines << ", complexity " << p.before->complexity << " -> " << p.after->complexity
                        << "\n";
                }
            }
        }
    };
    section("Members added", diff.added);
    section("Members removed", diff.removed);
    section("Members changed", diff.changed);
    out << "\nMembers unchanged: " << diff.same.size() << "\n";
    const MemberFigures a = Totals(before), b = Totals(after);
    out << "\n" << Padded("Totals", 18) << Padded("before", 10, true) << Padded("after", 11, true)
        << Padded("change", 10, true) << "\n";
    auto row = [&](const std::string& name, Figure x, Figure y) {
        out << "  " << Padded(name, 16) << Padded(std::to_string(x), 10, true) << Padded(std::to_string(y), 11, true)
            << Padded(Signed(y - x), 10, true) << "\n";
    };
    row("members", static_cast<Figure>(before.members.size()), static_cast<Figure>(after.members.size()));
    for (const DiffFigure& f : DiffFigures()) row(f.name, f.of(a), f.of(b));
}

}  // namespace quibex::report
