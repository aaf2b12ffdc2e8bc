#pragma once
// The reporter's command line: quibex-report [--format text|csv|json]
// [--progress|--no-progress] [--version] [--help] FILE.

#include <string>
#include <string_view>
#include <vector>

namespace quibex::report {

enum class ReportFormat { Text, Csv, Json };
enum class ProgressMode { Auto, On, Off };  // Auto: on when stderr is a terminal

struct ReportOptions {
    ReportFormat format = ReportFormat::Text;
    ProgressMode progress = ProgressMode::Auto;
    std::string file;  // as given
};

enum class CommandAction { Run, Help, Version, UsageError };

struct ParsedCommand {
    CommandAction action = CommandAction::UsageError;
    ReportOptions options;  // for Run
    std::string error;      // for UsageError: what was wrong
};

// Parses the arguments after the program name. --help and --version act as
// soon as they are met; otherwise exactly one FILE ending in .vbp or .vbg
// (any letter case) must be given.
ParsedCommand ParseArguments(const std::vector<std::string>& args);

// Whether `file` names a project (.vbp) or a group (.vbg), in any letter case.
bool HasProjectExtension(std::string_view file);

// The two usage lines shown after a usage error.
std::string UsageText();
// The full text of --help.
std::string HelpText();

// "quibex-report 1.70.0005"
std::string VersionText();

}  // namespace quibex::report
