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
    projects_.push_back({toUtf8_(path), static_cast<std::size_t>(stats_.RecordCount()), 0});
}

void ReportObserver::ProjectLine(std::string_view line) {
    if (projectLinesSeen_) return;
    // Keys every VB6 project file has some of; a file of another kind
    // named .vbp has none.
    static constexpr std::string_view kProjectKeys[] = {"type", "reference", "object", "name", "startup",
                                                        "title", "exename32", "majorver", "condcomp"};
    const std::optional<KeyValue> kv = SplitLine(line);
    if (!kv) return;
    projectLinesSeen_ = FindMemberKind(kv->key) ||
                        std::find(std::begin(kProjectKeys), std::end(kProjectKeys), kv->key) != std::end(kProjectKeys);
}

void ReportObserver::ProjectEnd() {
    if (!projectLinesSeen_) {
        if (progress_) progress_->Clear();
        err_ << "quibex-report: warning: '" << PrintableText(toUtf8_(projectPath_))
             << "' holds no project lines: is it a VB6 project file?\n"
             << std::flush;
        projectLinesSeen_ = true;
    }
    if (!projects_.empty()) {
        projects_.back().memberCount = static_cast<std::size_t>(stats_.RecordCount()) - projects_.back().firstMember;
    }
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
    // an empty member path has no file to name.
    err_ << "quibex-report: warning: "
         << (path.empty() ? std::string("a member line gives no file name") : PrintableText(toUtf8_(reason)))
         << '\n'
         << std::flush;
}

}  // namespace quibex::report
