// Paths taken apart as every part of the program does: either separator,
// names in any letter case.
#include <gtest/gtest.h>

#include "engine/CodePage.h"
#include "engine/Paths.h"

namespace quibex {
namespace {

TEST(PathBelow, IsRelativeOnlyBelowTheFolderInAnyLetterCase) {
    struct Case {
        const char* path;
        const char* folder;
        const char* shown;
    } cases[] = {
        {"/work/App/frmMain.frm", "/work/App", "frmMain.frm"},
        {"/work/App/Forms/frmMain.frm", "/work/App", "Forms/frmMain.frm"},
        {"C:\\Work\\App\\frmMain.frm", "C:\\Work\\App", "frmMain.frm"},
        {"C:\\Work\\App/frmMain.frm", "C:\\Work\\App", "frmMain.frm"},  // either separator
        // The engine finds files in any letter case, so a folder written in
        // another case is the same folder.
        {"c:\\work\\app\\frmMain.frm", "C:\\Work\\App", "frmMain.frm"},
        {"/WORK/app/x.bas", "/work/App", "x.bas"},
        // A folder that ends in its separator: a drive's root, the root.
        {"C:\\x.bas", "C:\\", "x.bas"},
        {"/x.bas", "/", "x.bas"},
        {"/work/App/x.bas", "/work/App/", "x.bas"},
        // Not below: another folder that starts alike, the folder itself, elsewhere.
        {"/work/Application/x.bas", "/work/App", "/work/Application/x.bas"},
        {"/work/App", "/work/App", "/work/App"},
        {"/work/App/", "/work/App", "/work/App/"},
        {"/other/x.bas", "/work/App", "/other/x.bas"},
        {"x.bas", "", "x.bas"},
        {"/work/App/x.bas", "", "/work/App/x.bas"},
    };
    for (const Case& c : cases) EXPECT_EQ(PathBelow(c.path, c.folder), c.shown) << c.path << " in " << c.folder;
}

TEST(FolderOf, KeepsTheRootAndGivesNothingForABareName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b/c.frm", "/a/b"}, {"C:\\a\\c.frm", "C:\\a"}, {"a/b\\c.frm", "a/b"},
        {"/c.frm", "/"},        {"c.frm", ""},             {"", ""},
    };
    for (const auto& [path, folder] : cases) EXPECT_EQ(FolderOf(path), folder) << path;
    EXPECT_EQ(FileNameOf("..\\b/c.frm"), "c.frm");
    EXPECT_EQ(FileNameOf("c.frm"), "c.frm");
    EXPECT_EQ(FileNameOf("a\\"), "");
}

TEST(ProjectExtensions, AreReadInAnyLetterCase) {
    const std::tuple<const char*, bool, bool> cases[] = {
        // name, names a project or group, names a group
        {"App.vbp", true, false}, {"APP.VBP", true, false}, {"G.vbg", true, true}, {"G.VbG", true, true},
        {".vbg", true, true},     {"vbg", false, false},    {"A.vbpx", false, false}, {"A.vbp.bak", false, false},
        {"A.frm", false, false},  {"", false, false},
    };
    for (const auto& [name, project, group] : cases) {
        EXPECT_EQ(HasProjectExtension(name), project) << name;
        EXPECT_EQ(IsGroupFile(name), group) << name;
    }
}

TEST(AsciiLower, LowersOnlyTheLettersAToZ) {
    EXPECT_EQ(AsciiLower("Form = frmMAIN.frm"), "form = frmmain.frm");
    // Bytes above ASCII (a code page's own letters) stay. The rule knows no
    // code page: a double-byte character's trail byte in the ASCII range is
    // lowered too, alike on both sides of a comparison.
    EXPECT_EQ(AsciiLower("\xC9T\xE9 \x83\x41"), "\xC9t\xE9 \x83\x61");
    EXPECT_EQ(AsciiLower("@[`{"), "@[`{");
}

}  // namespace
}  // namespace quibex
