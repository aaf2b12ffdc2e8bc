#include "report/cli/ReportOptions.h"

#include <algorithm>

#include "common/Version.h"
#include "engine/Paths.h"
#include "report/cli/Commands.h"
#include "vb6/syntax/Conditions.h"

namespace quibex::report {

namespace {

enum OptionId { kFormat = 1, kDetail, kTop, kProcedures, kByFile, kRoot, kKeepGoing, kDefine };

constexpr Option kOptions[] = {
    {"--format", "", "text", "a table of the members, then the project figures (default)", kFormat,
     "--format needs a value: text, csv, json, cloc-json or html"},
    {"--format", "", "csv", "one row per member with raw figures (RFC 4180)", kHelpRow},
    {"--format", "", "json", "members, counts, totals and the window's label texts", kHelpRow},
    {"--format", "", "cloc-json",
     "blank, comment and code lines in the layout of cloc's\n"
     "JSON, language \"Visual Basic 6\"; comment counts comment,\n"
     "Attribute and layout (designer) lines; each file once",
     kHelpRow},
    {"--format", "", "html",
     "one self-contained page: the figures, a treemap of the\n"
     "members and a table to sort and filter; with --detail\n"
     "also lines by class, procedures, controls, Declare\n"
     "statements and references",
     kHelpRow},
    {"--detail", "", "",
     "also read every member's source: lines as designer,\n"
     "attribute, blank, comment and code; procedures with\n"
     "their complexity; Declare statements; a form's\n"
     "controls; the project file's own settings",
     kDetail},
    {"--top", "", "N",
     "the N most complex procedures in the text report (default\n"
     "10), the HTML page (default 25) or a list in the JSON\n"
     "report; implies --detail",
     kTop, "--top needs a number of procedures"},
    {"--procedures", "", "", "with --format csv: one row per procedure", kProcedures},
    {"--by-file", "", "", "with --format cloc-json: one entry per member file", kByFile},
    {"--root", "", "DIR",
     "show paths from DIR (default: the top of the git\n"
     "repository holding FILE, else FILE's folder)",
     kRoot, "--root needs a folder"},
    {"--keep-going", "", "",
     "read every project of a group that can be read, past\n"
     "one that cannot (each is named; the exit status is 1)",
     kKeepGoing},
    {"--define", "", "NAME=VALUE",
     "a compile constant for #If, as in the project's CondComp,\n"
     "which it adds to or replaces (Win64=1, DEBUG=0); again\n"
     "for each constant",
     kDefine, "--define needs NAME=VALUE, such as Win64=1"},
};
constexpr OptionTable kTable = {kOptions, true};

constexpr std::pair<std::string_view, ReportFormat> kFormats[] = {
    {"text", ReportFormat::Text},
    {"csv", ReportFormat::Csv},
    {"json", ReportFormat::Json},
    {"cloc-json", ReportFormat::ClocJson},
    {"html", ReportFormat::Html},
};
constexpr std::string_view kFormatList = "text, csv, json, cloc-json or html";

}  // namespace

ParsedCommand ParseArguments(const std::vector<std::string>& args) {
    ParsedCommand command;
    ReportOptions& options = command.options;
    std::vector<std::string> files;
    auto take = [&](const Option& option, const std::string& value) -> std::string {
        switch (option.id) {
            case kDetail: options.detail = true; break;
            case kProcedures: options.procedures = true; break;
            case kByFile: options.byFile = true; break;
            case kKeepGoing: options.keepGoing = true; break;
            case kRoot:
                if (value.empty()) return std::string(option.missing);
                options.root = value;
                break;
            case kDefine: {
                vb6::syntax::Constants check;
                if (!check.AddDefinition(value)) {
                    return "--define needs NAME=VALUE, such as Win64=1 or DEBUG=\"on\": '" + value + "' is none";
                }
                options.defines.push_back(value);
                break;
            }
            case kFormat: {
                const auto* known = std::find_if(std::begin(kFormats), std::end(kFormats),
                                                 [&](const auto& format) { return format.first == value; });
                if (known == std::end(kFormats)) return "unknown format '" + value + "': use " + std::string(kFormatList);
                options.format = known->second;
                break;
            }
            case kTop: {
                const std::optional<long long> number = NumberValue(value, 1'000'000'000);
                if (!number) return std::string(option.missing);
                options.top = static_cast<std::size_t>(*number);
                options.topGiven = true;
                break;
            }
        }
        return {};
    };
    command.action = ReadArguments(args, kTable, options, take, files, command.error);
    if (command.action != CommandAction::Run) return command;
    auto usage = [&](std::string error) {
        command.action = CommandAction::UsageError;
        command.error = std::move(error);
        return command;
    };
    if (files.empty()) return usage("no project or group file given");
    if (files.size() > 1) return usage("more than one file given ('" + files[0] + "', '" + files[1] + "')");
    if (!HasProjectExtension(files[0])) {
        return usage("'" + files[0] + "' is neither a project (.vbp) nor a project group (.vbg)");
    }
    if (options.procedures && options.format != ReportFormat::Csv) return usage("--procedures needs --format csv");
    if (options.byFile && options.format != ReportFormat::ClocJson) return usage("--by-file needs --format cloc-json");
    if (options.topGiven && (options.format == ReportFormat::Csv || options.format == ReportFormat::ClocJson)) {
        return usage("--top needs --format text, json or html");
    }
    // The most complex procedures come from the source model.
    if (options.topGiven) options.detail = true;
    options.file = files[0];
    return command;
}

std::string UsageText() {
    return "Usage: quibex-report [--format text|csv|json|cloc-json|html] [--detail] [--top N]\n"
           "                     [--procedures] [--by-file] [--root DIR] [--keep-going]\n"
           "                     [--define NAME=VALUE]... [--code-page N] [-o FILE]\n"
           "                     [--progress|--no-progress] FILE\n"
           "       quibex-report COMMAND [options] ...\n"
           "       quibex-report --version | --help | help [COMMAND]\n";
}

std::string HelpText() {
    return CommandHelp(kReportCommand,
                       "Measures the Visual Basic 6 project (.vbp) or project group (.vbg) FILE:\n"
                       "every member's file and companion binary sizes and its interface and\n"
                       "code lines, and the project figures, as the Quibex window shows them.\n"
                       "\n" +
                           CommandList(),
                       kTable,
                       "Exit status: 0 when the file was read (a member file that cannot be read\n"
                       "is warned about and counts as empty), 1 when the project or group file,\n"
                       "or a project of the group, could not be read (the report shows what was\n"
                       "read; -o FILE stays as it was when nothing was) or the report could not\n"
                       "be written, 2 for a usage error or an -o FILE that the run reads.\n");
}

std::string VersionText() { return "quibex-report " QUIBEX_VERSION_TEXT; }

}  // namespace quibex::report
