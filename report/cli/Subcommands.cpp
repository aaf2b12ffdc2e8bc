#include "report/cli/Subcommands.h"

#include "report/cli/InventoryCommand.h"

namespace quibex::report {

const std::vector<Subcommand>& Subcommands() {
    // One line per command; its code lives in a file of its own.
    static const std::vector<Subcommand> commands = {
        {"check", "FILE: the findings that break a VB6 build, or a limit",
         &RunCheckCommand},
        {"diff", "OLD NEW: what changed between two versions of a project",
         &RunDiffCommand},
        {"inventory", "FILE: references, components, declares, shared and orphaned files; an SBOM", &RunInventory},
    };
    return commands;
}

const Subcommand* FindSubcommand(std::string_view name) {
    for (const Subcommand& command : Subcommands()) {
        if (command.name == name) return &command;
    }
    return nullptr;
}

}  // namespace quibex::report
