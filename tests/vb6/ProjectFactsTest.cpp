#include <gtest/gtest.h>

#include "vb6/ProjectFacts.h"

namespace quibex::vb6 {
namespace {

TEST(ProjectFacts, SettingsOfTheProjectFileInAnyLetterCase) {
    ProjectFacts p;
    for (const char* line : {"Type=Exe", "NAME=\"My \"\"App\"\"\"", "Startup=\"Sub Main\"", "ExeName32=\"App.exe\"",
                             "MajorVer=2", "minorver=10", "RevisionVer=x", "CondComp=\"DEBUG = 1 : TRACE = 0\"",
                             "ResFile32=\"App.RES\"", "Title=\"App\"", "CompatibleMode=\"2\"", "Form=frmMain.frm",
                             "no equals sign", "Reference=*\\A..\\Lib\\Lib.vbp"}) {
        p.AddLine(line);
    }
    EXPECT_EQ(p.type, "Exe");
    EXPECT_EQ(p.name, "My \"App\"");
    EXPECT_EQ(p.startup, "Sub Main");
    EXPECT_EQ(p.exeName32, "App.exe");
    EXPECT_EQ(p.majorVer, 2);
    EXPECT_EQ(p.minorVer, 10);
    EXPECT_EQ(p.revisionVer, std::nullopt);
    EXPECT_EQ(p.condComp, "DEBUG = 1 : TRACE = 0");
    EXPECT_EQ(p.resFile32, "App.RES");
    EXPECT_EQ(p.compatibleMode, "2");
    ASSERT_EQ(p.references.size(), 1u);
    EXPECT_EQ(p.references[0].project, "..\\Lib\\Lib.vbp");
}

TEST(ProjectFacts, ReferenceAndObjectLinesSplitIntoTheirParts) {
    const LibraryReference stdole = ParseLibraryReference(
        "*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\..\\Windows\\system32\\stdole2.tlb#OLE Automation #2");
    EXPECT_EQ(stdole.guid, "{00020430-0000-0000-C000-000000000046}");
    EXPECT_EQ(stdole.version, "2.0");
    EXPECT_EQ(stdole.locale, "0");
    EXPECT_EQ(stdole.path, "..\\..\\Windows\\system32\\stdole2.tlb");
    EXPECT_EQ(stdole.description, "OLE Automation #2");
    EXPECT_EQ(ParseLibraryReference("*\\G{X}#1.0").version, "1.0");
    EXPECT_EQ(ParseLibraryReference("odd").raw, "odd");

    // A project file's and a form's way of writing the same component.
    for (const char* value : {"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX",
                              " \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\""}) {
        const ObjectReference o = ParseObjectReference(value);
        EXPECT_EQ(o.guid, "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}");
        EXPECT_EQ(o.version, "2.0");
        EXPECT_EQ(o.locale, "0");
        EXPECT_EQ(o.file, "MSCOMCTL.OCX");
    }
    EXPECT_EQ(ParseObjectReference("*\\A..\\Controls\\Controls.vbp").project, "..\\Controls\\Controls.vbp");
}

}  // namespace
}  // namespace quibex::vb6
