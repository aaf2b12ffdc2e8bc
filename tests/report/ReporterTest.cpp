// The reporter run in-process on projects written for each test, and on the
// shared fixtures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "report/cli/Reporter.h"
#include "tests/report/ReportRun.h"
#include "tests/report/SmallProject.h"
#include "tests/support/TestSupport.h"

namespace quibex::report {
namespace {

using nlohmann::json;
using quibex::test::CurrentDirGuard;
using quibex::test::TempDir;
using testing::HasSubstr;
using testing::Not;

using test::ReportRun;
using test::RunIn;

TEST(Reporter, JsonOfASmallProjectHasTheHandCountedFigures) {
    TempDir dir;
    quibex::test::WriteSmallProject(dir);
    ReportRun run = RunIn(dir.Path(), {"--format", "json", "Small.vbp"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(run.out, quibex::test::kSmallProjectJson);
    // The missing member is warned about, by its name in the project file;
    // the empty one opens fine and is not.
    EXPECT_THAT(run.err, HasSubstr("warning: Small.vbp: cannot open 'Gone.frm'"));
    EXPECT_THAT(run.err, Not(HasSubstr("a,b.bas")));
}

TEST(Reporter, CsvOfASmallProjectHasOneQuotedRowPerMember) {
    TempDir dir;
    quibex::test::WriteSmallProject(dir);
    ReportRun run = RunIn(dir.Path(), {"--format=csv", "SMALL.VBP"});
    EXPECT_EQ(run.exitCode, kExitOk);
    // The project as the file system names it: as given on Windows, as on disk elsewhere.
#ifdef _WIN32
    const std::string project = "SMALL.VBP";
#else
    const std::string project = "Small.vbp";
#endif
    EXPECT_EQ(run.out,
              "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes,project\r\n"
              "frmA.frm,frmA.frm,Form,73,1536,3,39,2,34," + project + "\r\n"
              "Code\\mdlA.bas,mdlA.bas,Module,68,0,2,45,2,28," + project + "\r\n"
              "CThing.cls,CThing.cls,Class Module,82,0,3,63,1,23," + project + "\r\n"
              "\"a,b.bas\",\"a,b.bas\",Module,0,0,0,0,0,0," + project + "\r\n"
              "Gone.frm,Gone.frm,Form,0,0,0,0,0,0," + project + "\r\n");
}

TEST(Reporter, TextOfASmallProjectIsAnAlignedTableThenTheProjectFigures) {
    TempDir dir;
    quibex::test::WriteSmallProject(dir);
    ReportRun run = RunIn(dir.Path(), {dir.Join("Small.vbp")});
    EXPECT_EQ(run.exitCode, kExitOk);
    // Column widths: File 13 ("Code\mdlA.bas"), Type 12 ("Class Module"),
    // Size 4, Binary 6, Total 6 ("1.57Kb": 1609 bytes), Interface 9, Code 7,
    // Line 7; two spaces between columns, figures right-aligned.
    EXPECT_THAT(run.out, HasSubstr("File           Type          Size  Binary   Total  Interface     Code     Line\n"
                                   "frmA.frm       Form           73b   1.5Kb  1.57Kb    3 (39b)  2 (34b)  5 (73b)\n"
                                   "Code\\mdlA.bas  Module         68b      0b     68b    2 (45b)  2 (28b)  4 (73b)\n"
                                   "CThing.cls     Class Module   82b      0b     82b    3 (63b)  1 (23b)  4 (86b)\n"));
    EXPECT_THAT(run.out, HasSubstr("\nForm:           2\nMDI Form:       0\nModule:         2\n"));
    EXPECT_THAT(run.out, HasSubstr("\nBinary:         1.5Kb\nInterface:      8 (147b)\nCode:           5 (85b)\n"
                                   "Total:          13 (1.72Kb)\n"));
}

TEST(Reporter, UnopenableFileGivesAnEmptyReportWithTheResetTextsAndExit1) {
    TempDir dir;
    dir.Write("Folder.vbp/placeholder", "");  // a folder named like a project
    for (const char* file : {"Nowhere.vbp", "Folder.vbp"}) {
        SCOPED_TRACE(file);
        ReportRun run = RunIn(dir.Path(), {"--format", "json", file});
        EXPECT_EQ(run.exitCode, kExitReadError);
        EXPECT_THAT(run.err, HasSubstr("cannot open '"));
        EXPECT_THAT(run.err, HasSubstr(std::string(file) + "'"));
        EXPECT_THAT(run.out, HasSubstr("\"members\": [],"));
        EXPECT_THAT(run.out, HasSubstr("\"LabelBinaryTotalT\": \"0\","));
        EXPECT_THAT(run.out, HasSubstr("\"LabelTotalFileT\": \"0 (0b)\""));
    }
}

TEST(Reporter, ProjectWithoutMembersIsNoError) {
    TempDir dir;
    dir.Write("Empty.vbp", "Type=Exe\r\nName=\"Empty\"\r\n");
    ReportRun run = RunIn(dir.Path(), {"Empty.vbp"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(run.err, "");
    EXPECT_THAT(run.out, HasSubstr("No members.\n"));
    EXPECT_THAT(run.out, HasSubstr("\nBinary:         0\n"));
}

// A file of another kind named like a project reads as an empty one, and
// stderr says that it is none.
TEST(Reporter, FileWithoutProjectLinesIsWarnedAbout) {
    TempDir dir;
    std::string noise;
    for (unsigned i = 0; i < 3000; ++i) noise += static_cast<char>((i * 7919u + 13u) % 251u);
    for (const char* file : {"g.vbp", "g.vbg"}) {
        SCOPED_TRACE(file);
        dir.Write(file, noise);
        ReportRun run = RunIn(dir.Path(), {file});
        EXPECT_EQ(run.exitCode, kExitOk);
        EXPECT_THAT(run.out, HasSubstr("No members.\n"));
        EXPECT_THAT(run.err, HasSubstr(std::string(file) + "' holds no project"));
    }
}

TEST(Reporter, MemberLineWithoutFileNameIsWarnedAboutAndListedEmpty) {
    TempDir dir;
    dir.Write("P.vbp", "Form=\r\n");
    ReportRun run = RunIn(dir.Path(), {"--format", "csv", "P.vbp"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_THAT(run.err, HasSubstr("warning: P.vbp: a member line gives no file name"));
    EXPECT_THAT(run.out, HasSubstr("\r\n,,Form,0,0,0,0,0,0,P.vbp\r\n"));
}

// A stream whose every write fails, as on a full disk.
class FailingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(Reporter, ReportThatCannotBeWrittenIsAFailure) {
    TempDir dir;
    dir.Write("Empty.vbp", "");
    CurrentDirGuard guard;
    std::filesystem::current_path(dir.Path());
    FailingBuffer failing;
    std::ostream out(&failing);
    std::ostringstream err;
    EXPECT_EQ(RunReporter({"--format", "json", "Empty.vbp"}, out, err, false), kExitReadError);
    EXPECT_THAT(err.str(), HasSubstr("cannot write the report"));
}

// tests/data/Group/Group.vbg reads App\App.vbp, Lib\Sub\Lib.vbp and App\App.vbp
// again, in the order of its lines. Counted by hand (every line CR LF,
// characters + 2 each):
//   frmApp.frm: "VERSION 5.00" 14, "Begin VB.Form frmApp" 22, "End" 5,
//     "Attribute VB_Name = "frmApp"" 30 -> interface 4 lines 71b;
//     "Private Sub Form_Click()" 26, "End Sub" 9 -> code 2 lines 35b; no .frx.
//   ..\Shared\mdlShared.bas: "Attribute VB_Name = "mdlShared"" 33 -> 1 line
//     33b; "Public Const APP_NAME = "App"" 31 -> code 1 line 31b.
//   CLib.cls: "VERSION 1.0 CLASS" 19, "Attribute VB_Name = "CLib"" 28 ->
//     interface 2 lines 47b; "Private mValue As Long" 24 -> code 1 line 24b.
// Totals: interface 4+1+2+4+1 = 12 lines, 71+33+47+71+33 = 255b; code
// 2+1+1+2+1 = 7 lines, 35+31+24+35+31 = 156b; 19 lines, 411b in all.
// The engine enters the project's folder; an output file named relative to
// the caller's folder must still land there, and the caller's folder is
// current again afterwards.
TEST(Reporter, OutputFileIsRelativeToTheCallersFolderNotTheProjects) {
    TempDir dir;
    dir.Write("sub/App.vbp", "Module=m; m.bas\r\n");
    dir.Write("sub/m.bas", "Dim x\r\n");
    ReportRun run = RunIn(dir.Path(), {"-o", "out.txt", "--detail", "sub/App.vbp"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    EXPECT_TRUE(std::filesystem::exists(dir.Join("out.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.Join("sub/out.txt")));
}

// -o never replaces a file the run reads: the project or group, a project
// or member read, the baseline, the settings file; by name, in another
// letter case on Windows, or through a link.
TEST(Reporter, OutputThatTheRunReadsIsRefused) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string output;  // the file that must stay as it was
    };
    std::vector<Case> cases = {
        {"the project", {"-o", "A/A.vbp", "A/A.vbp"}, "A/A.vbp"},
        {"the group", {"inventory", "-o", "G.vbg", "G.vbg"}, "G.vbg"},
        {"a project of the group", {"--detail", "-o", "B/B.vbp", "G.vbg"}, "B/B.vbp"},
        {"a member of the second project", {"check", "-o", "B/n.bas", "G.vbg"}, "B/n.bas"},
        {"the baseline", {"check", "--format", "json", "--baseline", "b.json", "-o", "b.json", "A/A.vbp"}, "b.json"},
        {"the settings given", {"check", "--config", "s.toml", "-o", "s.toml", "A/A.vbp"}, "s.toml"},
        {"the settings beside", {"check", "-o", "A/.quibex.toml", "A/A.vbp"}, "A/.quibex.toml"},
        {"a side of a diff", {"diff", "-o", "A/m.bas", "A/A.vbp", "B/B.vbp"}, "A/m.bas"},
#ifdef _WIN32
        {"another letter case", {"-o", "a/a.VBP", "A/A.vbp"}, "A/A.vbp"},
#else
        {"a link", {"check", "-o", "link.bas", "A/A.vbp"}, "A/m.bas"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.Write("G.vbg", "VBGROUP 5.0\r\nProject=A\\A.vbp\r\nProject=B\\B.vbp\r\n");
        dir.Write("A/A.vbp", "Module=m; m.bas\r\n");
        dir.Write("A/m.bas", "Dim x\r\n");
        dir.Write("A/.quibex.toml", "[check]\r\n");
        dir.Write("B/B.vbp", "Module=n; n.bas\r\n");
        dir.Write("B/n.bas", "Dim y\r\n");
        dir.Write("s.toml", "[check]\n");
        dir.Write("b.json", R"({"file": "A.vbp", "errors": 0, "warnings": 0, "findings": []})");
#ifndef _WIN32
        std::filesystem::create_symlink(dir.Join("A/m.bas"), dir.Join("link.bas"));
#endif
        const std::string before = dir.Read(c.output);
        ReportRun run = RunIn(dir.Path(), c.args);
        EXPECT_EQ(run.exitCode, kExitUsage) << run.out;
        EXPECT_THAT(run.err, HasSubstr("a file this run reads"));
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(dir.Read(c.output), before);
    }
}

// A run that fails leaves an earlier report of the same name as it was.
TEST(Reporter, FailedRunLeavesTheEarlierOutputFile) {
    TempDir dir;
    dir.Write("out.txt", "the report of yesterday\n");
    for (std::vector<std::string> args : {std::vector<std::string>{"--format", "json", "-o", "out.txt", "Nowhere.vbp"},
                                          {"check", "-o", "out.txt", "Nowhere.vbp"},
                                          {"inventory", "-o", "out.txt", "Nowhere.vbg"}}) {
        SCOPED_TRACE(args[0]);
        ReportRun run = RunIn(dir.Path(), args);
        EXPECT_EQ(run.exitCode, kExitReadError);
        EXPECT_EQ(dir.Read("out.txt"), "the report of yesterday\n");
    }
}

// The projects' paths as the platform writes them, from the group's folder.
#ifdef _WIN32
constexpr const char* kApp = "App\\App.vbp";
constexpr const char* kLib = "Lib\\Sub\\Lib.vbp";
#else
constexpr const char* kApp = "App/App.vbp";
constexpr const char* kLib = "Lib/Sub/Lib.vbp";
#endif

TEST(ReporterOnFixtures, GroupReadsEveryProjectInItsOrder) {
    ReportRun run = RunIn(quibex::test::DataPath("Group"), {"--format", "csv", "--root", ".", "Group.vbg"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              std::string("path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes,project\r\n") +
                  "frmApp.frm,frmApp.frm,Form,106,0,4,71,2,35," + kApp + "\r\n" +
                  "..\\Shared\\mdlShared.bas,mdlShared.bas,Module,64,0,1,33,1,31," + kApp + "\r\n" +
                  "CLib.cls,CLib.cls,Class Module,71,0,2,47,1,24," + kLib + "\r\n" +
                  "frmApp.frm,frmApp.frm,Form,106,0,4,71,2,35," + kApp + "\r\n" +
                  "..\\Shared\\mdlShared.bas,mdlShared.bas,Module,64,0,1,33,1,31," + kApp + "\r\n");
    run = RunIn(quibex::test::DataPath("Group"), {"Group.vbg"});
    EXPECT_THAT(run.out, HasSubstr("\nForm:           2\nMDI Form:       0\nModule:         2\nClass Module:   1\n"));
    EXPECT_THAT(run.out, HasSubstr("\nBinary:         0b\nInterface:      12 (255b)\nCode:           7 (156b)\n"
                                   "Total:          19 (411b)\n"));
}

// Two projects of a group list a module of the same name: every form of
// the report says which project each member is of, and so do the warnings.
TEST(Reporter, GroupMembersNameTheirProjectInEveryForm) {
    TempDir dir;
    dir.Write("G.vbg", "VBGROUP 5.0\r\nProject=a\\A.vbp\r\nProject=b\\B.vbp\r\n");
    dir.Write("a/A.vbp", "Module=mPublic; mPublic.bas\r\nModule=gone; gone.bas\r\n");
    dir.Write("b/B.vbp", "Module=mPublic; mPublic.bas\r\n");
    dir.Write("a/mPublic.bas", "Dim a\r\n");
    dir.Write("b/mPublic.bas", "Dim b\r\nDim c\r\n");
    auto slashes = [](std::string text) {
        std::replace(text.begin(), text.end(), '\\', '/');
        return text;
    };
    const ReportRun csv = RunIn(dir.Path(), {"--format", "csv", "G.vbg"});
    EXPECT_EQ(slashes(csv.out),
              "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes,project\r\n"
              "mPublic.bas,mPublic.bas,Module,7,0,0,0,1,7,a/A.vbp\r\n"
              "gone.bas,gone.bas,Module,0,0,0,0,0,0,a/A.vbp\r\n"
              "mPublic.bas,mPublic.bas,Module,14,0,0,0,2,14,b/B.vbp\r\n");
    EXPECT_THAT(slashes(csv.err), HasSubstr("warning: a/A.vbp: cannot open 'gone.bas'"));
    for (const char* detail : {"--no-progress", "--detail"}) {
        const json report = JsonOf(RunIn(dir.Path(), {"--format", "json", detail, "G.vbg"}));
        ASSERT_EQ(report["members"].size(), 3u);
        EXPECT_EQ(slashes(report["members"][0]["project"]), "a/A.vbp") << detail;
        EXPECT_EQ(slashes(report["members"][2]["project"]), "b/B.vbp") << detail;
    }
    const std::string text = slashes(RunIn(dir.Path(), {"G.vbg"}).out);
    EXPECT_THAT(text, HasSubstr("  Project\n"));
    EXPECT_THAT(text, HasSubstr("2 (14b)  b/B.vbp\n"));
    const json cloc = JsonOf(RunIn(dir.Path(), {"--format", "cloc-json", "--by-file", "G.vbg"}));
    std::map<std::string, std::string> projectOf;
    for (const auto& [file, figures] : cloc.items()) {
        if (figures.contains("projects")) projectOf[slashes(file)] = slashes(figures["projects"][0]);
    }
    EXPECT_EQ(projectOf, (std::map<std::string, std::string>{{"a/mPublic.bas", "a/A.vbp"}, {"b/mPublic.bas", "b/B.vbp"}}));
}

// --keep-going reads every project of the group that can be read and names
// each that cannot; the report still exits 1.
TEST(ReporterOnFixtures, KeepGoingReadsTheProjectsAfterAMissingOne) {
    ReportRun run = RunIn(quibex::test::DataPath("Group"), {"--format", "json", "--keep-going", "Broken.vbg"});
    EXPECT_EQ(run.exitCode, kExitReadError);
    EXPECT_THAT(run.err, HasSubstr("cannot open 'Nowhere\\Missing.vbp'"));
    const json report = json::parse(run.out);
    ASSERT_EQ(report["members"].size(), 3u);
    EXPECT_EQ(report["members"][2]["path"], "CLib.cls");
    ASSERT_EQ(report["unreadableProjects"].size(), 1u);
    EXPECT_THAT(report["unreadableProjects"][0]["reason"].get<std::string>(), HasSubstr("Missing.vbp"));
    // diff too: the group's three files are there on both sides.
    run = RunIn(quibex::test::DataPath("Group"), {"diff", "--keep-going", "Broken.vbg", "Group.vbg"});
    EXPECT_EQ(run.exitCode, kExitReadError);
    EXPECT_THAT(run.out, HasSubstr("Members unchanged: 3\n"));
}

// tests/data/Group/Broken.vbg: App\App.vbp, then a project that does not
// exist, which ends the reading before Lib\Sub\Lib.vbp.
TEST(ReporterOnFixtures, GroupStopsAtAMissingProject) {
    ReportRun run = RunIn(quibex::test::DataPath("Group"), {"--format", "csv", "--root", ".", "broken.VBG"});
    EXPECT_EQ(run.exitCode, kExitReadError);
    EXPECT_THAT(run.err, HasSubstr("cannot open 'Nowhere\\Missing.vbp'"));
    EXPECT_EQ(run.out,
              std::string("path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes,project\r\n") +
                  "frmApp.frm,frmApp.frm,Form,106,0,4,71,2,35," + kApp + "\r\n" +
                  "..\\Shared\\mdlShared.bas,mdlShared.bas,Module,64,0,1,33,1,31," + kApp + "\r\n");
}


}  // namespace
}  // namespace quibex::report
