#pragma once
// One run of the engine over a project or group, as every command of the
// reporter makes it: the window's figures, and when asked the source model
// of every member, with every text in UTF-8.

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "engine/FileSystem.h"
#include "report/Detail.h"
#include "report/OptionParsing.h"
#include "report/ReportWriter.h"

namespace quibex::report {

struct AnalysisRequest {
    std::string file;             // a .vbp or .vbg, as the user gave it
    std::optional<int> codePage;  // the project's code page, as for --code-page
    bool sourceModel = false;     // read each member's source model too
    ProgressMode progress = ProgressMode::Auto;
};

struct Analysis {
    ReportData report;
    std::optional<DetailData> detail;  // with sourceModel
    std::string absoluteFile;          // the file made absolute, UTF-8
    std::string baseFolder;            // its folder, UTF-8
    double seconds = 0;                // how long the reading took

    // The project, the group and every project of it were read whole.
    bool Complete() const { return report.error.empty(); }
};

// Reads `request.file` with the platform's file system. Warnings and
// progress go to `err`; a reading error is in report.error and on `err`.
// Changes the current directory, as the engine enters the folders it reads.
Analysis Analyse(const AnalysisRequest& request, std::ostream& err, bool stderrIsTerminal);

// The same over another file system (a git revision's tree, a test's
// files). Its code page is the project's; `request.codePage` only names
// the conversion to UTF-8.
Analysis Analyse(const AnalysisRequest& request, IFileSystem& files, std::ostream& err, bool stderrIsTerminal);

// Writes a report to standard output or, for `output`, to that file through
// a file beside it that takes its name only when the report is whole. The
// exit code: 0, or 1 with the reason on `err` when it cannot be written.
int WriteOutput(const CommonOptions& options, const std::function<void(std::ostream&)>& write, std::ostream& out,
                std::ostream& err);

}  // namespace quibex::report
