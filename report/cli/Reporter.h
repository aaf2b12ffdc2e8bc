#pragma once
// quibex-report as a function: everything main() does but reading the real
// command line and the real standard streams.

#include <ostream>
#include <string>
#include <vector>

namespace quibex::report {

// Exit codes.
inline constexpr int kExitOk = 0;          // read (unreadable members are warnings)
inline constexpr int kExitReadError = 1;   // the project, the group or a project of it could not be read
inline constexpr int kExitUsage = 2;       // a usage error
inline constexpr int kExitCheckFailed = 3; // "check": a finding of a rule failed

// Runs the reporter with the arguments after the program name: the report
// on `out`, usage, warnings, errors and progress on `err`. The current
// directory is the caller's again on return.
int RunReporter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal);

}  // namespace quibex::report
