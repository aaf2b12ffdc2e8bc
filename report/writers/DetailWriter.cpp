#include "report/writers/DetailWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "report/text/Utf8.h"
#include "ui/Version.h"

namespace quibex::report {

namespace {

// A table of text rows with a heading, the first `left` columns (and those
// from `leftAgainFrom` on) left-aligned and the rest right-aligned, two
// spaces between columns.
void WriteTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows, std::size_t left,
                std::size_t leftAgainFrom = SIZE_MAX) {
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
            line += c < left || c >= leftAgainFrom ? row[c] + pad : pad + row[c];
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out << line << '\n';
    }
}

std::string Number(Figure n) { return std::to_string(n); }

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    }
    return text;
}


void TextOrNull(JsonWriter& json, std::string_view key, std::string_view text) { json.Key(key).StringOrNull(text); }

bool IsGroupFile(std::string_view file) {
    return file.size() >= 4 && LowerAscii(std::string(file.substr(file.size() - 4))) == ".vbg";
}

void WriteOptionalNumber(JsonWriter& json, std::string_view key, const std::optional<Figure>& n) {
    json.Key(key);
    if (n) {
        json.Number(*n);
    } else {
        json.Null();
    }
}

void WriteObjectReference(JsonWriter& json, const vb6::ObjectReference& o) {
    json.BeginObject(true);
    if (!o.project.empty()) {
        json.Field("project", o.project);
    } else {
        TextOrNull(json, "guid", o.guid);
        TextOrNull(json, "version", o.version);
        TextOrNull(json, "locale", o.locale);
        TextOrNull(json, "file", o.file);
    }
    json.EndObject();
}

void WriteStrings(JsonWriter& json, std::string_view key, const std::vector<std::string>& texts) {
    json.Key(key).BeginArray(true);
    for (const std::string& t : texts) json.String(t);
    json.EndArray();
}

void WriteBaseMember(JsonWriter& json, const MemberRow& m) {
    const MemberRecord& r = m.record;
    json.Field("path", r.Path).Field("name", m.name).Field("type", r.TypeName);
    json.Field("fileSize", r.FileSize).Field("binarySize", r.BinarySize);
    json.Field("interfaceLines", r.InterfaceLines).Field("interfaceBytes", r.InterfaceBytes);
    json.Field("codeLines", r.CodeLines).Field("codeBytes", r.CodeBytes);
}

}  // namespace

std::vector<RankedProcedure> MostComplex(const DetailData& detail, std::size_t top) {
    std::vector<RankedProcedure> all;
    for (std::size_t m = 0; m < detail.members.size(); ++m) {
        for (const vb6::Procedure& p : detail.members[m].procedures) all.push_back({m, &p});
    }
    auto before = [](const RankedProcedure& a, const RankedProcedure& b) {
        const vb6::Procedure& x = *a.procedure;
        const vb6::Procedure& y = *b.procedure;
        if (x.complexity != y.complexity) return x.complexity > y.complexity;
        if (x.nesting != y.nesting) return x.nesting > y.nesting;
        if (x.lines.Total() != y.lines.Total()) return x.lines.Total() > y.lines.Total();
        if (a.member != b.member) return a.member < b.member;
        return x.firstLine < y.firstLine;
    };
    const std::size_t n = std::min(top, all.size());
    std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n), all.end(), before);
    all.resize(n);
    return all;
}

std::string ProcedurePlace(const MemberRow& member, const vb6::Procedure& procedure) {
    return member.record.Path + ":" + std::to_string(procedure.firstLine) + "-" + std::to_string(procedure.lastLine);
}

void WriteLineCounts(JsonWriter& json, const vb6::LineCounts& lines) {
    json.BeginObject(true);
    for (vb6::LineClass c : vb6::kLineClasses) json.Field(vb6::LineClassName(c), lines[c]);
    json.EndObject();
}

void WriteProcedure(JsonWriter& json, const vb6::Procedure& p) {
    json.BeginObject(true);
    json.Field("name", p.name).Field("kind", vb6::ProcedureKindName(p.kind)).Field("scope", vb6::ScopeName(p.scope));
    json.Field("static", p.isStatic).Field("firstLine", p.firstLine).Field("lastLine", p.lastLine);
    json.Field("ended", p.ended);
    json.Key("lines");
    WriteLineCounts(json, p.lines);
    json.Field("complexity", p.complexity).Field("nesting", p.nesting).Field("handler", p.handler);
    if (p.handler) json.Field("handlerObject", p.handlerObject);
    json.EndObject();
}

void WriteMemberModel(JsonWriter& json, const vb6::MemberModel& model) {
    json.Key("lines");
    WriteLineCounts(json, model.lines);
    json.Key("designer");
    if (model.designerClass.empty() && model.designerName.empty()) {
        json.Null();
    } else {
        json.BeginObject(true);
        TextOrNull(json, "class", model.designerClass);
        TextOrNull(json, "name", model.designerName);
        json.EndObject();
    }
    json.Key("procedures").BeginArray();
    for (const vb6::Procedure& p : model.procedures) WriteProcedure(json, p);
    json.EndArray();
    json.Key("declares").BeginArray();
    for (const vb6::Declare& d : model.declares) {
        json.BeginObject(true);
        json.Field("name", d.name).Field("kind", d.isFunction ? "Function" : "Sub").Field("scope", vb6::ScopeName(d.scope));
        json.Field("library", d.library);
        TextOrNull(json, "alias", d.alias);
        json.Field("line", d.line);
        json.EndObject();
    }
    json.EndArray();
    json.Key("controls").BeginArray();
    for (const vb6::Control& c : model.controls) {
        json.BeginObject(true);
        json.Field("name", c.name).Field("class", c.className);
        WriteOptionalNumber(json, "index", c.index);
        json.Field("depth", c.depth).Field("line", c.line);
        json.EndObject();
    }
    json.EndArray();
    json.Field("controlCount", model.controlCount).Field("controlNames", model.controlNames);
    json.Field("controlDepth", model.controlDepth);
    json.Key("objects").BeginArray();
    for (const vb6::ObjectReference& o : model.objects) WriteObjectReference(json, o);
    json.EndArray();
    WriteStrings(json, "binaryFiles", model.binaryFiles);
    WriteStrings(json, "withEvents", model.withEvents);
    const vb6::FileFacts& f = model.file;
    json.Key("text").BeginObject(true);
    json.Key("lineBreaks").BeginObject(true).Field("crlf", f.crlf).Field("lf", f.lf).Field("cr", f.cr).EndObject();
    json.Field("firstLf", f.firstLf).Field("firstCr", f.firstCr).Field("lastLineUnterminated", f.lastLineUnterminated);
    json.Field("nulBytes", f.nulBytes).Field("firstNulLine", f.firstNulLine).Field("utf8Bom", f.utf8Bom);
    json.Field("invalidDoubleByte", f.invalidDoubleByte).Field("firstInvalidDoubleByteLine", f.firstInvalidDoubleByteLine);
    json.EndObject();
}

void WriteProjectFacts(JsonWriter& json, const vb6::ProjectFacts& p) {
    json.BeginObject();
    json.Field("path", p.path);
    TextOrNull(json, "Type", p.type);
    TextOrNull(json, "Name", p.name);
    TextOrNull(json, "Title", p.title);
    TextOrNull(json, "Startup", p.startup);
    TextOrNull(json, "ExeName32", p.exeName32);
    WriteOptionalNumber(json, "MajorVer", p.majorVer);
    WriteOptionalNumber(json, "MinorVer", p.minorVer);
    WriteOptionalNumber(json, "RevisionVer", p.revisionVer);
    TextOrNull(json, "CondComp", p.condComp);
    json.Key("ResFile32");
    if (p.resFile32.empty()) {
        json.Null();
    } else {
        json.BeginObject(true).Field("path", p.resFile32);
        WriteOptionalNumber(json, "size", p.resFile32Size);
        json.EndObject();
    }
    TextOrNull(json, "CompatibleMode", p.compatibleMode);
    TextOrNull(json, "CompatibleEXE32", p.compatibleExe32);
    json.Key("references").BeginArray();
    for (const vb6::LibraryReference& r : p.references) {
        json.BeginObject(true);
        if (!r.project.empty()) {
            json.Field("project", r.project);
        } else if (!r.guid.empty()) {
            json.Field("guid", r.guid);
            TextOrNull(json, "version", r.version);
            TextOrNull(json, "locale", r.locale);
            TextOrNull(json, "path", r.path);
            TextOrNull(json, "description", r.description);
        } else {
            json.Field("raw", r.raw);
        }
        json.EndObject();
    }
    json.EndArray();
    json.Key("objects").BeginArray();
    for (const vb6::ObjectReference& o : p.objects) WriteObjectReference(json, o);
    json.EndArray();
    json.Key("members").BeginObject(true).Field("first", p.firstMember).Field("count", p.memberCount).EndObject();
    json.EndObject();
}

void WriteDetailJson(const ReportData& report, const DetailData& detail, std::ostream& out,
                     std::optional<std::size_t> mostComplex) {
    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Field("file", report.file);
    json.Key("members").BeginArray();
    for (std::size_t i = 0; i < report.members.size(); ++i) {
        json.BeginObject();
        WriteBaseMember(json, report.members[i]);
        const bool read = i < detail.fullPaths.size() && !detail.fullPaths[i].empty();
        json.Field("read", read);
        json.Key("fullPath").StringOrNull(read ? std::string_view(detail.fullPaths[i]) : std::string_view());
        if (i < detail.members.size()) WriteMemberModel(json, detail.members[i]);
        json.Field("project", report.ProjectOf(i));
        json.EndObject();
        // Written out member by member, so that a large project is never
        // held as text whole.
        if (text.size() > (1u << 20)) {
            out << text;
            text.clear();
        }
    }
    json.EndArray();
    json.Key("counts").BeginObject(true);
    for (const KindCount& kind : KindCounts()) json.Field(kind.typeName, LeadingNumber(report.Text(kind.countLabel)));
    json.EndObject();
    json.Key("totals").BeginObject(true);
    json.Field("binary", report.binaryTotal).Field("interfaceLines", report.interfaceLinesTotal);
    json.Field("interfaceBytes", report.interfaceBytesTotal).Field("codeLines", report.codeLinesTotal);
    json.Field("codeBytes", report.codeBytesTotal);
    json.EndObject();
    json.Key("lines");
    WriteLineCounts(json, TotalLines(detail));
    json.Key("labels").BeginObject();
    for (Label label : AllLabels()) json.Field(LabelName(label), report.Text(label));
    json.EndObject();
    if (detail.projects.size() == 1 && !IsGroupFile(report.file)) {
        json.Key("project");
        WriteProjectFacts(json, detail.projects[0]);
    }
    json.Key("projects").BeginArray();
    for (const vb6::ProjectFacts& p : detail.projects) WriteProjectFacts(json, p);
    json.EndArray();
    if (mostComplex) {
        json.Key("mostComplex").BeginArray();
        for (const RankedProcedure& r : MostComplex(detail, *mostComplex)) {
            const vb6::Procedure& p = *r.procedure;
            json.BeginObject(true);
            json.Field("member", static_cast<Figure>(r.member)).Field("path", report.members[r.member].record.Path);
            json.Field("name", p.name).Field("kind", vb6::ProcedureKindName(p.kind));
            json.Field("firstLine", p.firstLine).Field("lastLine", p.lastLine).Field("complexity", p.complexity);
            json.Field("nesting", p.nesting).Field("lines", p.lines.Total());
            json.EndObject();
        }
        json.EndArray();
    }
    json.Key("error").StringOrNull(report.error);
    json.Key("unreadableProjects").BeginArray();
    for (const UnreadableProject& u : report.unreadableProjects) {
        json.BeginObject(true).Field("project", u.shown).Field("reason", u.reason).EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.Finish();
    out << text;
}

void WriteDetailText(const ReportData& report, const DetailData& detail, std::size_t top, std::ostream& out) {
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"File", "Designer", "Attribute", "Blank", "Comment", "Code", "Procedures", "Controls"});
    // A group's members name their project, in a column at the end.
    const bool projects = report.ShowsProjects();
    if (projects) rows.back().push_back("Project");
    for (std::size_t i = 0; i < report.members.size() && i < detail.members.size(); ++i) {
        const vb6::MemberModel& m = detail.members[i];
        std::vector<std::string> row{PrintableText(report.members[i].record.Path)};
        for (vb6::LineClass c : vb6::kLineClasses) row.push_back(Number(m.lines[c]));
        row.push_back(Number(static_cast<Figure>(m.procedures.size())));
        row.push_back(Number(m.controlCount));
        if (projects) row.push_back(PrintableText(report.ProjectOf(i)));
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
        if (projects) total.push_back("");
        rows.push_back(std::move(total));
        out << "\nLines by class:\n";
        WriteTable(out, rows, 1, projects ? 8 : rows[0].size());
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

void WriteDetailCsv(const ReportData& report, const DetailData& detail, std::ostream& out) {
    out << "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes,"
           "designerLines,attributeLines,blankLines,commentLines,sourceCodeLines,procedures,controls,project\r\n";
    for (std::size_t i = 0; i < report.members.size(); ++i) {
        const MemberRow& m = report.members[i];
        const MemberRecord& r = m.record;
        out << CsvField(r.Path) << ',' << CsvField(m.name) << ',' << CsvField(r.TypeName) << ',' << r.FileSize << ','
            << r.BinarySize << ',' << r.InterfaceLines << ',' << r.InterfaceBytes << ',' << r.CodeLines << ','
            << r.CodeBytes;
        const vb6::MemberModel empty;
        const vb6::MemberModel& model = i < detail.members.size() ? detail.members[i] : empty;
        for (vb6::LineClass c : vb6::kLineClasses) out << ',' << model.lines[c];
        out << ',' << model.procedures.size() << ',' << model.controlCount << ',' << CsvField(report.ProjectOf(i))
            << "\r\n";
    }
}

void WriteProceduresCsv(const ReportData& report, const DetailData& detail, std::ostream& out) {
    out << "path,member,procedure,kind,scope,static,firstLine,lastLine,ended,designerLines,attributeLines,"
           "blankLines,commentLines,codeLines,complexity,nesting,handler,handlerObject,project\r\n";
    for (std::size_t i = 0; i < report.members.size() && i < detail.members.size(); ++i) {
        const MemberRow& m = report.members[i];
        for (const vb6::Procedure& p : detail.members[i].procedures) {
            out << CsvField(m.record.Path) << ',' << CsvField(m.name) << ',' << CsvField(p.name) << ','
                << vb6::ProcedureKindName(p.kind) << ',' << vb6::ScopeName(p.scope) << ','
                << (p.isStatic ? "true" : "false") << ',' << p.firstLine << ',' << p.lastLine << ','
                << (p.ended ? "true" : "false");
            for (vb6::LineClass c : vb6::kLineClasses) out << ',' << p.lines[c];
            out << ',' << p.complexity << ',' << p.nesting << ',' << (p.handler ? "true" : "false") << ','
                << CsvField(p.handlerObject) << ',' << CsvField(report.ProjectOf(i)) << "\r\n";
        }
    }
}

void WriteClocJson(const ReportData& report, const DetailData& detail, bool byFile, const PathRoot& root,
                   double elapsedSeconds, std::ostream& out) {
    struct Counts {
        Figure blank = 0, comment = 0, code = 0;
    };
    auto countsOf = [](const vb6::LineCounts& l) {
        return Counts{l[vb6::LineClass::Blank],
                      l[vb6::LineClass::Comment] + l[vb6::LineClass::Attribute] + l[vb6::LineClass::Designer],
                      l[vb6::LineClass::Code]};
    };
    // Each file once: by its full path, in any letter case (Windows paths
    // keep the case the project wrote), with every project that lists it.
    struct File {
        std::string name;
        Counts counts;
        std::vector<std::string> projects;
    };
    std::map<std::string, std::size_t> seen;
    std::vector<File> files;
    for (std::size_t i = 0; i < detail.members.size() && i < detail.fullPaths.size(); ++i) {
        const std::string& full = detail.fullPaths[i];
        if (full.empty()) continue;
        const auto [at, added] = seen.emplace(LowerAscii(full), files.size());
        if (added) files.push_back({root.Shown(full), countsOf(detail.members[i].lines), {}});
        std::vector<std::string>& projects = files[at->second].projects;
        const std::string& project = report.ProjectOf(i);
        if (std::find(projects.begin(), projects.end(), project) == projects.end()) projects.push_back(project);
    }
    Counts sum;
    for (const auto& [name, c, projects] : files) {
        sum.blank += c.blank;
        sum.comment += c.comment;
        sum.code += c.code;
    }
    const Figure nFiles = static_cast<Figure>(files.size());
    const Figure nLines = sum.blank + sum.comment + sum.code;
    const double seconds = std::max(elapsedSeconds, 1e-6);

    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Key("header").BeginObject();
    json.Field("quibex_version", QUIBEX_VERSION_TEXT);
    json.Key("elapsed_seconds").Number(elapsedSeconds);
    json.Field("n_files", nFiles).Field("n_lines", nLines);
    json.Key("files_per_second").Number(static_cast<double>(nFiles) / seconds);
    json.Key("lines_per_second").Number(static_cast<double>(nLines) / seconds);
    json.Field("report_file", report.file);
    json.EndObject();
    if (byFile) {
        for (const auto& [name, c, projects] : files) {
            json.Key(name).BeginObject(true);
            json.Field("blank", c.blank).Field("comment", c.comment).Field("code", c.code);
            json.Field("language", "Visual Basic 6");
            WriteStrings(json, "projects", projects);
            json.EndObject();
        }
    } else {
        json.Key("Visual Basic 6").BeginObject(true);
        json.Field("nFiles", nFiles).Field("blank", sum.blank).Field("comment", sum.comment).Field("code", sum.code);
        json.EndObject();
    }
    json.Key("SUM").BeginObject(true);
    json.Field("blank", sum.blank).Field("comment", sum.comment).Field("code", sum.code).Field("nFiles", nFiles);
    json.EndObject();
    json.EndObject();
    json.Finish();
    out << text;
}

}  // namespace quibex::report
