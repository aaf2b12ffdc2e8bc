// quibex-report diff OLD NEW: two versions of a project or group, each read
// now (from the disk or a git revision) or from a saved --detail JSON report.

#include "report/cli/DiffCommand.h"

#include <sstream>

#include "engine/CodePage.h"
#include "report/cli/Commands.h"
#include "report/cli/Output.h"
#include "report/cli/Reporter.h"
#include "report/model/Analysis.h"
#include "report/model/Diff.h"
#include "report/platform/Platform.h"
#include "report/text/Utf8.h"
#include "report/writers/ClocJsonWriter.h"
#include "report/writers/JsonReportWriter.h"
#include "report/writers/TextWriter.h"

namespace quibex::report {

namespace {

enum OptionId { kFormat = 1, kGit };

constexpr Option kOptions[] = {
    {"--format", "", "F",
     "text (the default), json, or cloc-json (cloc's\n"
     "added/same/modified/removed layout)",
     kFormat},
    {"--git", "", "REV",
     "read a side as it is in git revision REV: the first\n"
     "--git names OLD's revision, the second NEW's. With one\n"
     "FILE, OLD is FILE in the first revision and NEW is FILE\n"
     "in the second, or on disk without a second --git",
     kGit},
};
constexpr OptionTable kTable = {kOptions};

std::string Usage() {
    return "Usage: quibex-report diff [options] OLD NEW\n"
           "       quibex-report diff [options] --git REV [--git REV] FILE\n";
}

std::string Help() {
    return CommandHelp(kDiffCommand,
                       "Shows what changed from OLD to NEW: members added, removed and changed,\n"
                       "the change of each figure (lines by class, sizes, procedures added,\n"
                       "removed and changed with their complexity), and the totals before and\n"
                       "after. Each side is a project (.vbp), a group (.vbg) or a report saved\n"
                       "with 'quibex-report --detail --format json'.\n",
                       kTable,
                       "Exit status: 0 when both sides were read, 1 when one could not be read\n"
                       "or the report not written, 2 for a usage error.\n");
}

bool IsJsonFile(const std::string& file) {
    return file.size() >= 5 && EqualsIgnoringCase(std::string_view(file).substr(file.size() - 5), ".json");
}

// One side, or nothing with the reason on `err`.
std::optional<Snapshot> ReadSide(const std::string& file, const std::string& git, const CommonOptions& common,
                                 std::ostream& err, bool stderrIsTerminal) {
    try {
        std::unique_ptr<IFileSystem> files = ReadingFileSystem(common.codePage, git, file);
        if (IsJsonFile(file)) {
            std::unique_ptr<ByteSource> source = files->OpenForReading(AbsolutePath(file));
            std::string text;
            char buffer[65536];
            while (std::size_t n = source->Read(buffer, sizeof buffer)) text.append(buffer, n);
            std::istringstream in(text);
            Snapshot snapshot = ReadSnapshotJson(in);
            return snapshot;
        }
        AnalysisRequest request;
        request.file = file;
        request.codePage = common.codePage;
        request.sourceModel = true;
        request.progress = common.progress;
        const Analysis analysis = Analyse(request, *files, err, stderrIsTerminal);
        if (!analysis.Complete()) return std::nullopt;  // the reason is on err already
        Snapshot snapshot = SnapshotOf(analysis);
        if (!git.empty()) snapshot.file += " (" + git + ")";
        return snapshot;
    } catch (const std::exception& e) {
        err << "quibex-report diff: " << PrintableText(TextToUtf8(e.what())) << '\n' << std::flush;
        return std::nullopt;
    }
}

void WriteDiff(const Snapshot& before, const Snapshot& after, DiffFormat format, std::ostream& out) {
    const DiffResult diff = CompareSnapshots(before, after);
    switch (format) {
        case DiffFormat::Text: WriteDiffText(before, after, diff, out); break;
        case DiffFormat::Json: WriteDiffJson(before, after, diff, out); break;
        case DiffFormat::ClocJson: WriteClocDiff(before, after, diff, out); break;
    }
}

int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
    const Parsed<DiffOptions> parsed = ParseDiffArguments(args);
    switch (parsed.action) {
        case CommandAction::Help: return ShowHelp(kDiffCommand, out);
        case CommandAction::Run: break;
        default: return UsageError(kDiffCommand, parsed.error, err);
    }
    const DiffOptions& options = parsed.options;
    const std::optional<Snapshot> before = ReadSide(options.oldFile, options.oldGit, options, err, stderrIsTerminal);
    if (!before) return kExitReadError;
    const std::optional<Snapshot> after = ReadSide(options.newFile, options.newGit, options, err, stderrIsTerminal);
    if (!after) return kExitReadError;
    return WriteOutput(
        options, [&](std::ostream& stream) { WriteDiff(*before, *after, options.format, stream); }, out, err);
}

}  // namespace

Parsed<DiffOptions> ParseDiffArguments(const std::vector<std::string>& args) {
    Parsed<DiffOptions> parsed;
    DiffOptions& options = parsed.options;
    std::vector<std::string> gits;
    auto take = [&](const Option& option, const std::string& value) -> std::string {
        if (option.id == kGit) {
            if (value.empty()) return "--git needs a revision, such as HEAD or main";
            gits.push_back(value);
        } else if (value == "text") {
            options.format = DiffFormat::Text;
        } else if (value == "json") {
            options.format = DiffFormat::Json;
        } else if (value == "cloc-json") {
            options.format = DiffFormat::ClocJson;
        } else {
            return "unknown format '" + value + "': use text, json or cloc-json";
        }
        return {};
    };
    std::vector<std::string> files;
    parsed.action = ReadArguments(args, kTable, options, take, files, parsed.error);
    if (parsed.action != CommandAction::Run) return parsed;
    auto usage = [&](std::string error) {
        parsed.action = CommandAction::UsageError;
        parsed.error = std::move(error);
        return parsed;
    };
    if (gits.size() > 2) return usage("--git names at most two revisions, OLD's and NEW's");
    if (files.empty() || files.size() > 2) return usage("give OLD and NEW, or --git REV and one FILE");
    if (files.size() == 1 && gits.empty()) return usage("one file needs --git: which revision is OLD?");
    options.oldFile = files[0];
    options.newFile = files.size() == 2 ? files[1] : files[0];
    options.oldGit = gits.empty() ? std::string() : gits[0];
    options.newGit = gits.size() == 2 ? gits[1] : std::string();
    return parsed;
}

const Command kDiffCommand = {"diff", "OLD NEW: what changed between two versions of a project", &Usage, &Help,
                              &RunDiff};

}  // namespace quibex::report
