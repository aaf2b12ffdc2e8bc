#pragma once
// The reporter run in-process, as its tests call it.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "report/cli/Reporter.h"
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

// The run's output read as JSON, after checking its exit code; null when
// it wrote nothing.
inline nlohmann::json JsonOf(const ReportRun& run, int exitCode = kExitOk) {
    EXPECT_EQ(run.exitCode, exitCode) << run.err;
    return run.out.empty() ? nlohmann::json() : nlohmann::json::parse(run.out);
}

}  // namespace quibex::report::test
