#include "report/model/Detail.h"

#include <algorithm>

#include "engine/mdlFill.h"

namespace quibex::report {

namespace {

RunSurroundings ReadingThrough(IFileSystem& files, RunSurroundings around) {
    around.files = &files;
    return around;
}

}  // namespace

DetailObserver::DetailObserver(const StatisticsModel& stats, IFileSystem& files, std::ostream& err,
                               ProgressLine* progress, TextConverter toUtf8, RunSurroundings around,
                               std::vector<std::string> defines)
    : ReportObserver(stats, err, progress, std::move(toUtf8), ReadingThrough(files, around)), stats_(stats),
      files_(files), worker_(files.TextCodePage()), defines_(std::move(defines)) {}

void DetailObserver::NoteListedMembers() {
    const auto records = static_cast<std::size_t>(stats_.RecordCount());
    if (data_.listedAt.size() < records) data_.listedAt.resize(records, projectLine_);
}

void DetailObserver::Yield() {
    NoteListedMembers();
    ReportObserver::Yield();
}

void DetailObserver::MemberUnreadable(std::string_view path, std::string_view reason) {
    NoteListedMembers();
    ReportObserver::MemberUnreadable(path, reason);
}

void DetailObserver::ProjectBegin(const std::string& path) {
    NoteListedMembers();
    ReportObserver::ProjectBegin(path);
    vb6::ProjectFacts& project = data_.projects.emplace_back();
    project.path = path;
    project.firstMember = stats_.RecordCount();
    data_.projectFullPaths.push_back(ProjectFullPath());
    data_.projectOrdinals.push_back(CurrentProject() ? CurrentProject()->ordinal : 0);
    // The project's folder is current already: its file is named from there.
    const std::size_t sep = LastSeparator(path, files_.TextCodePage(), files_.SlashSeparatesFolders());
    const std::string fileName = sep == std::string::npos ? path : path.substr(sep + 1);
    projectLine_ = 0;
    // The members come before the project's CondComp line: it is read first.
    std::string condComp;
    try {
        std::unique_ptr<ByteSource> source = files_.OpenForReading(fileName);
        condComp = vb6::ReadCondComp(*source);
    } catch (const std::exception&) {
        // The engine reports a project file it cannot read.
    }
    auto constants = std::make_shared<vb6::syntax::Constants>();
    constants->AddProjectConstants(condComp);
    for (const std::string& define : defines_) constants->AddDefinition(define);
    constants_ = std::move(constants);
    constantsKey_ = condComp;
}

void DetailObserver::ProjectLine(std::string_view line) {
    // The engine lists a line's member after handing the line over.
    NoteListedMembers();
    ReportObserver::ProjectLine(line);
    ++projectLine_;
    if (!data_.projects.empty()) data_.projects.back().AddLine(line);
}

void DetailObserver::ProjectEnd() {
    NoteListedMembers();
    ReportObserver::ProjectEnd();
    if (data_.projects.empty()) return;
    vb6::ProjectFacts& project = data_.projects.back();
    project.memberCount = stats_.RecordCount() - project.firstMember;
    // The project's folder is still current: the resource file resolves
    // as the project names it.
    if (!project.resFile32.empty()) project.resFile32Size = files_.RegularFileSize(project.resFile32);
}

void DetailObserver::MemberTextBegin(const std::string& path) {
    const auto member = static_cast<std::size_t>(stats_.MemberCount - 1);
    if (data_.fullPaths.size() <= member) data_.fullPaths.resize(member + 1);
    data_.fullPaths[member] = files_.FullPath(path);
    NoteRead(data_.fullPaths[member]);
    const auto [first, added] = modelled_.try_emplace(data_.fullPaths[member] + '\n' + constantsKey_, member);
    copying_ = !added;
    if (copying_) {
        copies_.emplace_back(member, first->second);
        return;
    }
    worker_.Begin(member, constants_);
}

void DetailObserver::MemberText(const char* data, std::size_t size) {
    if (!copying_) worker_.Bytes(data, size);
}

void DetailObserver::MemberTextEnd() {
    if (!copying_) worker_.End();
    copying_ = false;
}

DetailData DetailObserver::Take() {
    const auto records = static_cast<std::size_t>(stats_.RecordCount());
    data_.members = worker_.Finish();
    data_.members.resize(records);
    for (const auto& [record, from] : copies_) data_.members[record] = data_.members[from];
    data_.fullPaths.resize(records);
    NoteListedMembers();
    data_.listedAt.resize(records);
    return std::move(data_);
}

namespace {

template <class Convert>
void ConvertDeclaration(vb6::decl::Declaration& d, const Convert& convert) {
    convert(d.name);
    convert(d.type);
    if (!d.Details().bounds.empty() || !d.Details().value.empty() || !d.Details().library.empty() ||
        !d.Details().alias.empty() || !d.Details().children.empty()) {
        vb6::decl::DeclarationDetails& x = d.EditDetails();
        for (std::string* s : {&x.bounds, &x.value, &x.library, &x.alias}) convert(*s);
        for (vb6::decl::Declaration& c : x.children) ConvertDeclaration(c, convert);
    }
}

}  // namespace

void ConvertToUtf8(DetailData& detail, const TextConverter& toUtf8) {
    auto convert = [&](std::string& text) {
        if (!text.empty()) text = toUtf8(text);
    };
    for (vb6::MemberModel& m : detail.members) {
        convert(m.designerClass);
        convert(m.designerName);
        for (vb6::Procedure& p : m.procedures) {
            convert(p.name);
            convert(p.handlerObject);
        }
        for (vb6::Declare& d : m.declares) {
            convert(d.name);
            convert(d.library);
            convert(d.alias);
        }
        for (vb6::Control& c : m.controls) {
            convert(c.name);
            convert(c.className);
        }
        for (vb6::ObjectReference& o : m.objects) {
            for (std::string* s : {&o.guid, &o.version, &o.locale, &o.file, &o.project, &o.raw}) convert(*s);
        }
        for (std::string& f : m.binaryFiles) convert(f);
        for (std::string& w : m.withEvents) convert(w);
        for (vb6::decl::Declaration& d : m.declarations) ConvertDeclaration(d, convert);
        for (vb6::Procedure& p : m.procedures) {
            ConvertDeclaration(p.declared.header, convert);
            for (vb6::decl::Declaration& d : p.declared.locals) ConvertDeclaration(d, convert);
        }
    }
    for (std::string& path : detail.fullPaths) convert(path);
    for (std::string& path : detail.projectFullPaths) convert(path);
    for (vb6::ProjectFacts& p : detail.projects) {
        for (std::string* s : {&p.path, &p.type, &p.name, &p.title, &p.startup, &p.exeName32, &p.condComp,
                               &p.resFile32, &p.compatibleMode, &p.compatibleExe32}) {
            convert(*s);
        }
        for (vb6::LibraryReference& r : p.references) {
            for (std::string* s : {&r.guid, &r.version, &r.locale, &r.path, &r.description, &r.project, &r.raw}) {
                convert(*s);
            }
        }
        for (vb6::ObjectReference& o : p.objects) {
            for (std::string* s : {&o.guid, &o.version, &o.locale, &o.file, &o.project, &o.raw}) convert(*s);
        }
    }
}

vb6::LineCounts TotalLines(const DetailData& detail) {
    vb6::LineCounts total;
    for (const vb6::MemberModel& m : detail.members) total += m.lines;
    return total;
}

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

}  // namespace quibex::report
