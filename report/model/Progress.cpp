#include "report/model/Progress.h"

#include <algorithm>

#include "engine/mdlFill.h"
#include "report/text/Utf8.h"

namespace quibex::report {

ProgressLine::ProgressLine(std::ostream& err, Clock now) : err_(err), now_(std::move(now)), lastDraw_(now_()) {}

void ProgressLine::Update(Figure members, Figure lines) {
    if (++calls_ % kClockEvery != 0) return;
    auto now = now_();
    // The first draw also waits an interval: a quick run shows no line at all.
    if (now - lastDraw_ < kInterval) return;
    lastDraw_ = now;
    std::string text = "Reading: " + std::to_string(members) + (members == 1 ? " member, " : " members, ") +
                       std::to_string(lines) + (lines == 1 ? " line" : " lines");
    std::size_t width = text.size();
    // Overwrite what a longer previous line left behind.
    if (width < shownWidth_) text.append(shownWidth_ - width, ' ');
    err_ << '\r' << text << std::flush;
    shownWidth_ = std::max(width, shownWidth_);
}

void ProgressLine::Clear() {
    if (shownWidth_ == 0) return;
    err_ << '\r' << std::string(shownWidth_, ' ') << '\r' << std::flush;
    shownWidth_ = 0;
}

ReportObserver::ReportObserver(const StatisticsModel& stats, std::ostream& err, ProgressLine* progress,
                               TextConverter toUtf8, RunSurroundings around)
    : around_(around), stats_(stats), err_(err), progress_(progress), toUtf8_(std::move(toUtf8)) {}

void ReportObserver::NoteRead(const std::string& fullPath) {
    if (around_.guard) around_.guard->Reads(fullPath);
}

void ReportObserver::Yield() {
    if (progress_) progress_->Update(stats_.MemberCount, stats_.InterfaceLinesTotal + stats_.CodeLinesTotal);
}

void ReportObserver::ProjectBegin(const std::string& path) {
    projectPath_ = path;
    projectLinesSeen_ = false;
    projectFullPath_.clear();
    if (around_.files) {
        // The project's folder is current already: its file is named from there.
        IFileSystem& files = *around_.files;
        const std::size_t sep = LastSeparator(path, files.TextCodePage(), files.SlashSeparatesFolders());
        projectFullPath_ = files.FullPath(sep == std::string::npos ? path : path.substr(sep + 1));
        NoteRead(projectFullPath_);
    }
    const std::string shown = around_.root && !projectFullPath_.empty() ? around_.root->Shown(projectFullPath_) : path;
    // Named by its file until a Name= line says otherwise.
    std::string name = path.substr(path.find_last_of("/\\") == std::string::npos ? 0 : path.find_last_of("/\\") + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    projects_.push_back({toUtf8_(path), static_cast<std::size_t>(stats_.RecordCount()), 0, toUtf8_(shown),
                         projectLines_++, toUtf8_(name)});
    inProject_ = true;
}

bool ReportObserver::ProjectUnreadable(const std::string& path, std::string_view reason, bool opened) {
    UnreadableProject project{toUtf8_(path), {}, toUtf8_(reason), 0};
    if (opened && !projects_.empty()) {
        project.shown = projects_.back().shown;
        project.ordinal = projects_.back().ordinal;
    } else {
        // The group's folder is current: the project is named from there.
        std::string shown = path;
        if (around_.files && around_.root) shown = around_.root->Shown(around_.files->FullPath(path));
        project.shown = toUtf8_(shown);
        project.ordinal = projectLines_++;
    }
    unreadableProjects_.push_back(std::move(project));
    if (around_.keepGoing) {
        if (progress_) progress_->Clear();
        err_ << "quibex-report: " << PrintableText(toUtf8_(reason)) << '\n' << std::flush;
    }
    return around_.keepGoing;
}

void ReportObserver::ProjectLine(std::string_view line) {
    // Keys every VB6 project file has some of; a file of another kind
    // named .vbp has none.
    static constexpr std::string_view kProjectKeys[] = {"type", "reference", "object", "name", "startup",
                                                        "title", "exename32", "majorver", "condcomp"};
    const std::optional<KeyValue> kv = SplitLine(line);
    if (!kv) return;
    if (!projectLinesSeen_) {
        projectLinesSeen_ = FindMemberKind(kv->key) || std::find(std::begin(kProjectKeys), std::end(kProjectKeys),
                                                                 kv->key) != std::end(kProjectKeys);
    }
    if (kv->key == "name" && inProject_) {
        std::string_view name = kv->value;
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
        if (!name.empty()) projects_.back().name = toUtf8_(name);
    }
}

void ReportObserver::ProjectEnd() {
    if (!projectLinesSeen_) {
        if (progress_) progress_->Clear();
        // Named as every warning names its project: from the report's root.
        const std::string shown = inProject_ ? projects_.back().shown : toUtf8_(projectPath_);
        err_ << "quibex-report: warning: '" << PrintableText(shown)
             << "' holds no project lines: is it a VB6 project file?\n"
             << std::flush;
        projectLinesSeen_ = true;
    }
    if (!projects_.empty()) {
        projects_.back().memberCount = static_cast<std::size_t>(stats_.RecordCount()) - projects_.back().firstMember;
    }
    inProject_ = false;
}

void ReportObserver::MemberTextBegin(const std::string& path) {
    if (around_.files && around_.guard) NoteRead(around_.files->FullPath(path));
}

void ReportObserver::MemberUnreadable(std::string_view path, std::string_view reason) {
    if (progress_) progress_->Clear();
    if (stats_.MemberCount > 0) {
        unreadable_.push_back({static_cast<std::size_t>(stats_.MemberCount - 1),
                               path.empty() ? std::string("the project gives no file name") : toUtf8_(reason)});
    }
    // The engine's reason names the file already ("cannot open 'X': ...");
    // an empty member path has no file to name. The project says whose
    // member it is, as a group may list many of one name.
    const ProjectSpan* project = CurrentProject();
    err_ << "quibex-report: warning: " << (project ? PrintableText(project->shown) + ": " : std::string())
         << (path.empty() ? std::string("a member line gives no file name") : PrintableText(toUtf8_(reason)))
         << '\n'
         << std::flush;
}

}  // namespace quibex::report
