// quibex-report check FILE: the rules of Checks.h over a project or group,
// with the settings of the command line and of the .quibex.toml beside it.

#include "report/cli/CheckCommand.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
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
#include "report/writers/JsonReportWriter.h"
#include "report/writers/SarifWriter.h"
#include "report/writers/TextWriter.h"

namespace quibex::report {

namespace {

enum OptionId { kFormat = 1, kSelect, kIgnore, kFailOn, kBaseline, kGit, kConfig, kNoConfig };

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
        {"--format", "", "F", "text (the default), json, or sarif (SARIF 2.1.0)", kFormat},
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
                       "Exit status: 0 when no rule fails, 3 when one does, 1 when FILE or a\n"
                       "project of the group cannot be read, 2 for a usage error.\n");
}

// The folder of `path`, "." for a bare name.
std::string FolderOrCurrent(const std::string& path) {
    std::string folder = FolderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

// The whole of a small file read through `files`; nothing when it is not there.
std::optional<std::string> ReadSmallFile(IFileSystem& files, const std::string& path) {
    try {
        std::unique_ptr<ByteSource> source = files.OpenForReading(path);
        std::string text;
        char buffer[4096];
        while (std::size_t n = source->Read(buffer, sizeof buffer)) text.append(buffer, n);
        return text;
    } catch (const FileError&) {
        return std::nullopt;
    }
}

// Fills what the command line left open from the settings file: the one
// given, or the one beside the project (in the revision checked, with
// --git). The command line wins key by key. The reason, when the file
// given cannot be read or a file cannot be parsed.
std::optional<std::string> ApplySettingsFile(CheckOptions& options, IFileSystem& files) {
    if (options.noConfig) return std::nullopt;
    std::optional<std::string> text;
    std::string shownName;
    std::string configFolder = FolderOrCurrent(options.file);
    if (!options.configFile.empty()) {
        std::ifstream in(options.configFile, std::ios::binary);
        if (!in) return "cannot read the settings file '" + options.configFile + "'";
        std::ostringstream buffer;
        buffer << in.rdbuf();
        text = buffer.str();
        shownName = options.configFile;
        configFolder = FolderOrCurrent(options.configFile);
    } else {
        const std::string absolute = AbsolutePath(options.file);
        const char separator = absolute.find('\\') != std::string::npos ? '\\' : '/';
        shownName = FolderOrCurrent(absolute) + separator + std::string(kConfigFileName);
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
            if (!IsCheckRule(rule)) return "unknown rule '" + rule + "': see 'quibex-report check --help'";
        }
    }
    for (const std::string& text : options.failOn.value_or(std::vector<std::string>())) {
        std::string error;
        std::optional<Threshold> threshold = ParseThreshold(text, error);
        if (!threshold) return error;
        settings.thresholds.push_back(std::move(*threshold));
    }
    const std::string format = options.format.value_or("text");
    if (format != "text" && format != "json" && format != "sarif") {
        return "unknown format '" + format + "': use text, json or sarif";
    }
    return std::nullopt;
}

// The findings of an earlier run; the reason when the file is no such report.
std::optional<std::string> ReadBaseline(const std::string& file, std::vector<Finding>& known) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return "cannot read the baseline '" + file + "'";
    try {
        known = ReadFindingsJson(in);
    } catch (const std::exception& e) {
        return "the baseline '" + file + "' is " + e.what();
    }
    return std::nullopt;
}

struct CheckRun {
    Analysis analysis;
    std::vector<Finding> findings;
    std::string currentFolder;  // what finding paths are relative to
};

// Reads the project with its source model, looks at its files, and runs the rules.
CheckRun Check(const CheckOptions& options, const CheckSettings& settings, IFileSystem& files, std::ostream& err,
               bool stderrIsTerminal) {
    AnalysisRequest request;
    request.file = options.file;
    request.codePage = options.codePage;
    request.sourceModel = true;
    request.progress = options.progress;
    FileInspection inspection;
    const std::string groupPath = IsGroupFile(options.file) ? AbsolutePath(options.file) : std::string();
    request.inspect = [&](const StatisticsModel& stats, const DetailData& detail, IFileSystem& readFiles) {
        inspection = InspectFiles(stats, detail, readFiles, groupPath);
    };
    CheckRun run{Analyse(request, files, err, stderrIsTerminal), {}, {}};
    ConvertToUtf8(inspection, TextConverterFor(options.codePage.value_or(0)));
    std::error_code ec;
    run.currentFolder = TextToUtf8(std::filesystem::current_path(ec).string());
    run.findings =
        RunChecks(run.analysis, inspection, settings, options.codePage.value_or(kDefaultCodePage), run.currentFolder);
    return run;
}

void WriteFindings(const std::string& format, const CheckRun& run, const CheckSettings& settings,
                   std::ostream& out) {
    if (format == "json") {
        WriteFindingsJson(run.analysis.report.file, run.findings, out);
    } else if (format == "sarif") {
        std::vector<std::string_view> rulesRun;
        for (const CheckRule& rule : CheckRules()) {
            if (settings.Runs(rule.name)) rulesRun.push_back(rule.name);
        }
        WriteFindingsSarif(run.findings, rulesRun, run.currentFolder, out);
    } else {
        WriteFindingsText(run.findings, out);
    }
}

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
    Parsed<CheckOptions> parsed = ParseCheckArguments(args);
    switch (parsed.action) {
        case CommandAction::Help: return ShowHelp(kCheckCommand, out);
        case CommandAction::Run: break;
        default: return UsageError(kCheckCommand, parsed.error, err);
    }
    CheckOptions& options = parsed.options;
    std::unique_ptr<IFileSystem> files;
    try {
        files = ReadingFileSystem(options.codePage, options.git, options.file);
    } catch (const FileError& e) {
        err << "quibex-report check: " << PrintableText(TextToUtf8(e.what())) << '\n' << std::flush;
        return kExitReadError;
    }
    CheckSettings settings;
    std::vector<Finding> known;
    std::optional<std::string> refused = ApplySettingsFile(options, *files);
    if (!refused) refused = MakeSettings(options, settings);
    if (!refused && options.baseline) refused = ReadBaseline(*options.baseline, known);
    if (refused) return UsageError(kCheckCommand, *refused, err);

    CheckRun run = Check(options, settings, *files, err, stderrIsTerminal);
    if (options.baseline) run.findings = NewSince(run.findings, known);
    const std::string format = options.format.value_or("text");
    const int written = WriteOutput(
        options, [&](std::ostream& stream) { WriteFindings(format, run, settings, stream); }, out, err);
    if (written != kExitOk) return written;
    if (!run.analysis.Complete()) return kExitReadError;
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
    } else if (files.empty()) {
        parsed.action = CommandAction::UsageError;
        parsed.error = "no project or group file given";
    } else {
        options.file = files[0];
    }
    return parsed;
}

const Command kCheckCommand = {"check", "FILE: the findings that break a VB6 build, or a limit", &Usage, &Help,
                               &RunCheck};

}  // namespace quibex::report
