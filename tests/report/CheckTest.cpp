// "quibex-report check": each rule on the fixture that breaks it once, the
// limits at their edges, the settings file against the command line, and a
// baseline.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>
#include <tuple>

#include "report/model/Checks.h"
#include "report/model/PathRoot.h"
#include "report/platform/GitFileSystem.h"
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

// The fixtures lie inside this repository: --root keeps their paths short.
TEST(Check, FixtureGivesEachFindingOnItsLine) {
    ReportRun run = RunIn(quibex::test::DataDir(), {"check", "--format", "json", "--root", ".", Native("Check/Check.vbp")});
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
    ReportRun text =
        RunIn(quibex::test::DataDir(), {"check", "--select", "line-endings", "--root", ".", Native("Check/Check.vbp")});
    EXPECT_THAT(text.out, HasSubstr(Native("Check/Unix.bas") + ":1: line-endings: lines end in LF"));
}

TEST(Check, GroupWithAMissingProjectFindsItAsAFailedRule) {
    ReportRun run = RunIn(quibex::test::DataDir(), {"check", "--format", "json", "--root", ".", Native("Group/Broken.vbg")});
    EXPECT_EQ(run.exitCode, kExitCheckFailed);
    EXPECT_EQ(RowsOf(run), (std::set<Row>{{"missing-member", "error", "Group/Broken.vbg", 3}}));
}

// A project of a group that cannot be read is a finding; the projects after
// it are checked all the same.
TEST(Check, GroupWithAMissingFirstProjectChecksTheRest) {
    TempDir dir;
    dir.Write("G.vbg", "VBGROUP 5.0\r\nProject=Missing.vbp\r\nProject=a\\A.vbp\r\n");
    dir.Write("a/A.vbp", "Module=m; m.bas\r\n");
    dir.Write("a/m.bas", "Dim x\n");
    ReportRun run = RunIn(dir.Path(), {"check", "--format", "json", "G.vbg"});
    EXPECT_EQ(run.exitCode, kExitCheckFailed);
    EXPECT_EQ(RowsOf(run), (std::set<Row>{{"missing-member", "error", "G.vbg", 2}, {"line-endings", "error", "a/m.bas", 1}}));
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

// Any valid TOML around the [check] table is left alone; what the table
// holds is checked, with the line of the fault.
TEST(Check, SettingsFileIsTomlAndOnlyTheCheckTableIsRead) {
    TempDir dir;
    dir.Write("P.vbp", "Module=m; m.bas\r\n");
    dir.Write("m.bas", "Dim x\n");
    const char* others[] = {
        "[other]\nn = 1\n",
        "[other]\nflag = true\nwhen = 1979-05-27T07:32:00Z\n",
        "[other]\nt = { a = 1, b = \"x\" }\n",
        "[tool.lint]\ntext = '''\nline one\nline two'''\n[[servers]]\nport = 8080\n",
    };
    for (const char* other : others) {
        SCOPED_TRACE(other);
        dir.Write(".quibex.toml", std::string(other) + "[check]\nselect = [\"encoding\"]\n");
        EXPECT_EQ(RowsOf(RunIn(dir.Path(), {"check", "--format", "json", "P.vbp"})), std::set<Row>{});
    }
    const std::pair<const char*, const char*> faults[] = {
        {"[check]\nselect = 5\n", "line 2: 'select' takes a string or an array of strings"},
        {"[check]\nformat = [\"json\"]\n", "line 2: 'format' takes one string"},
        {"[check]\n\nselct = \"x\"\n", "line 3: unknown setting 'selct'"},
        {"[check]\nselect = [\"encoding\"\n", "line 2"},
        {"[other]\nn = \n", "line 2"},
    };
    for (const auto& [text, error] : faults) {
        SCOPED_TRACE(text);
        dir.Write(".quibex.toml", text);
        ReportRun run = RunIn(dir.Path(), {"check", "P.vbp"});
        EXPECT_EQ(run.exitCode, kExitUsage);
        EXPECT_THAT(run.err, HasSubstr(error));
    }
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

// A baseline that cannot be used says which file and why.
TEST(Check, UnreadableBaselineSaysWhy) {
    TempDir dir;
    dir.Write("P.vbp", "Module=a; a.bas\r\n");
    dir.Write("a.bas", "Dim x\r\n");
    dir.Write("folder.json/x", "");
    dir.Write("cut.json", R"({"file": "P.vbp", "errors": 0, "findings": [{"rule": )");
    const std::pair<std::string, std::string> cases[] = {
        {"nope.json", "'nope.json': "},
        {"folder.json", "'folder.json': "},
        {"cut.json", "ends early at line 1"},
    };
    for (const auto& [baseline, reason] : cases) {
        SCOPED_TRACE(baseline);
        ReportRun run = RunIn(dir.Path(), {"check", "--baseline", baseline, "P.vbp"});
        EXPECT_EQ(run.exitCode, kExitUsage);
        EXPECT_THAT(run.err, HasSubstr(reason));
    }
}

// An unknown rule names the rules there are, and the help once.
TEST(Check, UnknownRuleListsTheRulesAndPointsToTheHelpOnce) {
    TempDir dir;
    dir.Write("P.vbp", "");
    ReportRun run = RunIn(dir.Path(), {"check", "--select", "no-such-rule", "--no-config", "P.vbp"});
    EXPECT_EQ(run.exitCode, kExitUsage);
    EXPECT_THAT(run.err, HasSubstr("unknown rule 'no-such-rule': use missing-member, line-endings"));
    std::size_t hints = 0;
    for (std::size_t at = 0; (at = run.err.find("--help", at)) != std::string::npos; ++at) ++hints;
    EXPECT_EQ(hints, 1u) << run.err;
}

int Git(const TempDir& dir, const std::string& command) {
    return std::system(("cd '" + dir.Path() + "' && git -c user.name=Quibex -c user.email=quibex@example.invalid " +
                        "-c init.defaultBranch=main " + command + " >/dev/null 2>&1")
                           .c_str());
}

// Paths in findings, baselines and SARIF start at one root whatever the
// current folder: the top of the git repository holding the project, else
// the project's folder; --root names another. app/P.vbp lists m.bas (LF
// lines) and ..\shared\s.bas (LF too).
TEST(Check, PathsStartAtOneRootFromEveryFolder) {
    TempDir dir;
    dir.Write("app/P.vbp", "Module=m; m.bas\r\nModule=s; ..\\shared\\s.bas\r\n");
    dir.Write("app/m.bas", "Dim x\n");
    dir.Write("shared/s.bas", "Dim y\n");
    auto paths = [](const ReportRun& run) {
        std::set<std::string> out;
        for (const Row& row : RowsOf(run)) out.insert(std::get<2>(row));
        return out;
    };
    const std::pair<std::string, std::string> places[] = {
        {"", Native("app/P.vbp")}, {"app", "P.vbp"}, {"shared", Native("../app/P.vbp")}};
    // Without git, from the project's folder.
    for (const auto& [folder, project] : places) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(paths(RunIn(dir.Join(folder), {"check", "--format", "json", project})),
                  (std::set<std::string>{"m.bas", "../shared/s.bas"}));
        EXPECT_EQ(paths(RunIn(dir.Join(folder), {"check", "--format", "json", "--root", dir.Join("shared"), project})),
                  (std::set<std::string>{"../app/m.bas", "s.bas"}));
    }
    if (!GitAvailable()) return;
    ASSERT_EQ(Git(dir, "init -q"), 0);
    ASSERT_EQ(RunIn(dir.Path(), {"check", "--format", "json", "-o", "baseline.json", Native("app/P.vbp")}).exitCode,
              kExitCheckFailed);
    std::set<std::string> fingerprints;  // the same finding from every folder
    for (const auto& [folder, project] : places) {
        SCOPED_TRACE(folder);
        const ReportRun run = RunIn(dir.Join(folder), {"check", "--format", "json", project});
        EXPECT_EQ(paths(run), (std::set<std::string>{"app/m.bas", "shared/s.bas"}));
        // A baseline made at the top holds from anywhere.
        const std::string baseline = folder.empty() ? "baseline.json" : Native("../baseline.json");
        EXPECT_EQ(RunIn(dir.Join(folder), {"check", "--baseline", baseline, project}).exitCode, kExitOk);
        const json sarif = json::parse(RunIn(dir.Join(folder), {"check", "--format", "sarif", project}).out);
        const json& results = sarif["runs"][0]["results"];
        ASSERT_EQ(results.size(), 2u);
        EXPECT_EQ(results[0]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"], "app/m.bas");
        fingerprints.insert(results[0]["partialFingerprints"]["quibexFinding/v1"].get<std::string>());
    }
    EXPECT_EQ(fingerprints.size(), 1u);
}

TEST(PathRoot, ShowsEveryPathFromTheRoot) {
    const PathRoot root("/repo/app", "/data/repo/app");
    const std::pair<std::string, std::string> cases[] = {
        {"/repo/app/m.bas", "m.bas"},
        {"/repo/app/Forms/f.frm", "Forms/f.frm"},
        {"/repo/shared/s.bas", "../shared/s.bas"},
        {"/repo/app/../shared/./s.bas", "../shared/s.bas"},  // as a path made absolute is written
        {"/data/repo/app/m.bas", "m.bas"},                     // named through the resolved folder
        {"/REPO/App/m.bas", "m.bas"},                          // Windows compares in any letter case
    };
    for (const auto& [full, shown] : cases) EXPECT_EQ(root.Shown(full), shown) << full;
    const PathRoot drive("C:\\work\\app");
    EXPECT_EQ(drive.Shown("C:\\work\\lib\\x.bas"), "..\\lib\\x.bas");
    EXPECT_EQ(drive.Shown("D:\\other\\x.bas"), "D:\\other\\x.bas");  // another drive: no way there
    EXPECT_EQ(PathRoot().Shown("/repo/app/m.bas"), "/repo/app/m.bas");
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
