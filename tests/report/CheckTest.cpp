// "quibex-report check": each rule on the fixture that breaks it once, the
// limits at their edges, the settings file against the command line, and a
// baseline.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>
#include <tuple>

#include "report/model/Checks.h"
#include "report/writers/SarifWriter.h"
#include "tests/report/ReportRun.h"
#include "tests/support/TestSupport.h"

namespace quibex::report {
namespace {

using nlohmann::json;
using quibex::test::TempDir;
using test::ReportRun;
using test::RunIn;
using testing::HasSubstr;

// rule, level, path ("/" between folders), line
using Row = std::tuple<std::string, std::string, std::string, Figure>;

std::set<Row> RowsOf(const ReportRun& run) {
    std::set<Row> rows;
    const json report = json::parse(run.out);
    for (const json& f : report["findings"]) {
        std::string path = f["path"];
        std::replace(path.begin(), path.end(), '\\', '/');
        rows.insert({f["rule"], f["level"], path, f["line"]});
    }
    return rows;
}

std::string Native(std::string path) {
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}

TEST(Check, FixtureGivesEachFindingOnItsLine) {
    ReportRun run = RunIn(quibex::test::DataDir(), {"check", "--format", "json", Native("Check/Check.vbp")});
    EXPECT_EQ(run.exitCode, kExitCheckFailed) << run.err;
    std::set<Row> expected = {
        {"encoding", "error", "Check/Bom.bas", 1},
        {"encoding", "error", "Check/Zeros.bas", 2},
        {"line-endings", "error", "Check/Unix.bas", 1},
        {"line-endings", "error", "Check/OldMac.bas", 1},
        {"line-endings", "error", "Check/Mixed.bas", 3},
        {"missing-member", "error", "Check/Check.vbp", 10},
        {"companion", "error", "Check/frmLost.frm", 0},
    };
#ifndef _WIN32
    // Only a file system that tells the case on disk shows it.
    expected.insert({"case-mismatch", "error", "Check/Check.vbp", 8});
#endif
    EXPECT_EQ(RowsOf(run), expected);
    // The compiler-style line of one of them.
    ReportRun text = RunIn(quibex::test::DataDir(), {"check", "--select", "line-endings", Native("Check/Check.vbp")});
    EXPECT_THAT(text.out, HasSubstr(Native("Check/Unix.bas") + ":1: line-endings: lines end in LF"));
}

TEST(Check, GroupWithAMissingProjectFindsItAndExitsAsUnreadable) {
    ReportRun run = RunIn(quibex::test::DataDir(), {"check", "--format", "json", Native("Group/Broken.vbg")});
    EXPECT_EQ(run.exitCode, kExitReadError);
    EXPECT_EQ(RowsOf(run), (std::set<Row>{{"missing-member", "error", "Group/Broken.vbg", 3}}));
}

// The group and project files are checked as the members are.
TEST(Check, GroupAndProjectFilesHaveTheirOwnFindings) {
    TempDir dir;
    dir.Write("G.vbg", "VBGROUP 5.0\nProject=app\\App.vbp\n");
    dir.Write("App/App.vbp", "Module=m; m.bas\r");
    dir.Write("App/m.bas", "Dim x\r\n");
#ifdef _WIN32
    // Windows names the file in the letter case the group wrote.
    std::set<Row> expected = {{"line-endings", "error", "G.vbg", 1}, {"line-endings", "error", "app/App.vbp", 1}};
#else
    std::set<Row> expected = {{"line-endings", "error", "G.vbg", 1}, {"line-endings", "error", "App/App.vbp", 1},
                              {"case-mismatch", "error", "G.vbg", 2}};
#endif
    EXPECT_EQ(RowsOf(RunIn(dir.Path(), {"check", "--format", "json", "G.vbg"})), expected);
}

std::string Repeat(const std::string& text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += text;
    return out;
}
std::string Controls(int n) {
    std::string out = "VERSION 5.00\r\nBegin VB.Form f\r\n";
    for (int i = 0; i < n; ++i) out += "Begin VB.Label l" + std::to_string(i) + "\r\nEnd\r\n";
    return out + "End\r\n";
}
std::string Nested(int depth) {
    return "VERSION 5.00\r\nBegin VB.Form f\r\n" + Repeat("Begin VB.Frame x\r\n", depth) + Repeat("End\r\n", depth) +
           "End\r\n";
}
std::string Declares(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += "Declare Sub S" + std::to_string(i) + " Lib \"k\" ()\r\n";
    return out;
}
const char* kTwoDecisions = "Sub A()\r\nIf x Then y = 1\r\nIf z Then y = 2\r\nEnd Sub\r\n";  // complexity 3

// A member written for the case, checked with its options: the one finding
// expected (rule and level), or none.
TEST(Check, LimitsFailOverThemAndWarnFromNinetyPercent) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::string member;  // the text of m.frm
        std::string rule, level;  // empty: no finding
        Figure line;
    };
    const std::vector<Case> cases = {
        {"lines below 90%", {}, Repeat("'\r\n", 58980), "", "", 0},
        {"lines at 90%", {}, Repeat("'\r\n", 58981), "vb6-limits", "warning", 0},
        {"lines over", {}, Repeat("'\r\n", 65535), "vb6-limits", "error", 0},
        {"control names at the limit", {}, Controls(254), "vb6-limits", "warning", 0},
        {"control names over", {}, Controls(255), "vb6-limits", "error", 0},
        {"nesting below 90%", {}, Nested(22), "", "", 0},
        {"nesting at 90%", {}, Nested(23), "vb6-limits", "warning", 25},
        {"nesting over", {}, Nested(26), "vb6-limits", "error", 28},
        {"declares at 90%", {}, Declares(1350), "vb6-limits", "warning", 0},
        {"declares over", {}, Declares(1501), "vb6-limits", "error", 1501},
        {"complexity over", {"--fail-on", "procedure.complexity>2"}, kTwoDecisions, "threshold", "error", 1},
        {"complexity reaching", {"--fail-on", "procedure.complexity>=3"}, kTwoDecisions, "threshold", "error", 1},
        {"complexity near", {"--fail-on", "procedure.complexity>3"}, kTwoDecisions, "threshold", "warning", 1},
        {"complexity far below", {"--fail-on", "procedure.complexity>4"}, kTwoDecisions, "", "", 0},
        {"member figure", {"--fail-on", "member.codeLines>3"}, kTwoDecisions, "threshold", "error", 0},
        {"double-byte", {"--code-page", "932"}, "Dim s\r\ns = \"\x82\"\r\n", "encoding", "error", 2},
        {"ignored", {"--ignore", "vb6-limits"}, Nested(26), "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.Write("P.vbp", "Form=m.frm\r\n");
        dir.Write("m.frm", c.member);
        std::vector<std::string> args = {"check", "--format", "json", "--ignore", "companion"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back("P.vbp");
        ReportRun run = RunIn(dir.Path(), args);
        std::set<Row> expected;
        if (!c.rule.empty()) expected.insert({c.rule, c.level, "m.frm", c.line});
        EXPECT_EQ(RowsOf(run), expected);
        EXPECT_EQ(run.exitCode, c.level == "error" ? kExitCheckFailed : kExitOk);
    }
}

TEST(Check, SettingsFileIsReadAndTheCommandLineWins) {
    TempDir dir;
    dir.Write("P.vbp", "Module=m; m.bas\r\n");
    dir.Write("m.bas", std::string("Sub A()\n") + kTwoDecisions);
    dir.Write(".quibex.toml",
              "# the team's settings\n"
              "[check]\n"
              "ignore = [\"line-endings\",  # the files come from a Unix box\n"
              "          \"companion\"]\n"
              "fail-on = 'procedure.complexity>2'\n"
              "[elsewhere]\n"
              "colour = \"blue\"\n");
    EXPECT_EQ(RowsOf(RunIn(dir.Path(), {"check", "--format", "json", "P.vbp"})),
              (std::set<Row>{{"threshold", "error", "m.bas", 2}}));
    EXPECT_EQ(RowsOf(RunIn(dir.Path(), {"check", "--format", "json", "--ignore", "threshold", "P.vbp"})),
              (std::set<Row>{{"line-endings", "error", "m.bas", 1}}));
    EXPECT_EQ(RowsOf(RunIn(dir.Path(), {"check", "--format", "json", "--no-config", "P.vbp"})),
              (std::set<Row>{{"line-endings", "error", "m.bas", 1}}));

    // A setting the file cannot hold is a usage error that names its line.
    dir.Write(".quibex.toml", "[check]\nselect = [\"encoding\"]\nfail-on = \"member.lines>\"\n");
    ReportRun bad = RunIn(dir.Path(), {"check", "P.vbp"});
    EXPECT_EQ(bad.exitCode, kExitUsage);
    EXPECT_THAT(bad.err, HasSubstr("needs a whole number"));
    dir.Write(".quibex.toml", "[check]\nselect = [\"encoding\"]\nselct = \"x\"\n");
    bad = RunIn(dir.Path(), {"check", "P.vbp"});
    EXPECT_EQ(bad.exitCode, kExitUsage);
    EXPECT_THAT(bad.err, HasSubstr("line 3: unknown setting 'selct'"));
    EXPECT_EQ(RunIn(dir.Path(), {"check", "--select", "no-such-rule", "--no-config", "P.vbp"}).exitCode, kExitUsage);
}

TEST(Check, BaselineHidesTheFindingsItHolds) {
    TempDir dir;
    dir.Write("P.vbp", "Module=a; a.bas\r\nModule=b; b.bas\r\n");
    dir.Write("a.bas", "Dim x\n");
    dir.Write("b.bas", "Dim y\r\n");
    ReportRun first = RunIn(dir.Path(), {"check", "--format", "json", "-o", "baseline.json", "P.vbp"});
    EXPECT_EQ(first.exitCode, kExitCheckFailed);
    // a.bas moved down a line: the same finding. b.bas broke: a new one.
    dir.Write("a.bas", "\nDim x\n");
    dir.Write("b.bas", "Dim y\n");
    ReportRun second = RunIn(dir.Path(), {"check", "--format", "json", "--baseline", "baseline.json", "P.vbp"});
    EXPECT_EQ(second.exitCode, kExitCheckFailed);
    EXPECT_EQ(RowsOf(second), (std::set<Row>{{"line-endings", "error", "b.bas", 1}}));
    dir.Write("b.bas", "Dim y\r\n");
    EXPECT_EQ(RunIn(dir.Path(), {"check", "--baseline", "baseline.json", "P.vbp"}).exitCode, kExitOk);
}

TEST(Check, SarifPathsAreUriReferences) {
    const std::pair<std::string, std::string> cases[] = {
        {"Code\\mdlA.bas", "Code/mdlA.bas"},
        {"a b/#1%.frm", "a%20b/%231%25.frm"},
        {"M\xC3\xBCll~_-.bas", "M%C3%BCll~_-.bas"},
    };
    for (const auto& [path, uri] : cases) EXPECT_EQ(UriPath(path), uri) << path;
}

}  // namespace
}  // namespace quibex::report
