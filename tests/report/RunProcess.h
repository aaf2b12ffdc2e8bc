#pragma once
// Runs a program to completion with its output caught, for the tests that
// check the real quibex-report's exit codes and streams.

#include <string>
#include <vector>

namespace quibex::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs `program` with `args` in folder `workDir`, standard input empty.
// Throws std::runtime_error when it cannot be started.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir);

// The built quibex-report as this platform names it (under Wine the build
// folder is on drive Z:).
std::string ReporterProgram();

}  // namespace quibex::test
