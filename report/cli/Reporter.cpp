#include "report/cli/Reporter.h"

#include "report/cli/Commands.h"

namespace quibex::report {

namespace {

// quibex-report help [COMMAND]: the help of the reporter or of a command.
int RunHelp(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return ShowHelp(kReportCommand, out);
    if (args.size() > 1) return UsageError(kReportCommand, "help takes one command, such as 'help check'", err);
    const Command* command = FindCommand(args[0]);
    if (!command) return UsageError(kReportCommand, "unknown command '" + args[0] + "'", err);
    return ShowHelp(*command, out);
}

}  // namespace

int RunReporter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
    if (!args.empty()) {
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (args[0] == "help") return RunHelp(rest, out, err);
        if (const Command* command = FindCommand(args[0])) return command->run(rest, out, err, stderrIsTerminal);
    }
    return kReportCommand.run(args, out, err, stderrIsTerminal);
}

}  // namespace quibex::report
