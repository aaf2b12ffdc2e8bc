#pragma once
// The plain report's command line:
//   quibex-report [--format text|csv|json|cloc-json|html] [--detail] [--top N]
//                 [--procedures] [--by-file] [--root DIR] [--keep-going] [--define NAME=VALUE]...
//                 [--code-page N] [-o FILE]
//                 [--progress|--no-progress] FILE
//   quibex-report --version | --help

#include <cstddef>
#include <string>
#include <vector>

#include "report/cli/OptionParser.h"

namespace quibex::report {

enum class ReportFormat { Text, Csv, Json, ClocJson, Html };

struct ReportOptions : CommonOptions {
    ReportFormat format = ReportFormat::Text;
    std::string file;              // as given
    bool detail = false;           // --detail: the source model of every member
    std::size_t top = 10;          // --top N: the most complex procedures in the text report
    bool topGiven = false;         // --top given: also the HTML page's count, and a list in JSON
    bool procedures = false;       // --procedures: CSV rows of procedures, not members
    bool byFile = false;           // --by-file: cloc-json entries per file
    std::string root;              // --root DIR: where paths start; empty: found from FILE
    bool keepGoing = false;        // --keep-going: read a group past a project that cannot be read
    std::vector<std::string> defines;  // --define NAME=VALUE, in order: compile constants

    // Whether the report needs the source model of the members.
    bool NeedsSourceModel() const { return detail || procedures || format == ReportFormat::ClocJson; }
};

using ParsedCommand = Parsed<ReportOptions>;

// Parses the arguments after the program name. --help and --version act as
// soon as they are met; otherwise exactly one FILE ending in .vbp or .vbg
// (any letter case) must be given.
ParsedCommand ParseArguments(const std::vector<std::string>& args);

// The usage lines shown after a usage error.
std::string UsageText();
// The full text of --help.
std::string HelpText();

// "quibex-report 1.70.0005"
std::string VersionText();

}  // namespace quibex::report
