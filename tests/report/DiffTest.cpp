// "quibex-report diff" on two versions of a fixture project, and both
// commands reading git revisions of a repository the test makes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "report/platform/GitFileSystem.h"
#include "tests/report/ReportRun.h"
#include "tests/support/TestSupport.h"

namespace quibex::report {
namespace {

using nlohmann::json;
using quibex::test::DataPath;
using quibex::test::TempDir;
using test::JsonOf;
using test::ReportRun;
using test::RunIn;
using testing::HasSubstr;


// tests/data/Diff: v2 changes mdlA.bas (Grow gets a decision and a
// comment, Sub Added is new), drops mdlGone.bas, adds Code\mdlNew.bas and
// keeps frmMain.frm. A saved --detail report of v1 stands for v1 itself.
TEST(Diff, TwoVersionsOfAProjectGiveTheirMembersAndFiguresChanges) {
    TempDir dir;
    const std::string v1 = DataPath("Diff/v1/App.vbp"), v2 = DataPath("Diff/v2/App.vbp");
    ASSERT_EQ(RunIn(dir.Path(), {"--detail", "--format", "json", "-o", "v1.json", v1}).exitCode, kExitOk);
    const json live = JsonOf(RunIn(dir.Path(), {"diff", "--format", "json", v1, v2}));
    json saved = JsonOf(RunIn(dir.Path(), {"diff", "--format", "json", "v1.json", v2}));
    saved["old"] = live["old"];
    EXPECT_EQ(saved, live);

    EXPECT_EQ(live["added"].size(), 1u);
    EXPECT_EQ(live["added"][0]["path"], "Code\\mdlNew.bas");
    EXPECT_EQ(live["removed"][0]["path"], "mdlGone.bas");
    EXPECT_EQ(live["unchanged"], 1);
    ASSERT_EQ(live["changed"].size(), 1u);
    const json& a = live["changed"][0];
    EXPECT_EQ(a["path"], "mdlA.bas");
    EXPECT_EQ(a["figures"]["codeLines"], json::parse(R"({"before": 5, "after": 8, "change": 3})"));
    EXPECT_EQ(a["procedures"]["added"][0]["name"], "Added");
    EXPECT_EQ(a["procedures"]["changed"][0]["complexity"], json::parse(R"({"before": 1, "after": 2})"));
    // The totals of each side are its members' figures summed.
    for (const char* side : {"before", "after"}) {
        EXPECT_EQ(live[side]["lines"], live[side]["designerLines"].get<Figure>() + live[side]["attributeLines"].get<Figure>() +
                                           live[side]["blankLines"].get<Figure>() + live[side]["commentLines"].get<Figure>() +
                                           live[side]["codeLines"].get<Figure>());
    }
    EXPECT_EQ(live["after"]["codeLines"].get<Figure>() - live["before"]["codeLines"].get<Figure>(),
              3 /* mdlA */ + 2 /* mdlNew */ - 1 /* mdlGone */);

    const json cloc = JsonOf(RunIn(dir.Path(), {"diff", "--format", "cloc-json", v1, v2}));
    EXPECT_EQ(cloc["SUM"]["added"], json::parse(R"({"nFiles": 1, "blank": 1, "comment": 2, "code": 5})"));
    EXPECT_EQ(cloc["SUM"]["removed"], json::parse(R"({"nFiles": 1, "blank": 0, "comment": 1, "code": 1})"));
    EXPECT_EQ(cloc["modified"]["Visual Basic 6"]["nFiles"], 1);

    ReportRun text = RunIn(dir.Path(), {"diff", v1, v2});
    EXPECT_THAT(text.out, HasSubstr("~ Function Grow: lines 3 -> 5, complexity 1 -> 2"));
    EXPECT_EQ(RunIn(dir.Path(), {"diff", v1}).exitCode, kExitUsage);
}

int Git(const TempDir& dir, const std::string& command) {
    return std::system(("cd '" + dir.Path() + "' && git -c user.name=Quibex -c user.email=quibex@example.invalid " +
                        "-c init.defaultBranch=main " + command + " >/dev/null 2>&1")
                           .c_str());
}

// Revision 1: m.bas with LF lines. Revision 2: CR LF, one Sub more, and the
// project naming the file "M.bas". The working tree then loses m.bas.
TEST(Git, RevisionsAreReadFromTheRepositoryNotTheWorkingTree) {
    if (!GitAvailable()) GTEST_SKIP() << "this build reads no git revisions";
    TempDir dir;
    dir.Write("sub/App.vbp", "Module=m; m.bas\r\n");
    dir.Write("sub/m.bas", "Sub A()\nEnd Sub\n");
    ASSERT_EQ(Git(dir, "init -q && git add -A && git -c user.name=Q -c user.email=q@q commit -qm one"), 0);
    dir.Write("sub/App.vbp", "Module=m; M.bas\r\n");
    dir.Write("sub/m.bas", "Sub A()\r\nEnd Sub\r\nSub B()\r\nIf x Then y\r\nEnd Sub\r\n");
    ASSERT_EQ(Git(dir, "commit -qam two"), 0);
    std::filesystem::remove(dir.Join("sub/m.bas"));

    auto rows = [](const json& report) {
        std::vector<std::string> out;
        for (const json& f : report["findings"]) out.push_back(f["rule"].get<std::string>() + " " + f["path"].get<std::string>() + ":" + std::to_string(f["line"].get<Figure>()));
        return out;
    };
    EXPECT_EQ(rows(JsonOf(RunIn(dir.Path(), {"check", "--format", "json", "--git", "HEAD~1", "sub/App.vbp"}), kExitCheckFailed)),
              std::vector<std::string>{"line-endings sub/m.bas:1"});
    EXPECT_EQ(rows(JsonOf(RunIn(dir.Path(), {"check", "--format", "json", "--git", "HEAD", "sub/App.vbp"}), kExitCheckFailed)),
              std::vector<std::string>{"case-mismatch sub/App.vbp:1"});
    EXPECT_EQ(rows(JsonOf(RunIn(dir.Path(), {"check", "--format", "json", "sub/App.vbp"}), kExitCheckFailed)),
              std::vector<std::string>{"missing-member sub/App.vbp:1"});

    const json diff = JsonOf(RunIn(dir.Path(), {"diff", "--format", "json", "--git", "HEAD~1", "--git", "main", "sub/App.vbp"}));
    ASSERT_EQ(diff["changed"].size(), 1u) << diff.dump();
    EXPECT_EQ(diff["changed"][0]["procedures"]["added"][0]["name"], "B");
    EXPECT_EQ(diff["unchanged"], 0);

    // Through a link to the working tree, which libgit2 names resolved.
    TempDir links;
    std::filesystem::create_directory_symlink(dir.Path(), links.Join("repo"));
    const json linked = JsonOf(RunIn(dir.Path(), {"check", "--format", "json", "--git", "HEAD~1", links.Join("repo/sub/App.vbp")}),
                               kExitCheckFailed);
    ASSERT_EQ(linked["findings"].size(), 1u);
    EXPECT_EQ(linked["findings"][0]["rule"], "line-endings");

    ReportRun unknown = RunIn(dir.Path(), {"diff", "--git", "no-such-branch", "sub/App.vbp"});
    EXPECT_EQ(unknown.exitCode, kExitReadError);
    EXPECT_THAT(unknown.err, HasSubstr("unknown git revision 'no-such-branch'"));
}

}  // namespace
}  // namespace quibex::report
