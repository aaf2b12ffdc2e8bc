#pragma once
// The reporter run in-process, as its tests call it.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "report/Reporter.h"
#include "tests/support/TestSupport.h"

namespace quibex::report::test {

struct ReportRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs the reporter with `dir` as the current directory.
inline ReportRun RunIn(const std::string& dir, const std::vector<std::string>& args) {
    quibex::test::CurrentDirGuard guard;
    std::filesystem::current_path(dir);
    std::ostringstream out, err;
    int code = RunReporter(args, out, err, false);
    return {code, out.str(), err.str()};
}

}  // namespace quibex::report::test
