// The reporter run in-process on projects written for each test, and on the
// shared fixtures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "report/cli/Reporter.h"
#include "tests/report/ReportRun.h"
#include "tests/report/SmallProject.h"
#include "tests/support/TestSupport.h"

namespace quibex::report {
namespace {

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
    EXPECT_THAT(run.err, HasSubstr("warning: cannot open 'Gone.frm'"));
    EXPECT_THAT(run.err, Not(HasSubstr("a,b.bas")));
}

TEST(Reporter, CsvOfASmallProjectHasOneQuotedRowPerMember) {
    TempDir dir;
    quibex::test::WriteSmallProject(dir);
    ReportRun run = RunIn(dir.Path(), {"--format=csv", "SMALL.VBP"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(run.out,
              "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes\r\n"
              "frmA.frm,frmA.frm,Form,73,1536,3,39,2,34\r\n"
              "Code\\mdlA.bas,mdlA.bas,Module,68,0,2,45,2,28\r\n"
              "CThing.cls,CThing.cls,Class Module,82,0,3,63,1,23\r\n"
              "\"a,b.bas\",\"a,b.bas\",Module,0,0,0,0,0,0\r\n"
              "Gone.frm,Gone.frm,Form,0,0,0,0,0,0\r\n");
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

TEST(Reporter, MemberLineWithoutFileNameIsWarnedAboutAndListedEmpty) {
    TempDir dir;
    dir.Write("P.vbp", "Form=\r\n");
    ReportRun run = RunIn(dir.Path(), {"--format", "csv", "P.vbp"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_THAT(run.err, HasSubstr("warning: a member line gives no file name"));
    EXPECT_THAT(run.out, HasSubstr("\r\n,,Form,0,0,0,0,0,0\r\n"));
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

TEST(ReporterOnFixtures, GroupReadsEveryProjectInItsOrder) {
    ReportRun run = RunIn(quibex::test::DataPath("Group"), {"--format", "csv", "Group.vbg"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes\r\n"
              "frmApp.frm,frmApp.frm,Form,106,0,4,71,2,35\r\n"
              "..\\Shared\\mdlShared.bas,mdlShared.bas,Module,64,0,1,33,1,31\r\n"
              "CLib.cls,CLib.cls,Class Module,71,0,2,47,1,24\r\n"
              "frmApp.frm,frmApp.frm,Form,106,0,4,71,2,35\r\n"
              "..\\Shared\\mdlShared.bas,mdlShared.bas,Module,64,0,1,33,1,31\r\n");
    run = RunIn(quibex::test::DataPath("Group"), {"Group.vbg"});
    EXPECT_THAT(run.out, HasSubstr("\nForm:           2\nMDI Form:       0\nModule:         2\nClass Module:   1\n"));
    EXPECT_THAT(run.out, HasSubstr("\nBinary:         0b\nInterface:      12 (255b)\nCode:           7 (156b)\n"
                                   "Total:          19 (411b)\n"));
}

// tests/data/Group/Broken.vbg: App\App.vbp, then a project that does not
// exist, which ends the reading before Lib\Sub\Lib.vbp.
TEST(ReporterOnFixtures, GroupStopsAtAMissingProject) {
    ReportRun run = RunIn(quibex::test::DataPath("Group"), {"--format", "csv", "broken.VBG"});
    EXPECT_EQ(run.exitCode, kExitReadError);
    EXPECT_THAT(run.err, HasSubstr("cannot open 'Nowhere\\Missing.vbp'"));
    EXPECT_EQ(run.out,
              "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes\r\n"
              "frmApp.frm,frmApp.frm,Form,106,0,4,71,2,35\r\n"
              "..\\Shared\\mdlShared.bas,mdlShared.bas,Module,64,0,1,33,1,31\r\n");
}


}  // namespace
}  // namespace quibex::report
