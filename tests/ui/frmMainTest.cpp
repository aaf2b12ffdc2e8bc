// The main window as created, its reset and its selection summary, on the
// real controls.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/ControlIds.h"
#include "ui/Layout_win.h"
#include "ui/Text_win.h"
#include "ui/resource.h"

namespace quibex {
namespace {

using test::ClickEntry;
using test::LabelTexts;
using test::ListEntries;
using test::SelectedIndices;

class MainWindow : public ::testing::Test, protected test::MainWindowFixture {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    test::CurrentDirGuard currentDir;
};

TEST_F(MainWindow, StartsEmptyWithItsCaption) {
    EXPECT_EQ(WindowTextOf(window.Window()), "Quibex");
    EXPECT_TRUE(ListEntries(window.ListItem()).empty());
    for (const auto& [name, text] : LabelTexts(window)) EXPECT_EQ(text, "") << name;
}

TEST_F(MainWindow, HasItsDesignedSizeAtTheRealDpi) {
    EXPECT_TRUE(test::IsSizeInTwips(test::ClientSize(window.Window()), 6465, 5235, SIZE{431, 349}));

    const LONG_PTR style = GetWindowLongPtrW(window.Window(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);  // fixed single border
    EXPECT_NE(GetMenu(window.Window()), nullptr);
}

TEST_F(MainWindow, ListSelectsSeveralAndKeepsItsOrder) {
    const LONG_PTR style = GetWindowLongPtrW(window.ListItem(), GWL_STYLE);
    EXPECT_TRUE(style & LBS_EXTENDEDSEL);
    EXPECT_TRUE(style & LBS_NOTIFY);
    EXPECT_FALSE(style & LBS_SORT);
    for (const char* entry : {"zeta.frm", "alpha.bas", "Mid.cls"}) window.AddItem(entry);
    EXPECT_EQ(ListEntries(window.ListItem()), (std::vector<std::string>{"zeta.frm", "alpha.bas", "Mid.cls"}));
}

TEST_F(MainWindow, ValueLabelsAreBoldCaptionsRegular) {
    auto fontOf = [](HWND control) {
        LOGFONTW font{};
        HFONT handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        EXPECT_NE(handle, nullptr);
        GetObjectW(handle, sizeof font, &font);
        return font;
    };
    const int height = FontHeightPixels(825, ScreenDpi().y);
    for (Label label : AllLabels()) {
        const LOGFONTW value = fontOf(window.ValueLabel(label));
        EXPECT_EQ(std::wstring(value.lfFaceName), L"MS Sans Serif");
        EXPECT_EQ(value.lfCharSet, DEFAULT_CHARSET);  // the system's
        EXPECT_EQ(value.lfHeight, height);
        EXPECT_GE(value.lfWeight, FW_BOLD) << LabelName(label);

        HWND caption = GetDlgItem(window.Window(), ValueLabelId(label) + IDC_CAPTION_LABEL_OFFSET);
        ASSERT_NE(caption, nullptr) << LabelName(label);
        EXPECT_EQ(fontOf(caption).lfWeight, FW_NORMAL) << LabelName(label);
        EXPECT_EQ(fontOf(caption).lfHeight, height);
        EXPECT_EQ(fontOf(caption).lfCharSet, DEFAULT_CHARSET);
    }
    EXPECT_EQ(fontOf(window.ListItem()).lfWeight, FW_NORMAL);
}

// The window's layout, control by control, as designed in twips: the list,
// the frames, and in each frame a caption label and a value label per line.
struct FrameLine {
    int top;
    const char* caption;
    Label value;
};
struct FrameLayout {
    int id;
    const char* caption;
    TwipsRect rect;
    int valueWidth;
    std::vector<FrameLine> lines;
};
const FrameLayout kFrames[] = {
    {IDC_FRAMETOTAL, "Total", {2490, 30, 3945, 2790}, 2400,
     {{300, "Form:", Label::LabelFormT},
      {510, "MDI Form:", Label::LabelMDIFormT},
      {720, "Module:", Label::LabelModuleT},
      {930, "Class Module:", Label::LabelClassModuleT},
      {1140, "User Control:", Label::LabelUserControlT},
      {1350, "Property Page:", Label::LabelPropertyPageT},
      {1560, "User Document:", Label::LabelUserDocumentT},
      {1800, "Binary:", Label::LabelBinaryTotalT},
      {2010, "Interface:", Label::LabelInterfaceTotalT},
      {2220, "Code:", Label::LabelCodeTotalT},
      {2460, "Total:", Label::LabelTotalFileT}}},
    {IDC_FRAMEFILE, "File", {30, 2940, 6405, 2265}, 4800,
     {{300, "File Name:", Label::LabelFileT},
      {540, "Type:", Label::LabelTypeT},
      {840, "Size:", Label::LabelSizeT},
      {1050, "Binary:", Label::LabelBinaryT},
      {1260, "Total:", Label::LabelTotalT},
      {1530, "Interface:", Label::LabelInterfaceT},
      {1740, "Code:", Label::LabelCodeT},
      {1950, "Line:", Label::LabelLineT}}},
};

HWND CaptionLabel(frmMain& window, Label value) {
    return GetDlgItem(window.Window(), ValueLabelId(value) + IDC_CAPTION_LABEL_OFFSET);
}

TEST_F(MainWindow, EveryControlSitsWhereTheLayoutPutsIt) {
    EXPECT_TRUE(test::IsPlacedAt(window.ListItem(), {30, 120, 2400, 2700}, ""));
    int labels = 0;
    for (const FrameLayout& frame : kFrames) {
        EXPECT_TRUE(test::IsPlacedAt(GetDlgItem(window.Window(), frame.id), frame.rect, frame.caption));
        for (const FrameLine& line : frame.lines) {
            const TwipsRect caption = Offset({210, line.top, 1200, 195}, frame.rect);
            const TwipsRect value = Offset({1410, line.top, frame.valueWidth, 195}, frame.rect);
            EXPECT_TRUE(test::IsPlacedAt(CaptionLabel(window, line.value), caption, line.caption)) << line.caption;
            EXPECT_TRUE(test::IsPlacedAt(window.ValueLabel(line.value), value, "")) << line.caption;
            // One line each, cut where the text ends, "&" shown as written.
            for (HWND control : {CaptionLabel(window, line.value), window.ValueLabel(line.value)}) {
                const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
                EXPECT_EQ(style & SS_TYPEMASK, SS_LEFTNOWORDWRAP) << line.caption;
                EXPECT_TRUE(style & SS_NOPREFIX) << line.caption;
            }
            ++labels;
        }
    }
    EXPECT_EQ(labels, kLabelCount);
}

// The caption labels as created, and the value labels as a run leaves them.
TEST_F(MainWindow, EveryLabelsTextFitsItsLabel) {
    window.RunAnalysis(test::DataPath("Sample/Sample.vbp"));
    ClickEntry(window.ListItem(), 2, false);  // Classes\CItem.cls, the longest path
    for (Label label : AllLabels()) {
        EXPECT_TRUE(test::TextFits(CaptionLabel(window, label))) << LabelName(label);
        EXPECT_TRUE(test::TextFits(window.ValueLabel(label))) << LabelName(label);
    }
}

TEST_F(MainWindow, ResetFiguresEmptiesEverything) {
    window.RunAnalysis(test::DataPath("Sample/Sample.vbp"));
    ASSERT_FALSE(ListEntries(window.ListItem()).empty());

    window.ResetFigures();
    EXPECT_TRUE(ListEntries(window.ListItem()).empty());
    const std::map<std::string, std::string> expected = {
        {"LabelFormT", "0"},        {"LabelMDIFormT", "0"},        {"LabelModuleT", "0"},
        {"LabelClassModuleT", "0"}, {"LabelUserControlT", "0"},    {"LabelPropertyPageT", "0"},
        {"LabelUserDocumentT", "0"}, {"LabelBinaryTotalT", "0"},   {"LabelInterfaceTotalT", "0 (0b)"},
        {"LabelCodeTotalT", "0 (0b)"}, {"LabelTotalFileT", "0 (0b)"}, {"LabelFileT", ""},
        {"LabelTypeT", ""},         {"LabelSizeT", "0b"},          {"LabelBinaryT", "0b"},
        {"LabelTotalT", "0b"},      {"LabelInterfaceT", "0 (0b)"}, {"LabelCodeT", "0 (0b)"},
        {"LabelLineT", "0 (0b)"},
    };
    EXPECT_EQ(LabelTexts(window), expected);
    EXPECT_EQ(statistics.RecordCount(), 0);
    EXPECT_EQ(statistics.MemberCount, 0);
    EXPECT_EQ(statistics.BinaryTotal + statistics.InterfaceLinesTotal + statistics.InterfaceBytesTotal +
                  statistics.CodeLinesTotal + statistics.CodeBytesTotal,
              0);

    window.ResetFigures();  // twice in a row: the same
    EXPECT_EQ(LabelTexts(window), expected);
}

// The worked example: two forms, selected together by the user.
TEST_F(MainWindow, SelectionOfTwoFormsShowsTheirSums) {
    window.ResetFigures();
    for (auto [path, file, binary, il, ib, cl, cb] :
         {std::tuple{"frmA.frm", 1000, 0, 10, 300, 5, 200}, std::tuple{"frmB.frm", 2000, 1536, 20, 700, 15, 1000}}) {
        statistics.GrowMembers();
        statistics.Members(statistics.MemberCount) = {path, "Form", file, binary, il, ib, cl, cb};
        window.AddItem(path);
    }
    statistics.MemberCount = 0;

    ClickEntry(window.ListItem(), 0, false);
    ClickEntry(window.ListItem(), 1, true);
    EXPECT_EQ(SelectedIndices(window.ListItem()), (std::vector<int>{0, 1}));
    EXPECT_TRUE(test::LabelsShow(window, {
        {"LabelFileT", "Multi"},
        {"LabelTypeT", "Form"},
        {"LabelSizeT", "2.92Kb"},
        {"LabelBinaryT", "1.5Kb"},
        {"LabelTotalT", "4.42Kb"},
        {"LabelInterfaceT", "30 (1000b)"},
        {"LabelCodeT", "20 (1.17Kb)"},
        {"LabelLineT", "50 (2.14Kb)"},
        {"LabelFormT", "0"},  // the Total frame is not touched
    }));
}

TEST_F(MainWindow, SelectionAfterARunFollowsTheClicks) {
    window.RunAnalysis(test::DataPath("Sample/Sample.vbp"));
    const HWND list = window.ListItem();

    ClickEntry(list, 0, false);  // frmMain.frm alone
    EXPECT_EQ(SelectedIndices(list), std::vector<int>{0});
    EXPECT_TRUE(test::LabelsShow(window, {
        {"LabelFileT", "frmMain.frm"},
        {"LabelTypeT", "Form"},
        {"LabelSizeT", "181b"},
        {"LabelBinaryT", "1.5Kb"},
        {"LabelTotalT", "1.67Kb"},
        {"LabelLineT", "10 (181b)"},
        {"LabelTotalFileT", "63 (4.71Kb)"},
    }));

    ClickEntry(list, 1, true);  // and the module mdlMain.bas
    EXPECT_TRUE(test::LabelsShow(window, {{"LabelFileT", "Multi"}, {"LabelTypeT", "Multi"}, {"LabelSizeT", "259b"}}));

    ClickEntry(list, 4, false);  // FRMUNIX.FRM alone again, then Ctrl+click it away
    ClickEntry(list, 4, true);
    EXPECT_TRUE(SelectedIndices(list).empty());
    EXPECT_TRUE(test::LabelsShow(window, {
        {"LabelFileT", ""},
        {"LabelTypeT", ""},
        {"LabelSizeT", "0b"},
        {"LabelTotalT", "0b"},
        {"LabelLineT", "0 (0b)"},
    }));
}

// Group.vbg lists App\App.vbp twice: its members come twice with one path.
TEST_F(MainWindow, OnePathSelectedTwiceIsNoMulti) {
    window.RunAnalysis(test::DataPath("Group/Group.vbg"));
    ASSERT_EQ(ListEntries(window.ListItem()),
              (std::vector<std::string>{"frmApp.frm", "mdlShared.bas", "CLib.cls", "frmApp.frm", "mdlShared.bas"}));
    ClickEntry(window.ListItem(), 0, false);
    ClickEntry(window.ListItem(), 3, true);
    EXPECT_TRUE(test::LabelsShow(window, {
        {"LabelFileT", "frmApp.frm"},
        {"LabelTypeT", "Form"},
        {"LabelSizeT", "212b"},
        {"LabelLineT", "12 (212b)"},
    }));
}

}  // namespace
}  // namespace quibex
