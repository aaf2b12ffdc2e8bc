#pragma once
// What the reporter shows on stderr while the engine runs: one progress line,
// and a warning for each member file that cannot be read.

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"
#include "engine/RunObserver.h"
#include "report/model/OutputGuard.h"
#include "report/model/PathRoot.h"
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

// What the observer looks at besides the figures, each of it optional:
// the file system the run reads through, the -o file to keep safe from it,
// and the root the report names files from (in the file system's texts).
struct RunSurroundings {
    IFileSystem* files = nullptr;
    OutputGuard* guard = nullptr;
    const PathRoot* root = nullptr;
    bool keepGoing = false;  // read a group past a project that cannot be read
};

// The reporter's side of the run: progress at every yield, a warning on
// stderr for every unreadable member file; the projects read and the
// members not read are kept for the report.
class ReportObserver : public IRunObserver {
public:
    // `progress` may be null: no progress line.
    ReportObserver(const StatisticsModel& stats, std::ostream& err, ProgressLine* progress, TextConverter toUtf8,
                   RunSurroundings around = {});

    void Yield() override;
    void MemberUnreadable(std::string_view path, std::string_view reason) override;
    void ProjectBegin(const std::string& path) override;
    void ProjectLine(std::string_view line) override;
    void ProjectEnd() override;
    void MemberTextBegin(const std::string& path) override;
    bool ProjectUnreadable(const std::string& path, std::string_view reason, bool opened) override;

    // What was kept, texts in UTF-8; moves it out.
    std::vector<ProjectSpan> TakeProjects() { return std::move(projects_); }
    std::vector<UnreadableMember> TakeUnreadable() { return std::move(unreadable_); }
    std::vector<UnreadableProject> TakeUnreadableProjects() { return std::move(unreadableProjects_); }

protected:
    // The project file just begun (its folder is current), as the file
    // system names it made absolute; empty without a file system.
    const std::string& ProjectFullPath() const { return projectFullPath_; }
    // Tells the guard of a file the run reads, named as the file system names it.
    void NoteRead(const std::string& fullPath);
    // The project being read; null outside one.
    const ProjectSpan* CurrentProject() const { return inProject_ ? &projects_.back() : nullptr; }
    IFileSystem* Files() const { return around_.files; }

private:
    RunSurroundings around_;
    std::string projectFullPath_;
    std::string projectPath_;       // as named, for a warning
    bool projectLinesSeen_ = false;  // a line of the project file that a VB6 project has
    bool inProject_ = false;
    std::size_t projectLines_ = 0;   // the group's project lines met so far
    std::vector<ProjectSpan> projects_;
    std::vector<UnreadableMember> unreadable_;
    std::vector<UnreadableProject> unreadableProjects_;
    const StatisticsModel& stats_;
    std::ostream& err_;
    ProgressLine* progress_;
    TextConverter toUtf8_;
};

}  // namespace quibex::report
