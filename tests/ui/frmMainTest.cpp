// The main window as created, its reset and its selection summary, on the
// real controls.
#include <gtest/gtest.h>

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
        EXPECT_EQ(value.lfCharSet, 238);
        EXPECT_EQ(value.lfHeight, height);
        EXPECT_GE(value.lfWeight, FW_BOLD) << LabelName(label);

        HWND caption = GetDlgItem(window.Window(), ValueLabelId(label) + IDC_CAPTION_LABEL_OFFSET);
        ASSERT_NE(caption, nullptr) << LabelName(label);
        EXPECT_EQ(fontOf(caption).lfWeight, FW_NORMAL) << LabelName(label);
        EXPECT_EQ(fontOf(caption).lfHeight, height);
    }
    EXPECT_EQ(fontOf(window.ListItem()).lfWeight, FW_NORMAL);
}

TEST_F(MainWindow, LabelsSitInTheirFramesOneLineEachWithoutOverlap) {
    auto rectOf = [](HWND control) {
        RECT r{};
        GetWindowRect(control, &r);
        return r;
    };
    const RECT total = rectOf(GetDlgItem(window.Window(), IDC_FRAMETOTAL));
    const RECT file = rectOf(GetDlgItem(window.Window(), IDC_FRAMEFILE));
    std::vector<RECT> all;
    for (Label label : AllLabels()) {
        const bool inFile = static_cast<int>(label) < static_cast<int>(Label::LabelFormT);
        const RECT frame = inFile ? file : total;
        for (HWND control : {window.ValueLabel(label),
                             GetDlgItem(window.Window(), ValueLabelId(label) + IDC_CAPTION_LABEL_OFFSET)}) {
            const RECT r = rectOf(control);
            EXPECT_TRUE(r.left > frame.left && r.right < frame.right && r.top > frame.top && r.bottom < frame.bottom)
                << LabelName(label);
            const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
            EXPECT_EQ(style & SS_TYPEMASK, SS_LEFTNOWORDWRAP) << LabelName(label);
            EXPECT_TRUE(style & SS_NOPREFIX) << LabelName(label);
            for (const RECT& other : all) {
                RECT overlap{};
                EXPECT_FALSE(IntersectRect(&overlap, &r, &other)) << LabelName(label);
            }
            all.push_back(r);
        }
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
