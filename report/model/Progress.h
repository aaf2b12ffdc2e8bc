#pragma once
// What the reporter shows on stderr while the engine runs: one progress line,
// and a warning for each member file that cannot be read.

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "engine/MemberStatistics.h"
#include "engine/RunObserver.h"
#include "report/model/Report.h"

namespace quibex::report {

enum class ProgressMode { Auto, On, Off };  // Auto: on when stderr is a terminal

// One line of members and lines read so far, redrawn in place at most ten
// times a second and erased at the end. The engine yields every 221 lines,
// so the clock is read only on every few calls.
class ProgressLine {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit ProgressLine(std::ostream& err, Clock now = &std::chrono::steady_clock::now);

    // Called at every yield of the run.
    void Update(Figure members, Figure lines);
    // Erases the line if one is shown; the next Update may draw it again.
    void Clear();

    static constexpr std::chrono::milliseconds kInterval{100};
    static constexpr unsigned kClockEvery = 8;  // calls per clock reading

private:
    std::ostream& err_;
    Clock now_;
    std::chrono::steady_clock::time_point lastDraw_;
    unsigned calls_ = 0;
    std::size_t shownWidth_ = 0;  // characters on screen, 0 when none
};

// The reporter's side of the run: progress at every yield, a warning on
// stderr for every unreadable member file; the projects read and the
// members not read are kept for the report.
class ReportObserver : public IRunObserver {
public:
    // `progress` may be null: no progress line.
    ReportObserver(const StatisticsModel& stats, std::ostream& err, ProgressLine* progress, TextConverter toUtf8);

    void Yield() override;
    void MemberUnreadable(std::string_view path, std::string_view reason) override;
    void ProjectBegin(const std::string& path) override;
    void ProjectEnd() override;

    // What was kept, texts in UTF-8; moves it out.
    std::vector<ProjectSpan> TakeProjects() { return std::move(projects_); }
    std::vector<UnreadableMember> TakeUnreadable() { return std::move(unreadable_); }

private:
    std::vector<ProjectSpan> projects_;
    std::vector<UnreadableMember> unreadable_;
    const StatisticsModel& stats_;
    std::ostream& err_;
    ProgressLine* progress_;
    TextConverter toUtf8_;
};

}  // namespace quibex::report
