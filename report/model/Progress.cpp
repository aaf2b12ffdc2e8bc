#include "report/model/Progress.h"

#include <algorithm>

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
                               TextConverter toUtf8)
    : stats_(stats), err_(err), progress_(progress), toUtf8_(std::move(toUtf8)) {}

void ReportObserver::Yield() {
    if (progress_) progress_->Update(stats_.MemberCount, stats_.InterfaceLinesTotal + stats_.CodeLinesTotal);
}

void ReportObserver::ProjectBegin(const std::string& path) {
    projects_.push_back({toUtf8_(path), static_cast<std::size_t>(stats_.RecordCount()), 0});
}

void ReportObserver::ProjectEnd() {
    if (!projects_.empty()) {
        projects_.back().memberCount = static_cast<std::size_t>(stats_.RecordCount()) - projects_.back().firstMember;
    }
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
