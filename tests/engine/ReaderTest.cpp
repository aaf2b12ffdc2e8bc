#include <gtest/gtest.h>

#include "engine/mdlFill.h"
#include "tests/engine/Recording.h"
#include "tests/support/TestSupport.h"

namespace quibex {
namespace {

using test::DataPath;
using test::TempDir;

TEST(SplitLine, KeyAndValue) {
    struct Case {
        const char* line;
        const char* key;
        const char* value;
    } cases[] = {
        {"Form=frmMain.frm", "form", "frmMain.frm"},
        {"Module=mdlMain; mdlMain.bas", "module", "mdlMain.bas"},
        {"Module=mdlMain;mdlMain.bas", "module", "mdlMain.bas"},
        {"Class=CItem;   Classes\\CItem.cls  ", "class", "Classes\\CItem.cls"},
        {"Class=CItem;\tx.cls\t", "class", "\tx.cls\t"},  // only spaces are trimmed
        {"FORM=..\\Shared\\frmAbout.frm", "form", "..\\Shared\\frmAbout.frm"},
        {"Form = frmMain.frm", "form ", " frmMain.frm"},   // key not trimmed
        {"Form=  spaced.frm ", "form", "  spaced.frm "},    // nor a value without ";"
        {"Name=\"MyProject\"", "name", "\"MyProject\""},
        {"Form=a=b.frm", "form", "a=b.frm"},
        {"Form=", "form", ""},
        {"=x", "", "x"},
        {"Module=a;b;c", "module", "b;c"},
        {"Module=a;   ", "module", ""},
    };
    for (const Case& c : cases) {
        auto kv = SplitLine(c.line);
        ASSERT_TRUE(kv) << c.line;
        EXPECT_EQ(kv->key, c.key) << c.line;
        EXPECT_EQ(kv->value, c.value) << c.line;
    }
    EXPECT_FALSE(SplitLine(""));
    EXPECT_FALSE(SplitLine("VBGROUP 5.0"));
}

TEST(MemberPaths, DisplayNameAndCompanion) {
    CodePage single;
    struct Case {
        const char* path;
        const char* name;
        const char* companion;
    } cases[] = {
        {"Forms\\Sub\\frmA.frm", "frmA.frm", "Forms\\Sub\\frmA.frx"},
        {"frmA.frm", "frmA.frm", "frmA.frx"},
        {"\\frmA.frm", "\\frmA.frm", "\\frmA.frx"},  // nothing before the only "\"
        {"Controls\\Grid.ctl", "Grid.ctl", "Controls\\Grid.ctx"},
        {"Doc1.dob", "Doc1.dob", "Doc1.dox"},
        {"Module1.bas", "Module1.bas", "Module1.bax"},
        {"Class1.cls", "Class1.cls", "Class1.clx"},
        {"a/b/c.frm", "a/b/c.frm", "a/b/c.frx"},  // "/" separates nothing here
        {"dir\\", "", "dirx"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DisplayName(c.path, single), c.name) << c.path;
        EXPECT_EQ(CompanionPath(c.path, single), c.companion) << c.path;
    }

    // In a double-byte code page the trail byte 0x5C is not a "\", and the
    // last character can be two bytes long.
    CodePage shiftJis;
    shiftJis.AddLeadRange(0x81, 0x9F);
    EXPECT_EQ(DisplayName("a\\\x83\x5c.frm", shiftJis), "\x83\x5c.frm");
    EXPECT_EQ(DisplayName("\x83\x5c" "x.frm", shiftJis), "\x83\x5c" "x.frm");
    EXPECT_EQ(DisplayName("\x83\x5c" "x.frm", single), "x.frm");
    EXPECT_EQ(CompanionPath("a.\x83\x5c", shiftJis), "a.x");
    EXPECT_EQ(LastSeparator("a/b\\c/d", single, false), 3u);
    EXPECT_EQ(LastSeparator("a/b\\c/d", single, true), 5u);
}

// The engine over real files, with shorthands for the expectations below.
struct Engine : test::RealFilesEngine {
    // The record's figures in one line, for compact expectations.
    std::string Figures(Figure i) {
        const MemberRecord& r = stats.Members(i);
        return r.Path + "|" + r.TypeName + "|" + std::to_string(r.FileSize) + "|" + std::to_string(r.BinarySize) +
               "|" + std::to_string(r.InterfaceLines) + "|" + std::to_string(r.InterfaceBytes) + "|" +
               std::to_string(r.CodeLines) + "|" + std::to_string(r.CodeBytes);
    }
    std::string Text(Label l) { return display.Text(l); }

    void ExpectTotalsAreSums() {
        Figure sums[5] = {};
        for (const MemberRecord& r : stats.Records()) {
            sums[0] += r.BinarySize;
            sums[1] += r.InterfaceLines;
            sums[2] += r.InterfaceBytes;
            sums[3] += r.CodeLines;
            sums[4] += r.CodeBytes;
        }
        EXPECT_EQ(stats.BinaryTotal, sums[0]);
        EXPECT_EQ(stats.InterfaceLinesTotal, sums[1]);
        EXPECT_EQ(stats.InterfaceBytesTotal, sums[2]);
        EXPECT_EQ(stats.CodeLinesTotal, sums[3]);
        EXPECT_EQ(stats.CodeBytesTotal, sums[4]);
    }
};

// Figures worked out by hand from the fixture files (sizes are bytes on
// disk, each line's text size its characters + 2):
//   frmMain.frm  CRLF, 10 lines: 7 interface (123 bytes), code from
//                "Private Sub" 3 lines (58); frmMain.frx 1536 bytes.
//   mdlMain.bas  the 5-line module: 3 (50) + 2 (28).
//   CItem.cls    "Dim<tab>" does not start the code, "ReDim a(10)" does:
//                7 (122) + 4 (91).
//   ucGrid.ctl   last line without a break, 156 bytes on disk but
//                4 (78) + 3 (80) = 158; ucGrid.ctx 2048 bytes.
//   FRMUNIX.FRM  names frmUnix.frm (LF only, 117 bytes): a comment with
//                "public " starts the code, 4 (73) + 3 (51); "FRMUNIX.FRx"
//                does not exist.
//   Missing.frm  listed with zero figures.
//   mdlOld.bas   CR only, "Const" on line 2: 1 (30) + 4 (74).
//   ppOptions.pag  no keyword: 4 (85) + 0; its companion is ppOptions.pax,
//                so ppOptions.pgx beside it is not counted.
//   docHome.dob  "Event" stays interface: 6 (115) + 2 (42).
//   mdiShell.frm 4 (78) + 2 (28); mdiShell.frx 40 bytes.
TEST(ReadProjectFile, SampleProjectFigures) {
    Engine e;
    e.fill.ReadProjectFile(DataPath("Sample/Sample.vbp"));

    std::vector<std::string> entries = {"frmMain.frm", "mdlMain.bas",   "CItem.cls",   "ucGrid.ctl",  "FRMUNIX.FRM",
                                        "Missing.frm", "mdlOld.bas",    "ppOptions.pag", "docHome.dob", "mdiShell.frm"};
    EXPECT_EQ(e.display.Items(), entries);
    EXPECT_EQ(e.display.ListIndex(), 9);
    ASSERT_EQ(e.stats.RecordCount(), 10);
    EXPECT_EQ(e.stats.MemberCount, 10);
    EXPECT_EQ(e.Figures(1), "frmMain.frm|Form|181|1536|7|123|3|58");
    EXPECT_EQ(e.Figures(2), "Modules\\mdlMain.bas|Module|78|0|3|50|2|28");
    EXPECT_EQ(e.Figures(3), "Classes\\CItem.cls|Class Module|213|0|7|122|4|91");
    EXPECT_EQ(e.Figures(4), "Controls\\ucGrid.ctl|User Control|156|2048|4|78|3|80");
    EXPECT_EQ(e.Figures(5), "FRMUNIX.FRM|Form|117|0|4|73|3|51");
    EXPECT_EQ(e.Figures(6), "Missing.frm|Form|0|0|0|0|0|0");
    EXPECT_EQ(e.Figures(7), "mdlOld.bas|Module|99|0|1|30|4|74");
    EXPECT_EQ(e.Figures(8), "ppOptions.pag|Property Page|85|0|4|85|0|0");
    EXPECT_EQ(e.Figures(9), "docHome.dob|User Document|157|0|6|115|2|42");
    EXPECT_EQ(e.Figures(10), "mdiShell.frm|MDI Form|106|40|4|78|2|28");
    e.ExpectTotalsAreSums();

    // Project figures: binary 1536 + 2048 + 40 = 3624; 40 interface lines
    // of 754 bytes, 23 code lines of 452; 3624 + 754 + 452 = 4830.
    EXPECT_EQ(e.Text(Label::LabelFormT), "3");
    EXPECT_EQ(e.Text(Label::LabelMDIFormT), "1");
    EXPECT_EQ(e.Text(Label::LabelModuleT), "2");
    EXPECT_EQ(e.Text(Label::LabelClassModuleT), "1");
    EXPECT_EQ(e.Text(Label::LabelUserControlT), "1");
    EXPECT_EQ(e.Text(Label::LabelPropertyPageT), "1");
    EXPECT_EQ(e.Text(Label::LabelUserDocumentT), "1");
    EXPECT_EQ(e.Text(Label::LabelBinaryTotalT), "3.53Kb");
    EXPECT_EQ(e.Text(Label::LabelInterfaceTotalT), "40 (754b)");
    EXPECT_EQ(e.Text(Label::LabelCodeTotalT), "23 (452b)");
    EXPECT_EQ(e.Text(Label::LabelTotalFileT), "63 (4.71Kb)");
    // The file frame shows the last member.
    EXPECT_EQ(e.Text(Label::LabelFileT), "mdiShell.frm");
    EXPECT_EQ(e.Text(Label::LabelTypeT), "MDI Form");
    EXPECT_EQ(e.Text(Label::LabelSizeT), "106b");
    EXPECT_EQ(e.Text(Label::LabelBinaryT), "40b");
    EXPECT_EQ(e.Text(Label::LabelTotalT), "146b");
    EXPECT_EQ(e.Text(Label::LabelInterfaceT), "4 (78b)");
    EXPECT_EQ(e.Text(Label::LabelCodeT), "2 (28b)");
    EXPECT_EQ(e.Text(Label::LabelLineT), "6 (106b)");

    ASSERT_EQ(e.observer.unreadable.size(), 1u);
    EXPECT_EQ(e.observer.unreadable[0].rfind("Missing.frm: ", 0), 0u) << e.observer.unreadable[0];
}

// Group.vbg lists App\App.vbp, Lib\Sub\Lib.vbp and App\App.vbp again.
// Reading App makes App's folder current; Lib's relative path must still
// resolve against the group's folder, and so must App's second listing.
TEST(ReadGroupFile, ProjectsResolveAgainstTheGroupFolder) {
    Engine e;
    e.fill.ReadGroupFile(DataPath("Group/Group.vbg"));
    std::vector<std::string> entries = {"frmApp.frm", "mdlShared.bas", "CLib.cls", "frmApp.frm", "mdlShared.bas"};
    EXPECT_EQ(e.display.Items(), entries);
    ASSERT_EQ(e.stats.RecordCount(), 5);
    EXPECT_EQ(e.Figures(1), "frmApp.frm|Form|106|0|4|71|2|35");
    EXPECT_EQ(e.Figures(2), "..\\Shared\\mdlShared.bas|Module|64|0|1|33|1|31");
    EXPECT_EQ(e.Figures(3), "CLib.cls|Class Module|71|0|2|47|1|24");
    EXPECT_EQ(e.Figures(4), e.Figures(1));  // listed twice, read twice
    EXPECT_EQ(e.Figures(5), e.Figures(2));
    EXPECT_EQ(e.Text(Label::LabelFormT), "2");
    EXPECT_EQ(e.Text(Label::LabelModuleT), "2");
    EXPECT_EQ(e.Text(Label::LabelClassModuleT), "1");
    EXPECT_TRUE(e.observer.unreadable.empty());
    e.ExpectTotalsAreSums();
}

TEST(ReadGroupFile, MissingProjectStopsTheGroup) {
    Engine e;
    EXPECT_THROW(e.fill.ReadGroupFile(DataPath("Group/Broken.vbg")), FileError);
    // The first project's members stay; the project after the missing one is not read.
    EXPECT_EQ(e.display.Items(), (std::vector<std::string>{"frmApp.frm", "mdlShared.bas"}));
    EXPECT_EQ(e.stats.RecordCount(), 2);
}

// A host may have the group read past a project that cannot be opened; it
// is told of each, and the window's rule (the reading stops) is the default.
TEST(ReadGroupFile, HostThatKeepsGoingReadsTheProjectsAfterAMissingOne) {
    Engine e;
    e.observer.keepGoing = true;
    e.fill.ReadGroupFile(DataPath("Group/Broken.vbg"));
    EXPECT_EQ(e.display.Items(), (std::vector<std::string>{"frmApp.frm", "mdlShared.bas", "CLib.cls"}));
    ASSERT_EQ(e.observer.unreadableProjects.size(), 1u);
    EXPECT_EQ(e.observer.unreadableProjects[0].rfind("Nowhere\\Missing.vbp (not opened): ", 0), 0u)
        << e.observer.unreadableProjects[0];
}

TEST(ReadProjectFile, MissingProjectFileThrowsNamingIt) {
    Engine e;
    try {
        e.fill.ReadProjectFile(DataPath("Sample/NoSuch.vbp"));
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("NoSuch.vbp"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(e.display.Items().empty());
    EXPECT_EQ(e.stats.RecordCount(), 0);
    EXPECT_EQ(e.Text(Label::LabelBinaryTotalT), "0");  // untouched reset text
}

TEST(ReadProjectFile, OddMemberLines) {
    TempDir dir;
    dir.Write("Sub/a.frm", "Dim x\r\n");
    dir.Write("Folder.frm/keep", "");  // a folder where a member file should be
    std::string vbp = dir.Write("P.vbp",
                                "Type=Exe\r\n"
                                "Form=\r\n"                 // empty path: listed, zero figures
                                "Form=\"Sub\\a.frm\"\r\n"   // quotes stay: names no file
                                "Form=Folder.frm\r\n"
                                "Form=Sub\\a.frm\r\n"
                                "Form=Sub\\a.frm\n"         // the same member twice
                                "Form=" + std::string(2000, 'n') + ".frm\r\n"
                                "no equals sign\r\n"
                                "=value only\r\n"
                                "Name=\"P\"");
    Engine e;
    e.fill.ReadProjectFile(vbp);
    ASSERT_EQ(e.stats.RecordCount(), 6);
    EXPECT_EQ(e.display.Items()[0], "");
    EXPECT_EQ(e.Figures(1), "|Form|0|0|0|0|0|0");
    EXPECT_EQ(e.Figures(2), "\"Sub\\a.frm\"|Form|0|0|0|0|0|0");
    EXPECT_EQ(e.Figures(3), "Folder.frm|Form|0|0|0|0|0|0");
    EXPECT_EQ(e.Figures(4), "Sub\\a.frm|Form|7|0|0|0|1|7");
    EXPECT_EQ(e.Figures(5), e.Figures(4));
    EXPECT_EQ(e.Figures(6).substr(1995), "nnnnn.frm|Form|0|0|0|0|0|0");
    EXPECT_EQ(e.Text(Label::LabelFormT), "6");
    EXPECT_EQ(e.observer.unreadable.size(), 4u);
}

TEST(ReadProjectFile, NoMembersLeavesTheModelEmpty) {
    TempDir dir;
    std::string vbp = dir.Write("P.vbp", "Type=Exe\r\nName=\"P\"\r\n");
    Engine e;
    e.fill.ReadProjectFile(vbp);
    EXPECT_EQ(e.stats.RecordCount(), 0);
    EXPECT_EQ(e.stats.MemberCount, 0);
    EXPECT_EQ(e.Text(Label::LabelTotalFileT), "0 (0b)");
    EXPECT_EQ(e.observer.yields, 0);
}

TEST(ReadProjectFile, ProjectFileWithoutLineBreaks) {
    // One huge line: the value is far too long to be a path, so it is
    // passed over rather than held; nothing is listed and nothing breaks.
    TempDir dir;
    std::string vbp = dir.Write("P.vbp", "Form=" + std::string(300000, 'a'));
    Engine e;
    e.fill.ReadProjectFile(vbp);
    EXPECT_EQ(e.stats.RecordCount(), 0);

    std::string vbp2 = dir.Write("Q.vbp", "Form=Q.frm");  // short, no break: read
    e.fill.ReadProjectFile(vbp2);
    EXPECT_EQ(e.stats.RecordCount(), 1);
}

TEST(ReadChosenFile, ExtensionDecidesTheReader) {
    TempDir dir;
    dir.Write("m.bas", "Dim x\r\n");
    for (const char* name : {"P.vbp", "P.VBP", "P.Vbp", "notes.txt"}) dir.Write(name, "Module=m.bas\r\n");
    dir.Write("P.vbg", "Project=P.vbp\r\n");
    struct Case {
        const char* name;
        mdlFill::ExtensionCase mode;
        bool read;
        Figure members;
    } cases[] = {
        {"P.vbp", mdlFill::ExtensionCase::Exact, true, 1},
        {"P.VBP", mdlFill::ExtensionCase::Exact, false, 0},
        {"P.Vbp", mdlFill::ExtensionCase::Exact, false, 0},
        {"P.VBP", mdlFill::ExtensionCase::Any, true, 1},
        {"P.vbg", mdlFill::ExtensionCase::Exact, true, 1},
        {"notes.txt", mdlFill::ExtensionCase::Any, false, 0},
    };
    for (const Case& c : cases) {
        Engine e;
        mdlFill::RunOutcome outcome = e.fill.ReadChosenFile(dir.Join(c.name), c.mode);
        EXPECT_EQ(outcome.read, c.read) << c.name;
        EXPECT_EQ(outcome.error, "") << c.name;
        EXPECT_EQ(e.stats.RecordCount(), c.members) << c.name;
    }
    Engine e;
    mdlFill::RunOutcome outcome = e.fill.ReadChosenFile(dir.Join("gone.vbp"), mdlFill::ExtensionCase::Exact);
    EXPECT_TRUE(outcome.read);
    EXPECT_NE(outcome.error.find("gone.vbp"), std::string::npos) << outcome.error;
}

}  // namespace
}  // namespace quibex
