#include "report/Reporter.h"

#include <optional>

#include "engine/Display.h"
#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"
#include "engine/mdlFill.h"
#include "report/Platform.h"
#include "report/Progress.h"
#include "report/ReportOptions.h"
#include "report/ReportWriter.h"
#include "report/Utf8.h"

namespace quibex::report {

int RunReporter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
    ParsedCommand command = ParseArguments(args);
    switch (command.action) {
        case CommandAction::Help:
            out << HelpText() << std::flush;
            return out ? kExitOk : kExitReadError;
        case CommandAction::Version:
            out << VersionText() << '\n' << std::flush;
            return out ? kExitOk : kExitReadError;
        case CommandAction::UsageError:
            err << "quibex-report: " << PrintableText(TextToUtf8(command.error)) << '\n'
                << UsageText() << "Run 'quibex-report --help' for more.\n"
                << std::flush;
            return kExitUsage;
        case CommandAction::Run:
            break;
    }
    const ReportOptions& options = command.options;

    // The run as the window makes it: reset figures and a full path.
    StatisticsModel stats;
    MemoryDisplay display;
    display.ResetFigures();
    stats.Reset();
    std::unique_ptr<IFileSystem> files = MakePlatformFileSystem();

    bool showProgress = options.progress == ProgressMode::On ||
                        (options.progress == ProgressMode::Auto && stderrIsTerminal);
    std::optional<ProgressLine> progress;
    if (showProgress) progress.emplace(err);
    ReportObserver observer(stats, err, progress ? &*progress : nullptr, &TextToUtf8);

    mdlFill fill(stats, display, *files, observer);
    mdlFill::RunOutcome outcome = fill.ReadChosenFile(AbsolutePath(options.file), mdlFill::ExtensionCase::Any);
    // The end of the window's run: select the last entry, then mark the run over.
    if (stats.MemberCount > 0) display.SetListIndex(stats.MemberCount - 1);
    stats.MemberCount = 0;
    if (progress) progress->Clear();

    if (!outcome.error.empty()) {
        err << "quibex-report: " << PrintableText(TextToUtf8(outcome.error)) << '\n' << std::flush;
    }

    ReportData report = CollectReport(options.file, stats, display, outcome.error, &TextToUtf8);
    switch (options.format) {
        case ReportFormat::Text: WriteText(report, out); break;
        case ReportFormat::Csv: WriteCsv(report, out); break;
        case ReportFormat::Json: WriteJson(report, out); break;
    }
    out.flush();
    if (!out) {
        // A report that did not reach its reader is no success.
        err << "quibex-report: cannot write the report to standard output\n" << std::flush;
        return kExitReadError;
    }
    return outcome.error.empty() ? kExitOk : kExitReadError;
}

}  // namespace quibex::report
