#include "report/writers/JsonReportWriter.h"

#include <algorithm>

#include <optional>
#include <tuple>

#include "engine/Paths.h"
#include "engine/mdlFill.h"

namespace quibex::report {

namespace {

void TextOrNull(JsonWriter& json, std::string_view key, std::string_view text) { json.Key(key).StringOrNull(text); }

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

// Written out member by member, so that a large project is never held as
// text whole.
void FlushLarge(std::string& text, std::ostream& out) {
    if (text.size() > (1u << 20)) {
        out << text;
        text.clear();
    }
}

void WriteCountsAndTotals(JsonWriter& json, const ReportData& report) {
    json.Key("counts").BeginObject(true);
    // The count labels are the counters: the window keeps no other.
    for (const MemberKind& kind : kMemberKinds) json.Field(kind.typeName, LeadingNumber(report.Text(kind.countLabel)));
    json.EndObject();
    json.Key("totals").BeginObject(true);
    json.Field("binary", report.binaryTotal).Field("interfaceLines", report.interfaceLinesTotal);
    json.Field("interfaceBytes", report.interfaceBytesTotal).Field("codeLines", report.codeLinesTotal);
    json.Field("codeBytes", report.codeBytesTotal);
    json.EndObject();
}

// The projects of a group read past, each with why.
void WriteUnreadableProjects(JsonWriter& json, const ReportData& report) {
    json.Key("unreadableProjects").BeginArray(report.unreadableProjects.empty());
    for (const UnreadableProject& u : report.unreadableProjects) {
        json.BeginObject(true).Field("project", u.shown).Field("reason", u.reason).EndObject();
    }
    json.EndArray();
}

void WriteLabels(JsonWriter& json, const ReportData& report) {
    json.Key("labels").BeginObject();
    for (Label label : AllLabels()) json.Field(LabelName(label), report.Text(label));
    json.EndObject();
}

std::pair<Figure, Figure> Tally(const std::vector<Finding>& findings) {
    Figure errors = 0, warnings = 0;
    for (const Finding& f : findings) ++(f.severity == Severity::Error ? errors : warnings);
    return {errors, warnings};
}

void WriteMemberJson(JsonWriter& json, const MemberFigures& m) {
    json.Field("path", m.path).Field("type", m.type).Field("read", m.read);
    for (const DiffFigure& f : DiffFigures()) json.Field(f.name, f.of(m));
}

void WriteProcedureJson(JsonWriter& json, const ProcedureFigures& p) {
    json.BeginObject(true).Field("name", p.name).Field("kind", p.kind).Field("lines", p.lines);
    json.Field("complexity", p.complexity).EndObject();
}

void WriteChangeJson(JsonWriter& json, const MemberChange& c) {
    json.BeginObject();
    json.Field("path", c.after->path).Field("type", c.after->type);
    json.Key("figures").BeginObject();
    for (const DiffFigure& f : DiffFigures()) {
        const Figure a = f.of(*c.before), b = f.of(*c.after);
        if (a == b) continue;
        json.Key(f.name).BeginObject(true).Field("before", a).Field("after", b).Field("change", b - a).EndObject();
    }
    json.EndObject();
    json.Key("procedures").BeginObject();
    json.Key("added").BeginArray();
    for (const ProcedureChange& p : c.procedures) {
        if (!p.before) WriteProcedureJson(json, *p.after);
    }
    json.EndArray();
    json.Key("removed").BeginArray();
    for (const ProcedureChange& p : c.procedures) {
        if (!p.after) WriteProcedureJson(json, *p.before);
    }
    json.EndArray();
    json.Key("changed").BeginArray();
    for (const ProcedureChange& p : c.procedures) {
        if (!p.before || !p.after) continue;
        json.BeginObject(true).Field("name", p.after->name).Field("kind", p.after->kind);
        json.Key("lines").BeginObject(true).Field("before", p.before->lines).Field("after", p.after->lines).EndObject();
        json.Key("complexity").BeginObject(true).Field("before", p.before->complexity);
        json.Field("after", p.after->complexity).EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.EndObject();
}

// A declaration with what it has of bounds, value, library, flags and
// children (a Type's or an Enum's members, parameters).
void WriteDeclaration(JsonWriter& json, const vb6::decl::Declaration& d) {
    namespace decl = vb6::decl;
    const decl::DeclarationDetails& x = d.Details();
    json.BeginObject(x.children.empty());
    json.Field("name", d.name).Field("kind", decl::DeclarationKindName(d.kind)).Field("scope", vb6::ScopeName(d.scope));
    TextOrNull(json, "type", d.type);
    json.Field("line", d.line);
    json.Key("column").Number(static_cast<double>(d.column));
    if (d.typeSource != decl::TypeSource::None) {
        static constexpr std::string_view kFrom[] = {"", "As", "typeCharacter", "DefType", "implicit"};
        json.Field("typeFrom", kFrom[static_cast<int>(d.typeSource)]);
    }
    if (d.Has(decl::flag::kArray)) json.Field("bounds", x.bounds);
    if (!x.value.empty()) json.Field("value", x.value);
    if (!x.library.empty()) json.Field("library", x.library);
    if (!x.alias.empty()) json.Field("alias", x.alias);
    static constexpr std::pair<std::uint16_t, std::string_view> kFlags[] = {
        {decl::flag::kStatic, "Static"},     {decl::flag::kWithEvents, "WithEvents"}, {decl::flag::kNew, "New"},
        {decl::flag::kOptional, "Optional"}, {decl::flag::kByVal, "ByVal"},          {decl::flag::kByRef, "ByRef"},
        {decl::flag::kParamArray, "ParamArray"}, {decl::flag::kPtrSafe, "PtrSafe"},  {decl::flag::kCDecl, "CDecl"},
        {decl::flag::kReDim, "ReDim"},
    };
    if (d.flags & ~(decl::flag::kArray | decl::flag::kFunction)) {
        json.Key("flags").BeginArray(true);
        for (const auto& [f, name] : kFlags) {
            if (d.Has(f)) json.String(name);
        }
        json.EndArray();
    }
    if (!x.children.empty()) {
        const bool members = d.kind == decl::DeclarationKind::Type || d.kind == decl::DeclarationKind::Enum;
        json.Key(members ? "members" : "parameters").BeginArray();
        for (const decl::Declaration& c : x.children) WriteDeclaration(json, c);
        json.EndArray();
    }
    json.EndObject();
}

void WriteDeclarations(JsonWriter& json, std::string_view key, const std::vector<vb6::decl::Declaration>& list) {
    json.Key(key).BeginArray();
    for (const vb6::decl::Declaration& d : list) WriteDeclaration(json, d);
    json.EndArray();
}

}  // namespace

void WriteJson(const ReportData& report, std::ostream& out) {
    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Field("file", report.file);
    json.Key("members").BeginArray();
    for (std::size_t i = 0; i < report.members.size(); ++i) {
        json.BeginObject(true);
        WriteBaseMember(json, report.members[i]);
        json.Field("project", report.ProjectOf(i));
        json.EndObject();
        FlushLarge(text, out);
    }
    json.EndArray();
    WriteCountsAndTotals(json, report);
    WriteLabels(json, report);
    json.Key("error").StringOrNull(report.error);
    WriteUnreadableProjects(json, report);
    json.EndObject();
    json.Finish();
    out << text;
}

void WriteLineCounts(JsonWriter& json, const vb6::LineCounts& lines) {
    json.BeginObject(true);
    for (vb6::LineClass c : vb6::kLineClasses) json.Field(vb6::LineClassName(c), lines[c]);
    json.EndObject();
}

void WriteProcedure(JsonWriter& json, const vb6::Procedure& p) {
    const vb6::decl::ProcedureDeclarations& d = p.declared;
    json.BeginObject();
    json.Field("name", p.name).Field("kind", vb6::ProcedureKindName(p.kind)).Field("scope", vb6::ScopeName(p.scope));
    json.Field("static", p.isStatic).Field("firstLine", p.firstLine).Field("lastLine", p.lastLine);
    json.Field("ended", p.ended);
    json.Key("lines");
    WriteLineCounts(json, p.lines);
    json.Field("complexity", p.complexity).Field("nesting", p.nesting).Field("handler", p.handler);
    if (p.handler) json.Field("handlerObject", p.handlerObject);
    TextOrNull(json, "returnType", d.header.type);
    json.Field("statements", d.statements);
    json.Key("onError").BeginObject(true);
    json.Field("goToLabel", d.onErrorGoTo).Field("resumeNext", d.onErrorResumeNext).Field("goTo0", d.onErrorGoTo0);
    json.EndObject();
    json.Field("goTo", d.goTo).Field("goSub", d.goSub).Field("return", d.returns).Field("exit", d.exits);
    WriteDeclarations(json, "parameters", d.header.Details().children);
    WriteDeclarations(json, "locals", d.locals);
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
    // Every name the member declares at its level, procedures among them,
    // as they stand in the file.
    std::vector<const vb6::decl::Declaration*> declared;
    for (const vb6::decl::Declaration& d : model.declarations) declared.push_back(&d);
    for (const vb6::Procedure& p : model.procedures) declared.push_back(&p.declared.header);
    std::stable_sort(declared.begin(), declared.end(), [](const auto* a, const auto* b) {
        return a->line != b->line ? a->line < b->line : a->column < b->column;
    });
    json.Key("declarations").BeginArray();
    for (const vb6::decl::Declaration* d : declared) {
        if (d->kind >= vb6::decl::DeclarationKind::Sub && d->kind <= vb6::decl::DeclarationKind::PropertySet) {
            // A procedure's parameters are with the procedure.
            vb6::decl::Declaration head = *d;
            head.EditDetails().children.clear();
            WriteDeclaration(json, head);
        } else {
            WriteDeclaration(json, *d);
        }
    }
    json.EndArray();
    const vb6::decl::Options& o = model.options;
    json.Key("options").BeginObject(true);
    json.Field("explicit", o.explicitVariables).Field("base", static_cast<Figure>(o.base)).Field("compare", o.compare);
    json.Field("privateModule", o.privateModule);
    json.Key("defTypes").BeginArray(true);
    for (const vb6::decl::DefTypeRange& r : o.defTypes) {
        json.BeginObject(true);
        json.Field("letters", r.first == r.last ? std::string(1, r.first) : std::string{r.first, '-', r.last});
        json.Field("type", r.type);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
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
        FlushLarge(text, out);
    }
    json.EndArray();
    WriteCountsAndTotals(json, report);
    json.Key("lines");
    WriteLineCounts(json, TotalLines(detail));
    WriteLabels(json, report);
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
    WriteUnreadableProjects(json, report);
    json.EndObject();
    json.Finish();
    out << text;
}

void WriteFindingsJson(const std::string& file, const std::vector<Finding>& findings, std::ostream& out) {
    const auto [errors, warnings] = Tally(findings);
    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Field("file", file).Field("errors", errors).Field("warnings", warnings);
    json.Key("findings").BeginArray();
    for (const Finding& f : findings) {
        json.BeginObject(true);
        json.Field("rule", f.rule).Field("level", SeverityName(f.severity)).Field("path", f.path);
        json.Field("line", f.line).Field("message", f.message).Field("subject", f.subject);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.Finish();
    out << text;
}

void WriteDiffJson(const Snapshot& before, const Snapshot& after, const DiffResult& diff, std::ostream& out) {
    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Field("old", before.file).Field("new", after.file);
    json.Key("added").BeginArray();
    for (const MemberChange& c : diff.added) {
        json.BeginObject(true);
        WriteMemberJson(json, *c.after);
        json.EndObject();
    }
    json.EndArray();
    json.Key("removed").BeginArray();
    for (const MemberChange& c : diff.removed) {
        json.BeginObject(true);
        WriteMemberJson(json, *c.before);
        json.EndObject();
    }
    json.EndArray();
    json.Key("changed").BeginArray();
    for (const MemberChange& c : diff.changed) WriteChangeJson(json, c);
    json.EndArray();
    json.Field("unchanged", static_cast<Figure>(diff.same.size()));
    const MemberFigures a = Totals(before), b = Totals(after);
    for (auto [name, side, count] : {std::tuple{"before", &a, before.members.size()}, {"after", &b, after.members.size()}}) {
        json.Key(name).BeginObject(true).Field("members", static_cast<Figure>(count));
        for (const DiffFigure& f : DiffFigures()) json.Field(f.name, f.of(*side));
        json.EndObject();
    }
    json.EndObject();
    json.Finish();
    out << text;
}

}  // namespace quibex::report
