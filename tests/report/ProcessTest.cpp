// The built quibex-report as a user runs it: exit codes and which stream
// carries what.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Version.h"
#include "tests/report/RunProcess.h"
#include "tests/report/SmallProject.h"
#include "tests/support/TestSupport.h"

namespace quibex::test {
namespace {

using testing::HasSubstr;
using testing::StartsWith;

ProcessResult Reporter(const TempDir& dir, const std::vector<std::string>& args) {
    return RunProcess(ReporterProgram(), args, dir.Path());
}

TEST(ReporterProgram, VersionAndHelpGoToStandardOutputWithExit0) {
    TempDir dir;
    ProcessResult version = Reporter(dir, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quibex-report " QUIBEX_VERSION_TEXT "\n");
    EXPECT_EQ(version.err, "");
    ProcessResult help = Reporter(dir, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_THAT(help.out, StartsWith("Usage: quibex-report"));
}

TEST(ReporterProgram, UsageErrorsExit2WithTheUsageOnStandardError) {
    TempDir dir;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{}, {"Project.frm"}, {"--format", "xml", "P.vbp"}, {"-v", "P.vbp"}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        ProcessResult run = Reporter(dir, args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr("Usage: quibex-report"));
    }
}

TEST(ReporterProgram, ProjectWithAMissingMemberExits0WithAWarning) {
    TempDir dir;
    WriteSmallProject(dir);
    ProcessResult run = Reporter(dir, {"--format", "json", "--no-progress", "Small.vbp"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, kSmallProjectJson);
    // One line: the warning, and no progress on a stderr that is no terminal.
    EXPECT_THAT(run.err, StartsWith("quibex-report: warning: cannot open 'Gone.frm': "));
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_EQ(run.err.find('\r'), std::string::npos);
}

TEST(ReporterProgram, UnreadableProjectExits1AndStillPrintsTheReport) {
    TempDir dir;
    ProcessResult run = Reporter(dir, {"--format", "csv", "Missing.VBP"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr("cannot open '"));
    EXPECT_THAT(run.err, HasSubstr("Missing.VBP'"));
    EXPECT_EQ(run.out, "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes\r\n");
}

}  // namespace
}  // namespace quibex::test
