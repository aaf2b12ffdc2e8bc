#pragma once
// Pieces of command-line parsing that the reporter's commands share: options
// with a value ("--name VALUE" or "--name=VALUE"), whole numbers, and the
// options every command takes (code page, progress, output file).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/model/Progress.h"

namespace quibex::report {

// Reads args[i] as an option with a value.
class ValueOption {
public:
    ValueOption(const std::vector<std::string>& args, std::size_t& i) : args_(args), i_(i) {}

    // Whether args[i] is option `name` (or `shortName`); fills `value` and
    // moves i past it. `missing` is set when the value is not there.
    bool Is(std::string_view name, std::string& value, bool& missing, std::string_view shortName = {});

private:
    const std::vector<std::string>& args_;
    std::size_t& i_;
};

// What every command takes besides its own options.
struct CommonOptions {
    ProgressMode progress = ProgressMode::Auto;
    std::optional<int> codePage;  // --code-page N; otherwise 1252, or the system's on Windows
    std::string output;           // -o FILE; empty or "-" for standard output

    bool ToStandardOutput() const { return output.empty() || output == "-"; }
};

enum class OptionResult { NotCommon, Taken, Error };

// Takes args[i] when it is one of the common options (moving i past its
// value); on a bad value sets `error`.
OptionResult TakeCommonOption(const std::vector<std::string>& args, std::size_t& i, CommonOptions& options,
                              std::string& error);

// The help lines of the common options.
std::string_view CommonOptionsHelp();

}  // namespace quibex::report
