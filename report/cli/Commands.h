#pragma once
// The reporter's commands, registered once: the plain report (no name),
// check, diff, inventory. The dispatcher, the reporter's help and
// "quibex-report help COMMAND" all read this one list. A new command is a
// file of its own in cli/ with its option table, its help and its run, and
// one line in Commands.cpp.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "report/cli/OptionParser.h"

namespace quibex::report {

struct Command {
    std::string_view name;     // "check"; empty for the plain report
    std::string_view summary;  // one line for the reporter's help
    std::string (*usage)();    // the usage lines, "Usage: " and all
    std::string (*help)();     // the whole of --help
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal);
};

// Every command, the plain report first, then in the order help lists them.
const std::vector<const Command*>& Commands();

// The command named `name`, or null. The plain report has no name.
const Command* FindCommand(std::string_view name);

// "quibex-report" or "quibex-report check": how errors and help name it.
std::string CommandTitle(const Command& command);

// A command's help: its usage lines, what it does, its options from its
// table, and what follows them (exit codes).
std::string CommandHelp(const Command& command, std::string_view description, const OptionTable& table,
                        std::string_view footer);

// The one shape of a usage error: the reason, the usage lines, and where
// help is. Returns the exit code for it.
int UsageError(const Command& command, const std::string& reason, std::ostream& err);

// A command's help on `out`; its exit code.
int ShowHelp(const Command& command, std::ostream& out);

// The commands as the reporter's help lists them.
std::string CommandList();

// Each command, in a file of its own.
extern const Command kReportCommand;
extern const Command kCheckCommand;
extern const Command kDiffCommand;
extern const Command kInventoryCommand;

}  // namespace quibex::report
