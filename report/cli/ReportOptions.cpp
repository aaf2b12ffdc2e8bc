#include "report/cli/ReportOptions.h"

#include "engine/CodePage.h"

#include "report/cli/Subcommands.h"
#include "ui/Version.h"

namespace quibex::report {

namespace {

constexpr std::pair<std::string_view, ReportFormat> kFormats[] = {
    {"text", ReportFormat::Text},
    {"csv", ReportFormat::Csv},
    {"json", ReportFormat::Json},
    {"cloc-json", ReportFormat::ClocJson},
    {"html", ReportFormat::Html},
};
constexpr std::string_view kFormatList = "text, csv, json, cloc-json or html";

ParsedCommand Usage(std::string error) {
    ParsedCommand command;
    command.action = CommandAction::UsageError;
    command.error = std::move(error);
    return command;
}

}  // namespace

bool HasProjectExtension(std::string_view file) {
    if (file.size() < 4) return false;
    std::string_view extension = file.substr(file.size() - 4);
    return EqualsIgnoringCase(extension, ".vbp") || EqualsIgnoringCase(extension, ".vbg");
}

ParsedCommand ParseArguments(const std::vector<std::string>& args) {
    ParsedCommand command;
    command.action = CommandAction::Run;
    ReportOptions& options = command.options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        bool missing = false;
        ValueOption option(args, i);
        // A lone "-" is no option; it falls to the extension check below.
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            command.action = CommandAction::Help;
            return command;
        } else if (arg == "--version") {
            command.action = CommandAction::Version;
            return command;
        } else if (arg == "--detail") {
            options.detail = true;
        } else if (arg == "--procedures") {
            options.procedures = true;
        } else if (arg == "--by-file") {
            options.byFile = true;
        } else if (arg == "--keep-going") {
            options.keepGoing = true;
        } else if (option.Is("--format", value, missing)) {
            if (missing) return Usage("--format needs a value: " + std::string(kFormatList));
            bool known = false;
            for (const auto& [name, format] : kFormats) {
                if (name == value) {
                    options.format = format;
                    known = true;
                }
            }
            if (!known) return Usage("unknown format '" + value + "': use " + std::string(kFormatList));
        } else if (option.Is("--root", value, missing)) {
            if (missing || value.empty()) return Usage("--root needs a folder");
            options.root = value;
        } else if (option.Is("--top", value, missing)) {
            auto number = WholeNumber(value);
            if (missing || !number || *number > 1'000'000'000) return Usage("--top needs a number of procedures");
            options.top = static_cast<std::size_t>(*number);
            options.topGiven = true;
        } else {
            std::string error;
            switch (TakeCommonOption(args, i, options, error)) {
                case OptionResult::Taken: break;
                case OptionResult::Error: return Usage(error);
                case OptionResult::NotCommon: return Usage("unknown option '" + arg + "'");
            }
        }
    }
    if (files.empty()) return Usage("no project or group file given");
    if (files.size() > 1) return Usage("more than one file given ('" + files[0] + "', '" + files[1] + "')");
    if (!HasProjectExtension(files[0])) {
        return Usage("'" + files[0] + "' is neither a project (.vbp) nor a project group (.vbg)");
    }
    if (options.procedures && options.format != ReportFormat::Csv) return Usage("--procedures needs --format csv");
    if (options.byFile && options.format != ReportFormat::ClocJson) return Usage("--by-file needs --format cloc-json");
    if (options.topGiven && (options.format == ReportFormat::Csv || options.format == ReportFormat::ClocJson)) {
        return Usage("--top needs --format text, json or html");
    }
    // The most complex procedures come from the source model.
    if (options.topGiven) options.detail = true;
    options.file = files[0];
    return command;
}

std::string UsageText() {
    return "Usage: quibex-report [--format text|csv|json|cloc-json|html] [--detail] [--top N]\n"
           "                     [--procedures] [--by-file] [--root DIR] [--keep-going]\n"
           "                     [--code-page N] [-o FILE]\n"
           "                     [--progress|--no-progress] FILE\n"
           "       quibex-report --version | --help\n";
}

std::string HelpText() {
    std::string commands;
    for (const Subcommand& command : Subcommands()) {
        if (commands.empty()) commands = "\nCommands (quibex-report COMMAND --help tells more):\n";
        commands += "  " + std::string(command.name) + std::string(command.name.size() < 18 ? 18 - command.name.size() : 1, ' ') +
                    std::string(command.summary) + "\n";
    }
    return UsageText() + commands +
           "\n"
           "Measures the Visual Basic 6 project (.vbp) or project group (.vbg) FILE:\n"
           "every member's file and companion binary sizes and its interface and\n"
           "code lines, and the project figures, as the Quibex window shows them.\n"
           "\n"
           "  --format text       a table of the members, then the project figures (default)\n"
           "  --format csv        one row per member with raw figures (RFC 4180)\n"
           "  --format json       members, counts, totals and the window's label texts\n"
           "  --format cloc-json  blank, comment and code lines in the layout of cloc's\n"
           "                      JSON, language \"Visual Basic 6\"; comment counts comment,\n"
           "                      Attribute and layout (designer) lines; each file once\n"
           "  --format html       one self-contained page: the figures, a treemap of the\n"
           "                      members and a table to sort and filter; with --detail\n"
           "                      also lines by class, procedures, controls, Declare\n"
           "                      statements and references\n"
           "  --detail            also read every member's source: lines as designer,\n"
           "                      attribute, blank, comment and code; procedures with\n"
           "                      their complexity; Declare statements; a form's\n"
           "                      controls; the project file's own settings\n"
           "  --top N             the N most complex procedures in the text report (default\n"
           "                      10), the HTML page (default 25) or a list in the JSON\n"
           "                      report; implies --detail\n"
           "  --procedures        with --format csv: one row per procedure\n"
           "  --by-file           with --format cloc-json: one entry per member file\n"
           "  --root DIR          show paths from DIR (default: the top of the git\n"
           "                      repository holding FILE, else FILE's folder)\n"
           "  --keep-going        read every project of a group that can be read, past\n"
           "                      one that cannot (each is named; the exit status is 1)\n"
           + std::string(CommonOptionsHelp()) +
           "  --version           print the version and exit\n"
           "  --help              print this help and exit\n"
           "\n"
           "Exit status: 0 when the file was read (a member file that cannot be read\n"
           "is warned about and counts as empty), 1 when the project or group file,\n"
           "or a project of the group, could not be read (the report shows what was\n"
           "read; -o FILE stays as it was when nothing was) or the report could not\n"
           "be written, 2 for a usage error or an -o FILE that the run reads.\n";
}

std::string VersionText() { return "quibex-report " QUIBEX_VERSION_TEXT; }

}  // namespace quibex::report
