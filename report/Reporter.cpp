#include "report/Reporter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "engine/CodePage.h"
#include "engine/Display.h"
#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"
#include "engine/mdlFill.h"
#include "report/Detail.h"
#include "report/DetailWriter.h"
#include "report/Platform.h"
#include "report/Progress.h"
#include "report/ReportOptions.h"
#include "report/ReportWriter.h"
#include "report/Utf8.h"

namespace quibex::report {

namespace {

void WriteReport(const ReportOptions& options, const ReportData& report, const DetailData* detail,
                 const std::string& baseFolder, double seconds, std::ostream& out) {
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
                WriteDetailJson(report, *detail, out);
            } else {
                WriteJson(report, out);
            }
            break;
        case ReportFormat::ClocJson: WriteClocJson(report, *detail, options.byFile, baseFolder, seconds, out); break;
    }
}

// Writes the report to `path` through a file beside it that takes its name
// only when it is whole, so that a failed write leaves what was there.
bool WriteToFile(const std::string& path, const std::function<void(std::ostream&)>& write, std::string& error) {
    const std::string temporary = path + ".quibex-partial";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) {
            error = "cannot write '" + path + "': the file cannot be created";
            return false;
        }
        write(file);
        file.flush();
        if (!file) {
            file.close();
            std::remove(temporary.c_str());
            error = "cannot write '" + path + "': the disk refused the report";
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        error = "cannot write '" + path + "': " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

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
    const auto started = std::chrono::steady_clock::now();

    // The run as the window makes it: reset figures and a full path.
    StatisticsModel stats;
    MemoryDisplay display;
    display.ResetFigures();
    stats.Reset();
    std::optional<CodePage> codePage;
    if (options.codePage) codePage = CodePageFromNumber(*options.codePage);
    std::unique_ptr<IFileSystem> files = MakePlatformFileSystem(codePage ? &*codePage : nullptr);
    const TextConverter toUtf8 = TextConverterFor(options.codePage.value_or(0));

    bool showProgress = options.progress == ProgressMode::On ||
                        (options.progress == ProgressMode::Auto && stderrIsTerminal);
    std::optional<ProgressLine> progress;
    if (showProgress) progress.emplace(err);
    ProgressLine* progressLine = progress ? &*progress : nullptr;
    std::optional<ReportObserver> plainObserver;
    std::optional<DetailObserver> detailObserver;
    IRunObserver* observer;
    if (options.NeedsSourceModel()) {
        observer = &detailObserver.emplace(stats, *files, err, progressLine, toUtf8);
    } else {
        observer = &plainObserver.emplace(stats, err, progressLine, toUtf8);
    }

    const std::string absolute = AbsolutePath(options.file);
    mdlFill fill(stats, display, *files, *observer);
    mdlFill::RunOutcome outcome = fill.ReadChosenFile(absolute, mdlFill::ExtensionCase::Any);
    // The end of the window's run: select the last entry, then mark the run over.
    if (stats.MemberCount > 0) display.SetListIndex(stats.MemberCount - 1);
    stats.MemberCount = 0;
    if (progress) progress->Clear();

    if (!outcome.error.empty()) {
        err << "quibex-report: " << PrintableText(toUtf8(outcome.error)) << '\n' << std::flush;
    }

    const ReportData report = CollectReport(options.file, stats, display, outcome.error, toUtf8);
    std::optional<DetailData> detail;
    if (detailObserver) {
        detail = detailObserver->Take();
        ConvertToUtf8(*detail, toUtf8);
    }
    const std::string absoluteUtf8 = toUtf8(absolute);
    const std::string baseFolder = absoluteUtf8.substr(0, std::min(absoluteUtf8.find_last_of("/\\"), absoluteUtf8.size()));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    auto write = [&](std::ostream& stream) {
        WriteReport(options, report, detail ? &*detail : nullptr, baseFolder, seconds, stream);
    };

    if (options.ToStandardOutput()) {
        write(out);
        out.flush();
        if (!out) {
            // A report that did not reach its reader is no success.
            err << "quibex-report: cannot write the report to standard output\n" << std::flush;
            return kExitReadError;
        }
    } else {
        std::string error;
        if (!WriteToFile(options.output, write, error)) {
            err << "quibex-report: " << PrintableText(TextToUtf8(error)) << '\n' << std::flush;
            return kExitReadError;
        }
    }
    return outcome.error.empty() ? kExitOk : kExitReadError;
}

}  // namespace quibex::report
