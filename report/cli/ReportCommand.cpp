// quibex-report FILE: the plain report of a project or group, in the
// window's figures, as text, CSV, JSON, cloc's JSON or an HTML page.

#include "report/cli/Commands.h"
#include "report/cli/Output.h"
#include "report/cli/ReportOptions.h"
#include "report/cli/Reporter.h"
#include "report/model/Analysis.h"
#include "report/platform/Platform.h"
#include "report/writers/ClocJsonWriter.h"
#include "report/writers/CsvWriter.h"
#include "report/writers/JsonReportWriter.h"
#include "report/writers/TextWriter.h"
#include "report/writers/html/HtmlWriter.h"

namespace quibex::report {

namespace {

void WriteReport(const ReportOptions& options, const ReportData& report, const DetailData* detail,
                 const PathRoot& root, double seconds, std::ostream& out) {
    switch (options.format) {
        case ReportFormat::Text:
            WriteText(report, out);
            if (detail) WriteDetailText(report, *detail, options.top, out);
            break;
        case ReportFormat::Csv:
            if (options.procedures) {
                WriteProceduresCsv(report, *detail, out);
            } else if (detail) {
                WriteDetailCsv(report, *detail, out);
            } else {
                WriteCsv(report, out);
            }
            break;
        case ReportFormat::Json:
            if (detail) {
                WriteDetailJson(report, *detail, out, options.topGiven ? std::optional(options.top) : std::nullopt);
            } else {
                WriteJson(report, out);
            }
            break;
        case ReportFormat::ClocJson: WriteClocJson(report, *detail, options.byFile, root, seconds, out); break;
        case ReportFormat::Html:
            WriteHtml(report, detail, UtcNow("%Y-%m-%d %H:%M UTC"), options.topGiven ? options.top : kHtmlTopProcedures,
                      out);
            break;
    }
}

int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
    const ParsedCommand command = ParseArguments(args);
    switch (command.action) {
        case CommandAction::Help: return ShowHelp(kReportCommand, out);
        case CommandAction::Version:
            out << VersionText() << '\n' << std::flush;
            return out ? kExitOk : kExitReadError;
        case CommandAction::UsageError: return UsageError(kReportCommand, command.error, err);
        case CommandAction::Run: break;
    }
    const ReportOptions& options = command.options;
    OutputGuard guard(options.output);
    AnalysisRequest request;
    request.file = options.file;
    request.outputGuard = &guard;
    request.root = options.root;
    request.keepGoing = options.keepGoing;
    request.codePage = options.codePage;
    request.sourceModel = options.NeedsSourceModel();
    request.defines = options.defines;
    request.progress = options.progress;
    const Analysis analysis = Analyse(request, err, stderrIsTerminal);
    const DetailData* detail = analysis.detail ? &*analysis.detail : nullptr;
    const int written = WriteRunOutput(
        options, guard, analysis.ReadNothing(),
        [&](std::ostream& stream) {
            WriteReport(options, analysis.report, detail, analysis.root, analysis.seconds, stream);
        },
        out, err);
    if (written != kExitOk) return written;
    return analysis.Complete() ? kExitOk : kExitReadError;
}


}  // namespace

const Command kReportCommand = {"", "", &UsageText, &HelpText, &RunReport};

}  // namespace quibex::report
