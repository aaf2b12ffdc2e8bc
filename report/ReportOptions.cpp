#include "report/ReportOptions.h"

#include "ui/Version.h"

namespace quibex::report {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x | 0x20);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y | 0x20);
        if (x != y) return false;
    }
    return true;
}

bool ParseFormat(std::string_view name, ReportFormat& format) {
    if (name == "text") {
        format = ReportFormat::Text;
    } else if (name == "csv") {
        format = ReportFormat::Csv;
    } else if (name == "json") {
        format = ReportFormat::Json;
    } else {
        return false;
    }
    return true;
}

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
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
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
        } else if (arg == "--progress") {
            command.options.progress = ProgressMode::On;
        } else if (arg == "--no-progress") {
            command.options.progress = ProgressMode::Off;
        } else if (arg == "--format" || arg.rfind("--format=", 0) == 0) {
            std::string value;
            if (arg == "--format") {
                if (i + 1 == args.size()) return Usage("--format needs a value: text, csv or json");
                value = args[++i];
            } else {
                value = arg.substr(9);
            }
            if (!ParseFormat(value, command.options.format)) {
                return Usage("unknown format '" + value + "': use text, csv or json");
            }
        } else {
            return Usage("unknown option '" + arg + "'");
        }
    }
    if (files.empty()) return Usage("no project or group file given");
    if (files.size() > 1) return Usage("more than one file given ('" + files[0] + "', '" + files[1] + "')");
    if (!HasProjectExtension(files[0])) {
        return Usage("'" + files[0] + "' is neither a project (.vbp) nor a project group (.vbg)");
    }
    command.options.file = files[0];
    return command;
}

std::string UsageText() {
    return "Usage: quibex-report [--format text|csv|json] [--progress|--no-progress] FILE\n"
           "       quibex-report --version | --help\n";
}

std::string HelpText() {
    return UsageText() +
           "\n"
           "Measures the Visual Basic 6 project (.vbp) or project group (.vbg) FILE:\n"
           "every member's file and companion binary sizes and its interface and\n"
           "code lines, and the project figures, as the Quibex window shows them.\n"
           "\n"
           "  --format text   a table of the members, then the project figures (default)\n"
           "  --format csv    one row per member with raw figures (RFC 4180)\n"
           "  --format json   members, counts, totals and the window's label texts\n"
           "  --progress      show members and lines read so far on stderr\n"
           "                  (the default when stderr is a terminal)\n"
           "  --no-progress   show no progress\n"
           "  --version       print the version and exit\n"
           "  --help          print this help and exit\n"
           "\n"
           "Exit status: 0 when the file was read (a member file that cannot be read\n"
           "is warned about and counts as empty), 1 when the project or group file,\n"
           "or a project of the group, could not be read (the report shows what was\n"
           "read before), 2 for a usage error.\n";
}

std::string VersionText() { return "quibex-report " QUIBEX_VERSION_TEXT; }

}  // namespace quibex::report
