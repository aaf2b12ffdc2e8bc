#include "report/model/Analysis.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "engine/CodePage.h"
#include "engine/Display.h"
#include "engine/MemberStatistics.h"
#include "engine/Paths.h"
#include "engine/mdlFill.h"
#include "report/platform/GitFileSystem.h"
#include "report/platform/Platform.h"
#include "report/model/Progress.h"

namespace quibex::report {

namespace {

// Puts the current directory back on destruction: the engine makes each
// folder it reads current, and a command's own relative paths (-o FILE,
// a baseline) name files beside the caller, not beside the project.
class CurrentDirectoryKeeper {
public:
    CurrentDirectoryKeeper() { saved_ = std::filesystem::current_path(error_); }
    ~CurrentDirectoryKeeper() {
        if (error_) return;
        std::error_code ignored;
        std::filesystem::current_path(saved_, ignored);
    }
    CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
    CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

private:
    std::error_code error_;
    std::filesystem::path saved_;
};

}  // namespace

std::unique_ptr<IFileSystem> ReadingFileSystem(std::optional<int> codePageNumber, const std::string& gitRevision,
                                               const std::string& file) {
    std::optional<CodePage> codePage;
    if (codePageNumber) codePage = CodePageFromNumber(*codePageNumber);
    const CodePage* textCodePage = codePage ? &*codePage : nullptr;
    if (!gitRevision.empty()) return MakeGitFileSystem(AbsolutePath(file), gitRevision, textCodePage);
    return MakePlatformFileSystem(textCodePage);
}

Analysis Analyse(const AnalysisRequest& request, std::ostream& err, bool stderrIsTerminal) {
    std::unique_ptr<IFileSystem> files = ReadingFileSystem(request.codePage, {}, request.file);
    return Analyse(request, *files, err, stderrIsTerminal);
}

Analysis Analyse(const AnalysisRequest& request, IFileSystem& files, std::ostream& err, bool stderrIsTerminal) {
    OutputGuard* guard = request.outputGuard;
    if (guard && (guard->Clashed() || guard->Reads(request.file))) {
        // Nothing is read for a report that will not be written.
        Analysis refused;
        refused.report.file = TextToUtf8(request.file);
        return refused;
    }
    const CurrentDirectoryKeeper keeper;
    // Before the engine enters any folder: --root is named from the caller's.
    const std::string absolute = AbsolutePath(request.file);
    const PathRoot root = FindPathRoot(absolute, request.root);
    const auto started = std::chrono::steady_clock::now();
    const TextConverter toUtf8 = TextConverterFor(request.codePage.value_or(0));

    // The run as the window makes it: reset figures and a full path.
    StatisticsModel stats;
    MemoryDisplay display;
    display.ResetFigures();
    stats.Reset();

    const bool showProgress = request.progress == ProgressMode::On ||
                              (request.progress == ProgressMode::Auto && stderrIsTerminal);
    std::optional<ProgressLine> progress;
    if (showProgress) progress.emplace(err);
    ProgressLine* progressLine = progress ? &*progress : nullptr;
    std::optional<ReportObserver> plainObserver;
    std::optional<DetailObserver> detailObserver;
    ReportObserver* observer;
    const RunSurroundings around{&files, guard, &root, request.keepGoing};
    if (request.sourceModel) {
        observer = &detailObserver.emplace(stats, files, err, progressLine, toUtf8, around, request.defines);
    } else {
        observer = &plainObserver.emplace(stats, err, progressLine, toUtf8, around);
    }

    mdlFill fill(stats, display, files, *observer);
    const mdlFill::RunOutcome outcome = fill.ReadChosenFile(absolute, mdlFill::ExtensionCase::Any);
    // The end of the window's run: select the last entry, then mark the run over.
    if (stats.MemberCount > 0) display.SetListIndex(stats.MemberCount - 1);
    stats.MemberCount = 0;
    if (progress) progress->Clear();
    if (!outcome.error.empty()) {
        err << "quibex-report: " << PrintableText(toUtf8(outcome.error)) << '\n' << std::flush;
    }

    Analysis analysis;
    analysis.report = CollectReport(request.file, stats, display, outcome.error, toUtf8);
    analysis.report.projects = observer->TakeProjects();
    const bool group = absolute.size() >= 4 && EqualsIgnoringCase(std::string_view(absolute).substr(absolute.size() - 4), ".vbg");
    if (group && outcome.error.empty() && analysis.report.projects.empty() && analysis.report.unreadableProjects.empty()) {
        err << "quibex-report: warning: '" << PrintableText(toUtf8(request.file))
            << "' holds no project lines: is it a VB6 project group file?\n"
            << std::flush;
    }
    analysis.report.unreadable = observer->TakeUnreadable();
    analysis.report.unreadableProjects = observer->TakeUnreadableProjects();
    if (detailObserver) {
        analysis.detail = detailObserver->Take();
        if (request.inspect) request.inspect(stats, *analysis.detail, files);
        ConvertToUtf8(*analysis.detail, toUtf8);
    }
    analysis.absoluteFile = toUtf8(absolute);
    analysis.root = root.Converted(toUtf8);
    analysis.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return analysis;
}

std::string ReadWholeFile(IFileSystem& files, const std::string& path) {
    const std::unique_ptr<ByteSource> source = files.OpenForReading(path);
    std::string text;
    std::vector<char> buffer(1 << 16);
    while (std::size_t n = source->Read(buffer.data(), buffer.size())) text.append(buffer.data(), n);
    return text;
}

}  // namespace quibex::report
