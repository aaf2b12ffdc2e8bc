#include "report/cli/Commands.h"

#include "report/cli/Reporter.h"
#include "report/platform/Platform.h"
#include "report/text/Utf8.h"

namespace quibex::report {

const std::vector<const Command*>& Commands() {
    static const std::vector<const Command*> commands = {
        &kReportCommand,
        &kCheckCommand,
        &kDiffCommand,
        &kInventoryCommand,
    };
    return commands;
}

const Command* FindCommand(std::string_view name) {
    for (const Command* command : Commands()) {
        if (!command->name.empty() && command->name == name) return command;
    }
    return nullptr;
}

std::string CommandTitle(const Command& command) {
    return command.name.empty() ? std::string("quibex-report") : "quibex-report " + std::string(command.name);
}

std::string CommandHelp(const Command& command, std::string_view description, const OptionTable& table,
                        std::string_view footer) {
    std::string help = command.usage() + "\n" + std::string(description) + "\nOptions:\n" + OptionsHelp(table);
    if (!footer.empty()) help += "\n" + std::string(footer);
    return help;
}

int UsageError(const Command& command, const std::string& reason, std::ostream& err) {
    const std::string title = CommandTitle(command);
    err << title << ": " << PrintableText(TextToUtf8(reason)) << '\n'
        << command.usage() << "Run '" << title << " --help' for more.\n"
        << std::flush;
    return kExitUsage;
}

int ShowHelp(const Command& command, std::ostream& out) {
    out << command.help() << std::flush;
    return out ? kExitOk : kExitReadError;
}

std::string CommandList() {
    std::string list = "Commands (quibex-report help COMMAND tells more):\n";
    for (const Command* command : Commands()) {
        if (command->name.empty()) continue;
        const std::size_t width = command->name.size();
        list += "  " + std::string(command->name) + std::string(width < 18 ? 18 - width : 1, ' ') +
                std::string(command->summary) + "\n";
    }
    return list;
}

}  // namespace quibex::report
