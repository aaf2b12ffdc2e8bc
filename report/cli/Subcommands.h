#pragma once
// The reporter's commands beside the plain report: "quibex-report NAME ...".
// Each parses its own arguments and returns the exit code.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quibex::report {

struct Subcommand {
    std::string_view name;
    std::string_view summary;  // one line for --help
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal);
};

// The commands' entry points, each in a file of its own.
int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal);
int RunDiffCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal);

// Every command, in the order --help lists them.
const std::vector<Subcommand>& Subcommands();

// The command named `name`, or null.
const Subcommand* FindSubcommand(std::string_view name);

}  // namespace quibex::report
