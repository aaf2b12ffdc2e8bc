#pragma once
// One run of the engine over a project or group, as every command of the
// reporter makes it: the window's figures, and when asked the source model
// of every member, with every text in UTF-8.

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/FileSystem.h"
#include "report/model/Detail.h"
#include "report/model/OutputGuard.h"
#include "report/model/PathRoot.h"
#include "report/model/Progress.h"
#include "report/model/Report.h"

namespace quibex::report {

struct AnalysisRequest {
    std::string file;             // a .vbp or .vbg, as the user gave it
    std::optional<int> codePage;  // the project's code page, as for --code-page
    bool sourceModel = false;     // read each member's source model too
    // With sourceModel: NAME=VALUE compile constants (--define) that add to
    // or replace each project's CondComp.
    std::vector<std::string> defines;
    ProgressMode progress = ProgressMode::Auto;
    // With sourceModel: called when the reading is over, before any text is
    // turned into UTF-8, with the run's records, the model and the file
    // system that read them, for commands that look further at the files.
    std::function<void(const StatisticsModel&, const DetailData&, IFileSystem&)> inspect;
    // The -o file, told of every file the run reads; a run whose file is
    // the output reads nothing. Null: none.
    OutputGuard* outputGuard = nullptr;
    // The folder paths start at (--root); empty: found from the file.
    std::string root;
    // A group's reading goes on past a project that cannot be read; each
    // is named on `err` and kept in report.unreadableProjects.
    bool keepGoing = false;
};

struct Analysis {
    ReportData report;
    std::optional<DetailData> detail;  // with sourceModel
    std::string absoluteFile;          // the file made absolute, UTF-8
    PathRoot root;                     // where the report's paths start, UTF-8
    double seconds = 0;                // how long the reading took

    // The project, the group and every project of it were read whole.
    bool Complete() const { return report.error.empty() && report.unreadableProjects.empty(); }
    // Reading stopped early: at the file itself, or without keepGoing at a
    // project of the group.
    bool Stopped() const { return !report.error.empty(); }
    // No project was read: a report of this run holds nothing, and must not
    // take the place of an earlier one.
    bool ReadNothing() const { return !Complete() && report.projects.empty(); }
};

// Reads `request.file` with the platform's file system. Warnings and
// progress go to `err`; a reading error is in report.error and on `err`.
// The engine enters the folders it reads; the current directory is the
// caller's again on return, so relative paths given beside the project
// (an output file) keep their meaning.
Analysis Analyse(const AnalysisRequest& request, std::ostream& err, bool stderrIsTerminal);

// The same over another file system (a git revision's tree, a test's
// files). Its code page is the project's; `request.codePage` only names
// the conversion to UTF-8.
Analysis Analyse(const AnalysisRequest& request, IFileSystem& files, std::ostream& err, bool stderrIsTerminal);

// The file system a command reads `file` with: the platform's, or with a
// `gitRevision` that revision's tree of the git repository holding `file`.
// Throws FileError when the repository or the revision cannot be read.
std::unique_ptr<IFileSystem> ReadingFileSystem(std::optional<int> codePage, const std::string& gitRevision,
                                               const std::string& file);

// Everything in the file `path` names, read through `files`. Throws
// FileError, which says which file and why ("cannot open 'x': ...").
std::string ReadWholeFile(IFileSystem& files, const std::string& path);

}  // namespace quibex::report
