// quibex-report check FILE: the rules of Checks.h over a project or group,
// with the settings of the command line and of the .quibex.toml beside it.

#include "report/cli/CheckCommand.h"

#include <algorithm>
#include <sstream>

#include "engine/CodePage.h"
#include "engine/Paths.h"
#include "report/cli/Commands.h"
#include "report/cli/Output.h"
#include "report/cli/Reporter.h"
#include "report/model/Analysis.h"
#include "report/model/Checks.h"
#include "report/model/Findings.h"
#include "report/model/SettingsFile.h"
#include "report/platform/Platform.h"
#include "report/text/Strings.h"
#include "report/text/Utf8.h"
#include "report/writers/CheckFormats.h"
#include "report/writers/RuleListWriter.h"

namespace quibex::report {

namespace {

enum OptionId { kFormat = 1, kSelect, kIgnore, kFailOn, kBaseline, kGit, kConfig, kNoConfig, kRoot, kMaxResults, kListRules };

// The --fail-on help names every figure a threshold may take, from the
// rules' own table: "member.lines, .codeLines, ...; procedure.lines, ...".
std::string FailOnHelp() {
    std::string figures;
    std::string scope;
    for (const std::string& figure : ThresholdFigures()) {
        const std::size_t dot = figure.find('.');
        const std::string figureScope = figure.substr(0, dot);
        if (figureScope != scope) {
            figures += (scope.empty() ? "" : "; ") + figure;
            scope = figureScope;
        } else {
            figures += ", " + figure.substr(dot);
        }
    }
    return Wrapped("limits of one's own, comma-separated: FIGURE>N or FIGURE>=N, such as procedure.complexity>40; "
                   "from 90% of a limit on a finding is a warning. Figures: " +
                       figures,
                   56);
}

const OptionTable& Table() {
    static const std::string failOnHelp = FailOnHelp();
    static const Option options[] = {
        {"--format", "", "F",
         "text (the default), json, sarif (SARIF 2.1.0),\n"
         "sonarqube (generic issue import), codeclimate\n"
         "(GitLab code quality) or junit (JUnit XML: a test\n"
         "case per rule and file)",
         kFormat},
        {"--select", "", "RULES", "run only these rules (comma-separated)", kSelect},
        {"--ignore", "", "RULES", "do not run these rules", kIgnore},
        {"--fail-on", "", "LIMITS", failOnHelp, kFailOn},
        {"--baseline", "", "FILE",
         "report only findings that FILE, an earlier\n"
         "'check --format json' report, does not hold",
         kBaseline},
        {"--git", "", "REV", "check the project as it is in git revision REV", kGit},
        {"--config", "", "FILE",
         "read the settings from FILE instead of the\n"
         ".quibex.toml beside the project",
         kConfig},
        {"--no-config", "", "", "read no settings file", kNoConfig},
        {"--root", "", "DIR",
         "show paths from DIR (default: the top of the git\n"
         "repository holding FILE, else FILE's folder)",
         kRoot, "--root needs a folder"},
        {"--max-results", "", "N",
         "with --format sarif: write at most N results,\n"
         "errors first (default 25000, the limit of GitHub\n"
         "code scanning)",
         kMaxResults, "--max-results needs a whole number from 1"},
        {"--list-rules", "", "",
         "list every rule with its level, whether it runs\n"
         "by default and its parameters (--format text or\n"
         "json); no FILE",
         kListRules},
    };
    static const OptionTable table = {options};
    return table;
}

std::string Usage() { return "Usage: quibex-report check [options] FILE\n"; }

std::string Help() {
    std::string description =
        "Checks the project (.vbp) or group (.vbg) FILE and its members and prints\n"
        "one finding a line, as compilers do: path:line: rule: message.\n"
        "\n"
        "Rules:\n";
    for (const CheckRule& rule : CheckRules()) {
        const std::string name(rule.name);
        description += "  " + name + std::string(name.size() < 16 ? 16 - name.size() : 1, ' ') +
                       std::string(rule.summary) + "\n";
    }
    return CommandHelp(kCheckCommand, description, Table(),
                       "Exit status: 0 when no rule fails, 3 when one does (a project of the\n"
                       "group that cannot be read is a missing-member finding), 1 when FILE\n"
                       "cannot be read, 2 for a usage error or an -o FILE that the run reads.\n");
}

// The folder of `path`, "." for a bare name.
std::string FolderOrCurrent(const std::string& path) {
    std::string folder = FolderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

// The whole of a small file read through `files`; nothing when it is not there.
std::optional<std::string> ReadSmallFile(IFileSystem& files, const std::string& path) {
    try {
        return ReadWholeFile(files, path);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

// Fills what the command line left open from the settings file: the one
// given, or the one beside the project (in the revision checked, with
// --git). The command line wins key by key. The reason, when the file
// given cannot be read or a file cannot be parsed.
// The settings file is read only when -o is not it.
std::optional<std::string> ApplySettingsFile(CheckOptions& options, IFileSystem& files, OutputGuard& guard) {
    if (options.noConfig) return std::nullopt;
    std::optional<std::string> text;
    std::string shownName;
    std::string configFolder = FolderOrCurrent(options.file);
    if (!options.configFile.empty()) {
        if (guard.Reads(options.configFile)) return std::nullopt;
        try {
            text = ReadWholeFile(*MakePlatformFileSystem(), options.configFile);
        } catch (const FileError& e) {
            return "the settings file cannot be read: " + std::string(e.what());
        }
        shownName = options.configFile;
        configFolder = FolderOrCurrent(options.configFile);
    } else {
        const std::string absolute = AbsolutePath(options.file);
        const char separator = absolute.find('\\') != std::string::npos ? '\\' : '/';
        shownName = FolderOrCurrent(absolute) + separator + std::string(kConfigFileName);
        if (options.git.empty() && guard.Reads(shownName)) return std::nullopt;
        text = ReadSmallFile(files, shownName);
    }
    if (!text) return std::nullopt;
    std::string error;
    const std::optional<CheckConfig> config = ParseCheckConfig(*text, error);
    if (!config) return "'" + shownName + "' " + error;
    if (!options.select) options.select = config->select;
    if (!options.ignore) options.ignore = config->ignore;
    if (!options.failOn) options.failOn = config->failOn;
    if (!options.format) options.format = config->format;
    if (!options.baseline && config->baseline) {
        const std::string& baseline = *config->baseline;
        // A relative baseline lies beside the settings file.
        const bool relative = !baseline.empty() && baseline[0] != '/' && baseline[0] != '\\' &&
                              baseline.find(':') == std::string::npos;
        options.baseline = relative ? configFolder + "/" + baseline : baseline;
    }
    return std::nullopt;
}

// The rules to run and the thresholds, from the options; the reason when a
// rule or a threshold is not known.
std::optional<std::string> MakeSettings(const CheckOptions& options, CheckSettings& settings) {
    settings.select = options.select.value_or(std::vector<std::string>());
    settings.ignore = options.ignore.value_or(std::vector<std::string>());
    for (const std::vector<std::string>* list : {&settings.select, &settings.ignore}) {
        for (const std::string& rule : *list) {
            if (!IsCheckRule(rule)) {
                std::string rules;
                for (const CheckRule& known : CheckRules()) rules += (rules.empty() ? "" : ", ") + std::string(known.name);
                return "unknown rule '" + rule + "': use " + rules;
            }
        }
    }
    for (const std::string& text : options.failOn.value_or(std::vector<std::string>())) {
        std::string error;
        std::optional<Threshold> threshold = ParseThreshold(text, error);
        if (!threshold) return error;
        settings.thresholds.push_back(std::move(*threshold));
    }
    const std::string format = options.format.value_or("text");
    if (!FindCheckFormat(format)) return "unknown format '" + format + "': use " + CheckFormatNames();
    if (options.maxResults && format != "sarif") return "--max-results is for --format sarif";
    return std::nullopt;
}

// The findings of an earlier run (unless -o is that file); the reason when
// it cannot be read or is no such report.
std::optional<std::string> ReadBaseline(const std::string& file, std::vector<Finding>& known, OutputGuard& guard) {
    if (guard.Reads(file)) return std::nullopt;
    try {
        std::istringstream in(ReadWholeFile(*MakePlatformFileSystem(), file));
        known = ReadFindingsJson(in);
    } catch (const FileError& e) {
        return "the baseline cannot be read: " + std::string(e.what());
    } catch (const std::exception& e) {
        return "the baseline '" + file + "' is " + e.what();
    }
    return std::nullopt;
}

struct CheckRun {
    Analysis analysis;
    std::vector<Finding> findings;
    std::vector<std::string> files;  // every file checked, as findings show paths
};

// Reads the project with its source model, looks at its files, and runs the rules.
CheckRun Check(const CheckOptions& options, const CheckSettings& settings, IFileSystem& files, OutputGuard& guard,
               std::ostream& err, bool stderrIsTerminal) {
    AnalysisRequest request;
    request.file = options.file;
    request.codePage = options.codePage;
    request.sourceModel = true;
    request.progress = options.progress;
    request.outputGuard = &guard;
    request.root = options.root;
    // A project of the group that cannot be read is a finding like a
    // missing member, and the rest is checked.
    request.keepGoing = true;
    FileInspection inspection;
    const std::string groupPath = IsGroupFile(options.file) ? AbsolutePath(options.file) : std::string();
    request.inspect = [&](const StatisticsModel& stats, const DetailData& detail, IFileSystem& readFiles) {
        inspection = InspectFiles(stats, detail, readFiles, groupPath);
        inspection.revision = options.git;
    };
    CheckRun run{Analyse(request, files, err, stderrIsTerminal), {}, {}};
    ConvertToUtf8(inspection, TextConverterFor(options.codePage.value_or(0)));
    run.findings = RunChecks(run.analysis, inspection, settings, options.codePage.value_or(kDefaultCodePage));
    run.files = CheckedFiles(run.analysis, inspection);
    return run;
}

void WriteFindings(const std::string& format, const CheckOptions& options, const CheckRun& run,
                   const CheckSettings& settings, std::ostream& out) {
    FindingsContext context;
    context.file = run.analysis.report.file;
    for (const CheckRule& rule : CheckRules()) {
        if (settings.Runs(rule.name)) context.rulesRun.push_back(rule.name);
    }
    context.baseFolder = run.analysis.root.Folder();
    context.files = run.files;
    context.complete = run.analysis.Complete();
    context.maxResults = options.maxResults.value_or(kDefaultMaxResults);
    FindCheckFormat(format)->write(run.findings, context, out);
}

// --list-rules: the rule table, as text or JSON.
int ListRules(const CheckOptions& options, std::ostream& out, std::ostream& err) {
    const std::string format = options.format.value_or("text");
    if (format != "text" && format != "json") return UsageError(kCheckCommand, "--list-rules writes text or json", err);
    auto write = [&](std::ostream& stream) {
        format == "json" ? WriteRuleListJson(stream) : WriteRuleListText(stream);
    };
    return WriteOutput(options, write, out, err);
}

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
    Parsed<CheckOptions> parsed = ParseCheckArguments(args);
    switch (parsed.action) {
        case CommandAction::Help: return ShowHelp(kCheckCommand, out);
        case CommandAction::Run: break;
        default: return UsageError(kCheckCommand, parsed.error, err);
    }
    CheckOptions& options = parsed.options;
    if (options.listRules) return ListRules(options, out, err);
    std::unique_ptr<IFileSystem> files;
    try {
        files = ReadingFileSystem(options.codePage, options.git, options.file);
    } catch (const FileError& e) {
        err << "quibex-report check: " << PrintableText(TextToUtf8(e.what())) << '\n' << std::flush;
        return kExitReadError;
    }
    CheckSettings settings;
    std::vector<Finding> known;
    // Nothing is read where -o would write: the settings and the baseline
    // are checked against it first, and the run then reads nothing.
    OutputGuard guard(options.output);
    std::optional<std::string> refused = ApplySettingsFile(options, *files, guard);
    if (!refused) refused = MakeSettings(options, settings);
    if (!refused && options.baseline) refused = ReadBaseline(*options.baseline, known, guard);
    if (refused) return UsageError(kCheckCommand, *refused, err);

    CheckRun run = Check(options, settings, *files, guard, err, stderrIsTerminal);
    if (options.baseline) run.findings = NewSince(run.findings, known);
    const std::string format = options.format.value_or("text");
    const int written = WriteRunOutput(
        options, guard, run.analysis.ReadNothing(),
        [&](std::ostream& stream) { WriteFindings(format, options, run, settings, stream); }, out, err);
    if (written != kExitOk) return written;
    if (run.analysis.Stopped()) return kExitReadError;
    const bool failed = std::any_of(run.findings.begin(), run.findings.end(),
                                    [](const Finding& f) { return f.severity == Severity::Error; });
    return failed ? kExitCheckFailed : kExitOk;
}

}  // namespace

Parsed<CheckOptions> ParseCheckArguments(const std::vector<std::string>& args) {
    Parsed<CheckOptions> parsed;
    CheckOptions& options = parsed.options;
    auto take = [&](const Option& option, const std::string& value) -> std::string {
        switch (option.id) {
            case kFormat: options.format = value; break;
            case kSelect: options.select = SplitList(value); break;
            case kIgnore: options.ignore = SplitList(value); break;
            case kFailOn: options.failOn = SplitList(value); break;
            case kBaseline: options.baseline = value; break;
            case kConfig: options.configFile = value; break;
            case kNoConfig: options.noConfig = true; break;
            case kRoot:
                if (value.empty()) return std::string(option.missing);
                options.root = value;
                break;
            case kListRules: options.listRules = true; break;
            case kMaxResults: {
                const std::optional<long long> n = NumberValue(value, 1LL << 40);
                if (!n || *n < 1) return std::string(option.missing);
                options.maxResults = static_cast<std::size_t>(*n);
                break;
            }
            case kGit:
                if (value.empty()) return "--git needs a revision, such as HEAD or main";
                options.git = value;
                break;
        }
        return {};
    };
    std::vector<std::string> files;
    parsed.action = ReadArguments(args, Table(), options, take, files, parsed.error);
    if (parsed.action != CommandAction::Run) return parsed;
    if (files.size() > 1) {
        parsed.action = CommandAction::UsageError;
        parsed.error = "one project or group only: '" + files[0] + "' and '" + files[1] + "'";
    } else if (files.empty() && !options.listRules) {
        parsed.action = CommandAction::UsageError;
        parsed.error = "no project or group file given";
    } else if (!files.empty()) {
        options.file = files[0];
    }
    return parsed;
}

const Command kCheckCommand = {"check", "FILE: the findings that break a VB6 build, or a limit", &Usage, &Help,
                               &RunCheck};

}  // namespace quibex::report
