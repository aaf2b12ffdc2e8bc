#pragma once
// The one option parser of the reporter and all its commands. A command
// describes its options in a table (name, argument, help line); the parser
// reads a command line against that table and the options every command
// takes, and the help is written from the same table.
//
// Options come anywhere among the operands; a value follows its option
// ("--format json") or is joined to it ("--format=json"); "--" ends the
// options; a lone "-" is an operand. --help and -h (and --version where a
// command has one) act as soon as they are met.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/model/Progress.h"

namespace quibex::report {

struct Option {
    std::string_view name;       // "--format"
    std::string_view shortName;  // "-o"; empty when there is none
    std::string_view argument;   // what the help shows after the name ("F", "N", "FILE"); empty for a flag
    std::string_view help;       // the help text beside it; "\n" between its lines
    int id = 0;                  // what the command is told it met; kHelpRow: a line of help, no option
    std::string_view missing = {};  // the usage error when the value is missing; empty: "NAME needs a value"

    bool TakesValue() const { return !argument.empty(); }
};

// An entry of a table that only adds a line to the help: "--format csv"
// below "--format text".
inline constexpr int kHelpRow = -1;

// What every command takes besides its own options.
struct CommonOptions {
    ProgressMode progress = ProgressMode::Auto;
    std::optional<int> codePage;  // --code-page N; otherwise 1252, or the system's on Windows
    std::string output;           // -o FILE; empty or "-" for standard output

    bool ToStandardOutput() const { return output.empty() || output == "-"; }
};

enum class CommandAction { Run, Help, Version, UsageError };

// A command line read: what to do, the options for Run, the reason for UsageError.
template <class Options>
struct Parsed {
    CommandAction action = CommandAction::UsageError;
    Options options;
    std::string error;
};

// What a command's table is read with.
struct OptionTable {
    std::span<const Option> own;
    bool version = false;  // the command takes --version
};

// Reads `args` against `table` and the common options (stored in `common`).
// Calls `take` for each of the command's own options met, in order, with
// its value (empty for a flag); a non-empty return is a usage error.
// Operands are added to `operands`. The action is Help or Version as soon as
// one is met, UsageError (reason in `error`) at the first unknown option,
// missing value or refused value, else Run.
CommandAction ReadArguments(const std::vector<std::string>& args, const OptionTable& table, CommonOptions& common,
                            const std::function<std::string(const Option&, const std::string&)>& take,
                            std::vector<std::string>& operands, std::string& error);

// The help lines of `table`'s options and the common ones, as a command's
// help shows them: "  --format F          text (the default), ..."
std::string OptionsHelp(const OptionTable& table);

// A whole number option value (--top N, --code-page N): nothing when it is
// none or larger than `most`.
std::optional<long long> NumberValue(const std::string& value, long long most);

}  // namespace quibex::report
