// The source model of the fixture project written for it (tests/data/Model,
// tests/data/Japan), and the rule that on every fixture the five line
// classes add up to the lines the engine counts.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/TestSupport.h"
#include "tests/vb6/ModelText.h"
#include "vb6/SourceReader.h"

namespace quibex::vb6 {
namespace {

std::string Contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

CodePage CodePageOf(const std::filesystem::path& path) {
    return path.parent_path().filename() == "Japan" ? *CodePageFromNumber(932) : CodePage{};
}

TEST(Fixtures, TheFiveClassesAddUpToTheEngineLinesInEveryMemberFile) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(quibex::test::DataDir())) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || extension.size() != 4 || extension == ".vbp" || extension == ".vbg") continue;
        SCOPED_TRACE(entry.path().string());
        const std::string text = Contents(entry.path());
        const CodePage codePage = CodePageOf(entry.path());
        EXPECT_EQ(ReadSource(text, codePage).lines.Total(), test::EngineLines(text, codePage));
        ++files;
    }
    EXPECT_GT(files, 20);
}

struct Expected {
    const char* file;
    const char* model;  // as test::Describe writes it
};

// Worked out by hand from the files; see the comments in each.
const Expected kModels[] = {
    // A form: the layout block (lines 1-27) with a frame holding a control
    // array (optKind, Index 0 and 1; the Index of its Font does not count),
    // a ListView from MSCOMCTL.OCX and a button; a continued comment
    // (37-38); cmdRefresh_Click has If, And, Or, For, Case 1, 2, While and
    // ElseIf (not Case Else, not Open ... For, not the comment's words) and
    // nests If > For > Select > Do.
    {"Model/frmOrders.frm",
     "lines 27 2 5 2 28 \n"
     "designer VB.Form frmOrders\n"
     "procedure cmdRefresh_Click Sub Private 39-53 cc 8 nest 4 lines 0 0 0 0 15 handler cmdRefresh\n"
     "procedure optKind_Click Sub Private 55-57 cc 1 nest 0 lines 0 0 0 0 3 handler optKind\n"
     "procedure mOrders_Changed Sub Private 59-60 cc 1 nest 0 lines 0 0 0 0 2 handler mOrders\n"
     "procedure Form_Load Sub Private 62-64 cc 1 nest 0 lines 0 0 0 0 3 handler Form\n"
     "declare GetTickCount kernel32  32\n"
     "declare CopyMemory kernel32 RtlMoveMemory 33\n"
     "control VB.Frame fraFilter - 1 6\n"
     "control VB.OptionButton optKind 0 2 8\n"
     "control VB.OptionButton optKind 1 2 12\n"
     "control MSComctlLib.ListView lvwOrders - 1 21\n"
     "control VB.CommandButton cmdRefresh - 1 24\n"
     "object {831FDD16-0C5C-11D2-A9FC-0000F8754DA1} 2.0 MSCOMCTL.OCX\n"
     "binary frmOrders.frx\n"
     "withevents mOrders\n"
     "facts 64 0 0 0 0 0 0 0 0 0 0\n"},
    // A class: its BEGIN ... END header; an Attribute line inside Property
    // Get; a one-line If with Or in Property Let.
    {"Model/CTimer.cls",
     "lines 5 3 4 0 17 \n"
     "designer Class \n"
     "procedure Class_Initialize Sub Private 12-14 cc 1 nest 0 lines 0 0 0 0 3 handler Class\n"
     "procedure Interval Property Get Public 16-19 cc 1 nest 0 lines 0 1 0 0 3 \n"
     "procedure Interval Property Let Friend 21-24 cc 3 nest 0 lines 0 0 0 0 4 \n"
     "procedure Ticks Function Public static 26-29 cc 1 nest 0 lines 0 0 0 0 4 \n"
     "facts 29 0 0 0 0 0 0 0 0 0 0\n"},
    // A module: a Rem comment continued (3-4), #Const and #If lines, a head
    // over three lines (7-9), strings holding ' and keywords, a Rem inside
    // the function (16), If with And, and a While ... Wend on one line.
    {"Model/mdlText.bas",
     "lines 0 1 2 3 16 \n"
     "designer  \n"
     "procedure Quote Function Public 7-18 cc 4 nest 1 lines 0 0 0 1 11 \n"
     "procedure Plain Sub Public 20-22 cc 1 nest 0 lines 0 0 0 0 3 \n"
     "facts 22 0 0 0 0 0 0 0 0 0 0\n"},
    // LF line breaks, the last line without one.
    {"Model/mdlUnix.bas",
     "lines 0 1 0 0 5 \n"
     "designer  \n"
     "procedure Run Sub Public 2-6 cc 3 nest 1 lines 0 0 0 0 5 \n"
     "facts 0 5 0 1 0 1 0 0 0 0 0\n"},
    {"Model/ucPanel.ctl",
     "lines 7 1 0 0 3 \n"
     "designer VB.UserControl ucPanel\n"
     "procedure UserControl_Resize Sub Private 9-11 cc 1 nest 0 lines 0 0 0 0 3 handler UserControl\n"
     "control VB.Label lblCaption - 1 4\n"
     "facts 11 0 0 0 0 0 0 0 0 0 0\n"},
    {"Model/ppPage.pag",
     "lines 4 1 0 0 2 \n"
     "designer VB.PropertyPage ppPage\n"
     "procedure PropertyPage_ApplyChanges Sub Private 6-7 cc 1 nest 0 lines 0 0 0 0 2 handler PropertyPage\n"
     "facts 7 0 0 0 0 0 0 0 0 0 0\n"},
    // Shift-JIS: the procedure's name is two double-byte characters, and
    // "\x82Or" holds no Or.
    {"Japan/mdlJapan.bas",
     "lines 0 1 0 1 4 \n"
     "designer  \n"
     "procedure \x95\x5C\x8E\xA6 Sub Public 3-6 cc 1 nest 0 lines 0 0 0 0 4 \n"
     "facts 6 0 0 0 0 0 0 0 0 0 0\n"},
};

TEST(Fixtures, ModelOfEachMemberOfTheModelProject) {
    for (const Expected& e : kModels) {
        SCOPED_TRACE(e.file);
        const std::filesystem::path path = quibex::test::DataPath(e.file);
        EXPECT_EQ(test::Describe(ReadSource(Contents(path), CodePageOf(path))), e.model);
    }
}

}  // namespace
}  // namespace quibex::vb6
