// quibex-report check FILE: the rules of Checks.h over a project or group,
// with the settings of the command line and of the .quibex.toml beside it.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/CodePage.h"
#include "report/model/Analysis.h"
#include "report/model/Checks.h"
#include "report/model/Findings.h"
#include "report/cli/OptionParsing.h"
#include "report/platform/Platform.h"
#include "report/cli/Reporter.h"
#include "report/cli/Subcommands.h"
#include "report/text/Utf8.h"
#include "report/writers/CheckFormats.h"

namespace quibex::report {

namespace {

std::string CheckHelp() {
    std::string help =
        "usage: quibex-report check [options] FILE\n"
        "\n"
        "Checks the project (.vbp) or group (.vbg) FILE and its members and prints\n"
        "one finding a line, as compilers do: path:line: rule: message. Exit code 0\n"
        "when no rule fails, 3 when one does, 1 when FILE or a project of the group\n"
        "cannot be read, 2 on a usage error.\n"
        "\n"
        "Rules:\n";
    for (const CheckRule& rule : CheckRules()) {
        std::string name(rule.name);
        help += "  " + name + std::string(name.size() < 16 ? 16 - name.size() : 1, ' ') + std::string(rule.summary) + "\n";
    }
    help +=
        "\n"
        "Options:\n"
        "  --format F          text (the default), json, sarif (SARIF 2.1.0), sonarqube\n"
        "                      (generic issue import), codeclimate (GitLab code\n"
        "                      quality) or junit (JUnit XML: a test case per rule\n"
        "                      and file)\n"
        "  --max-results N     with --format sarif: write at most N results, errors\n"
        "                      first (default 25000, the limit of GitHub code scanning)\n"
        "  --list-rules        list every rule with its level, whether it runs by\n"
        "                      default and its parameters (--format text or json)\n"
        "  --select RULES      run only these rules (comma-separated)\n"
        "  --ignore RULES      do not run these rules\n"
        "  --fail-on LIMITS    limits of one's own, comma-separated: FIGURE>N or\n"
        "                      FIGURE>=N, such as procedure.complexity>40; from 90%\n"
        "                      of a limit on a finding is a warning. Figures:\n"
        "                      member.lines, .codeLines, .commentLines, .blankLines,\n"
        "                      .designerLines, .attributeLines, .fileSize, .binarySize,\n"
        "                      .procedures, .controls, .declares; procedure.lines,\n"
        "                      .codeLines, .commentLines, .blankLines, .complexity,\n"
        "                      .nesting\n"
        "  --baseline FILE     report only findings that FILE, an earlier\n"
        "                      'check --format json' report, does not hold\n"
        "  --git REV           check the project as it is in git revision REV\n"
        "  --config FILE       read the settings from FILE instead of the\n"
        "                      .quibex.toml beside the project\n"
        "  --no-config         read no settings file\n";
    help += CommonOptionsHelp();
    return help;
}

int UsageError(std::ostream& err, const std::string& why) {
    err << "quibex-report check: " << PrintableText(TextToUtf8(why)) << "\n"
        << "Run 'quibex-report check --help' for more.\n"
        << std::flush;
    return kExitUsage;
}

std::string FolderOf(const std::string& path) {
    const std::size_t sep = path.find_last_of("/\\");
    return sep == std::string::npos ? std::string(".") : path.substr(0, sep == 0 ? 1 : sep);
}

bool IsGroup(const std::string& file) {
    return file.size() >= 4 && EqualsIgnoringCase(std::string_view(file).substr(file.size() - 4), ".vbg");
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

}  // namespace

int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool stderrIsTerminal) {
    CommonOptions common;
    std::string file, git, configFile;
    std::optional<std::string> format, baseline;
    std::optional<std::vector<std::string>> select, ignore, failOn;
    bool noConfig = false, listRules = false;
    std::optional<std::string> maxResults;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error, value;
        bool missing = false;
        ValueOption option(args, i);
        if (arg == "--help" || arg == "-h") {
            out << CheckHelp() << std::flush;
            return out ? kExitOk : kExitReadError;
        }
        switch (TakeCommonOption(args, i, common, error)) {
            case OptionResult::Taken: continue;
            case OptionResult::Error: return UsageError(err, error);
            case OptionResult::NotCommon: break;
        }
        if (option.Is("--format", value, missing)) {
            format = value;
        } else if (option.Is("--select", value, missing)) {
            select = SplitList(value);
        } else if (option.Is("--ignore", value, missing)) {
            ignore = SplitList(value);
        } else if (option.Is("--fail-on", value, missing)) {
            failOn = SplitList(value);
        } else if (option.Is("--baseline", value, missing)) {
            baseline = value;
        } else if (option.Is("--git", value, missing)) {
            git = value;
            if (!missing && git.empty()) return UsageError(err, "--git needs a revision, such as HEAD or main");
        } else if (option.Is("--config", value, missing)) {
            configFile = value;
        } else if (arg == "--no-config") {
            noConfig = true;
        } else if (option.Is("--max-results", value, missing)) {
            maxResults = value;
        } else if (arg == "--list-rules") {
            listRules = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError(err, "unknown option '" + arg + "'");
        } else if (file.empty()) {
            file = arg;
        } else {
            return UsageError(err, "one project or group only: '" + file + "' and '" + arg + "'");
        }
        if (missing) return UsageError(err, arg + " needs a value");
    }
    if (listRules) {
        const std::string listFormat = format.value_or("text");
        if (listFormat != "text" && listFormat != "json") return UsageError(err, "--list-rules writes text or json");
        auto write = [&](std::ostream& stream) {
            listFormat == "json" ? WriteRuleListJson(stream) : WriteRuleListText(stream);
        };
        return WriteOutput(common, write, out, err);
    }
    if (file.empty()) return UsageError(err, "no project or group file given");

    std::unique_ptr<IFileSystem> files;
    try {
        files = ReadingFileSystem(common.codePage, git, file);
    } catch (const FileError& e) {
        err << "quibex-report check: " << PrintableText(TextToUtf8(e.what())) << '\n' << std::flush;
        return kExitReadError;
    }

    // The settings file: given, or beside the project (in the revision
    // checked, with --git). The command line wins key by key.
    std::string configFolder = FolderOf(file);
    if (!noConfig) {
        std::optional<std::string> text;
        std::string shownName;
        if (!configFile.empty()) {
            std::ifstream in(configFile, std::ios::binary);
            if (!in) return UsageError(err, "cannot read the settings file '" + configFile + "'");
            std::ostringstream buffer;
            buffer << in.rdbuf();
            text = buffer.str();
            shownName = configFile;
            configFolder = FolderOf(configFile);
        } else {
            const std::string absolute = AbsolutePath(file);
            const char separator = absolute.find('\\') != std::string::npos ? '\\' : '/';
            shownName = FolderOf(absolute) + separator + std::string(kConfigFileName);
            text = ReadSmallFile(*files, shownName);
        }
        if (text) {
            std::string error;
            const std::optional<CheckConfig> config = ParseCheckConfig(*text, error);
            if (!config) return UsageError(err, "'" + shownName + "' " + error);
            if (!select) select = config->select;
            if (!ignore) ignore = config->ignore;
            if (!failOn) failOn = config->failOn;
            if (!format) format = config->format;
            if (!baseline && config->baseline) {
                const bool relative = !config->baseline->empty() && (*config->baseline)[0] != '/' &&
                                      (*config->baseline)[0] != '\\' && config->baseline->find(':') == std::string::npos;
                baseline = relative ? configFolder + "/" + *config->baseline : *config->baseline;
            }
        }
    }

    CheckSettings settings;
    settings.select = select.value_or(std::vector<std::string>());
    settings.ignore = ignore.value_or(std::vector<std::string>());
    for (const std::vector<std::string>* list : {&settings.select, &settings.ignore}) {
        for (const std::string& rule : *list) {
            if (!IsCheckRule(rule)) return UsageError(err, "unknown rule '" + rule + "': see 'quibex-report check --help'");
        }
    }
    for (const std::string& text : failOn.value_or(std::vector<std::string>())) {
        std::string error;
        std::optional<Threshold> threshold = ParseThreshold(text, error);
        if (!threshold) return UsageError(err, error);
        settings.thresholds.push_back(std::move(*threshold));
    }
    const std::string formatName = format.value_or("text");
    const CheckFormat* writer = FindCheckFormat(formatName);
    if (!writer) return UsageError(err, "unknown format '" + formatName + "': use " + CheckFormatNames());
    CheckRun run;
    if (maxResults) {
        const std::optional<long long> n = WholeNumber(*maxResults);
        if (!n || *n < 1) return UsageError(err, "--max-results needs a whole number from 1, not '" + *maxResults + "'");
        if (formatName != "sarif") return UsageError(err, "--max-results is for --format sarif");
        run.maxResults = static_cast<std::size_t>(*n);
    }
    std::vector<Finding> known;
    if (baseline) {
        std::ifstream in(*baseline, std::ios::binary);
        if (!in) return UsageError(err, "cannot read the baseline '" + *baseline + "'");
        try {
            known = ReadFindingsJson(in);
        } catch (const std::exception& e) {
            return UsageError(err, "the baseline '" + *baseline + "' is " + e.what());
        }
    }

    AnalysisRequest request;
    request.file = file;
    request.codePage = common.codePage;
    request.sourceModel = true;
    request.progress = common.progress;
    FileInspection inspection;
    const std::string groupPath = IsGroup(file) ? AbsolutePath(file) : std::string();
    request.inspect = [&](const StatisticsModel& stats, const DetailData& detail, IFileSystem& readFiles) {
        inspection = InspectFiles(stats, detail, readFiles, groupPath);
    };
    const Analysis analysis = Analyse(request, *files, err, stderrIsTerminal);
    ConvertToUtf8(inspection, TextConverterFor(common.codePage.value_or(0)));

    std::error_code ec;
    const std::string currentFolder = TextToUtf8(std::filesystem::current_path(ec).string());
    std::vector<Finding> findings =
        RunChecks(analysis, inspection, settings, common.codePage.value_or(kDefaultCodePage), currentFolder);
    if (baseline) findings = NewSince(findings, known);

    run.file = analysis.report.file;
    for (const CheckRule& rule : CheckRules()) {
        if (settings.Runs(rule.name)) run.rulesRun.push_back(rule.name);
    }
    run.baseFolder = currentFolder;
    run.files = CheckedFiles(analysis, inspection, currentFolder);
    run.complete = analysis.Complete();
    const int written =
        WriteOutput(common, [&](std::ostream& stream) { writer->write(findings, run, stream); }, out, err);
    if (written != kExitOk) return written;
    if (!analysis.Complete()) return kExitReadError;
    const bool failed = std::any_of(findings.begin(), findings.end(),
                                    [](const Finding& f) { return f.severity == Severity::Error; });
    return failed ? kExitCheckFailed : kExitOk;
}

}  // namespace quibex::report
