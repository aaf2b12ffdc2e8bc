// quibex-report diff OLD NEW: two versions of a project or group, each read
// now (from the disk or a git revision) or from a saved --detail JSON report.

#include <sstream>

#include "engine/CodePage.h"
#include "report/model/Analysis.h"
#include "report/model/Diff.h"
#include "report/cli/OptionParsing.h"
#include "report/platform/Platform.h"
#include "report/cli/Reporter.h"
#include "report/cli/Subcommands.h"
#include "report/text/Utf8.h"

namespace quibex::report {

namespace {

std::string DiffHelp() {
    std::string help =
        "usage: quibex-report diff [options] OLD NEW\n"
        "       quibex-report diff [options] --git REV [--git REV] FILE\n"
        "\n"
        "Shows what changed from OLD to NEW: members added, removed and changed,\n"
        "the change of each figure (lines by class, sizes, procedures added,\n"
        "removed and changed with their complexity), and the totals before and\n"
        "after. Each side is a project (.vbp), a group (.vbg) or a report saved\n"
        "with 'quibex-report --detail --format json'.\n"
        "\n"
        "Options:\n"
        "  --format F          text (the default), json, or cloc-json (cloc's\n"
        "                      added/same/modified/removed layout)\n"
        "  --git REV           read a side as it is in git revision REV: the first\n"
        "                      --git names OLD's revision, the second NEW's. With one\n"
        "                      FILE, OLD is FILE in the first revision and NEW is FILE\n"
        "                      in the second, or on disk without a second --git\n"
        "  --keep-going        read every project of a group that can be read, past\n"
        "                      one that cannot (each is named; the exit status is 1)\n";
    help += CommonOptionsHelp();
    return help;
}

int UsageError(std::ostream& err, const std::string& why) {
    err << "quibex-report diff: " << PrintableText(TextToUtf8(why)) << "\n"
        << "Run 'quibex-report diff --help' for more.\n"
        << std::flush;
    return kExitUsage;
}

bool IsJsonFile(const std::string& file) {
    return file.size() >= 5 && EqualsIgnoringCase(std::string_view(file).substr(file.size() - 5), ".json");
}

// One side, or nothing with the reason on `err`.
std::optional<Snapshot> ReadSide(const std::string& file, const std::string& git, const CommonOptions& common,
                                 bool keepGoing, bool& incomplete, OutputGuard& guard, std::ostream& err,
                                 bool stderrIsTerminal) {
    try {
        std::unique_ptr<IFileSystem> files = ReadingFileSystem(common.codePage, git, file);
        if (IsJsonFile(file)) {
            if (git.empty() && guard.Reads(file)) return Snapshot{};
            std::istringstream in(ReadWholeFile(*files, AbsolutePath(file)));
            try {
                return ReadSnapshotJson(in);
            } catch (const std::runtime_error& e) {
                throw std::runtime_error("'" + file + "' is " + e.what());
            }
        }
        AnalysisRequest request;
        request.file = file;
        request.codePage = common.codePage;
        request.sourceModel = true;
        request.progress = common.progress;
        request.outputGuard = &guard;
        request.keepGoing = keepGoing;
        const Analysis analysis = Analyse(request, *files, err, stderrIsTerminal);
        // The reason is on err already.
        if (analysis.Stopped()) return std::nullopt;
        incomplete = incomplete || !analysis.Complete();
        Snapshot snapshot = SnapshotOf(analysis);
        if (!git.empty()) snapshot.file += " (" + git + ")";
        return snapshot;
    } catch (const std::exception& e) {
        err << "quibex-report diff: " << PrintableText(TextToUtf8(e.what())) << '\n' << std::flush;
        return std::nullopt;
    }
}

}  // namespace

int RunDiffCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool stderrIsTerminal) {
    CommonOptions common;
    std::vector<std::string> files, gits;
    DiffFormat format = DiffFormat::Text;
    bool keepGoing = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error, value;
        bool missing = false;
        ValueOption option(args, i);
        if (arg == "--help" || arg == "-h") {
            out << DiffHelp() << std::flush;
            return out ? kExitOk : kExitReadError;
        }
        switch (TakeCommonOption(args, i, common, error)) {
            case OptionResult::Taken: continue;
            case OptionResult::Error: return UsageError(err, error);
            case OptionResult::NotCommon: break;
        }
        if (option.Is("--format", value, missing)) {
            if (value == "text") {
                format = DiffFormat::Text;
            } else if (value == "json") {
                format = DiffFormat::Json;
            } else if (value == "cloc-json") {
                format = DiffFormat::ClocJson;
            } else if (!missing) {
                return UsageError(err, "unknown format '" + value + "': use text, json or cloc-json");
            }
        } else if (arg == "--keep-going") {
            keepGoing = true;
        } else if (option.Is("--git", value, missing)) {
            if (!missing && value.empty()) return UsageError(err, "--git needs a revision, such as HEAD or main");
            gits.push_back(value);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError(err, "unknown option '" + arg + "'");
        } else {
            files.push_back(arg);
        }
        if (missing) return UsageError(err, arg + " needs a value");
    }
    if (gits.size() > 2) return UsageError(err, "--git names at most two revisions, OLD's and NEW's");
    if (files.empty() || files.size() > 2) return UsageError(err, "give OLD and NEW, or --git REV and one FILE");
    if (files.size() == 1 && gits.empty()) return UsageError(err, "one file needs --git: which revision is OLD?");
    const std::string& oldFile = files[0];
    const std::string& newFile = files.size() == 2 ? files[1] : files[0];
    const std::string oldGit = gits.empty() ? std::string() : gits[0];
    const std::string newGit = gits.size() == 2 ? gits[1] : std::string();

    OutputGuard guard(common.output);
    bool incomplete = false;
    const std::optional<Snapshot> before =
        ReadSide(oldFile, oldGit, common, keepGoing, incomplete, guard, err, stderrIsTerminal);
    const std::optional<Snapshot> after =
        before ? ReadSide(newFile, newGit, common, keepGoing, incomplete, guard, err, stderrIsTerminal) : std::nullopt;
    if (!before || !after) return kExitReadError;
    const int written = WriteRunOutput(
        common, guard, false, [&](std::ostream& stream) { WriteDiff(*before, *after, format, stream); }, out, err);
    // With --keep-going a side without a project of its group is still shown, and still a failure.
    return written == kExitOk && incomplete ? kExitReadError : written;
}

}  // namespace quibex::report
