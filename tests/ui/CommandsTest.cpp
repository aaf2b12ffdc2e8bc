// The menu commands: File > Open through the dialog control, Help > Home
// Page, and the close requests that end the program.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/TestSupport.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/Text_win.h"
#include "ui/frmAbout.h"
#include "ui/resource.h"

namespace quibex {
namespace {

using test::LabelTexts;
using test::ListEntries;

class Commands : public ::testing::Test, protected test::MainWindowFixture {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    void Command(int id) { SendMessageW(window.Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    test::CurrentDirGuard currentDir;
};

TEST_F(Commands, OpenRunsTheChosenFileUnderItsName) {
    dialogs.chosenPath = test::DataPath("Sample/Sample.vbp");
    Command(IDM_FILEOPEN);
    EXPECT_EQ(dialogs.openDialogs, 1);
    EXPECT_EQ(WindowTextOf(window.Window()), "Sample.vbp - Quibex");
    EXPECT_EQ(ListEntries(window.ListItem()).size(), 10u);
    EXPECT_TRUE(test::LabelsShow(window, {{"LabelTotalFileT", "63 (4.71Kb)"}}));
    EXPECT_TRUE(IsWindowEnabled(window.Window()));
}

TEST_F(Commands, OpenResetsBeforeTheNextRun) {
    dialogs.chosenPath = test::DataPath("Sample/Sample.vbp");
    Command(IDM_FILEOPEN);
    dialogs.chosenPath = test::DataPath("Group/Group.vbg");
    Command(IDM_FILEOPEN);
    EXPECT_EQ(WindowTextOf(window.Window()), "Group.vbg - Quibex");
    EXPECT_EQ(ListEntries(window.ListItem()).size(), 5u);
    EXPECT_TRUE(test::LabelsShow(window, {
        {"LabelFormT", "2"},  // not 3 + 2
        {"LabelMDIFormT", "0"},
    }));
    EXPECT_EQ(statistics.RecordCount(), 5);
}

TEST_F(Commands, ACancelledOpenChangesNothing) {
    dialogs.chosenPath = test::DataPath("Sample/Sample.vbp");
    Command(IDM_FILEOPEN);
    const auto texts = LabelTexts(window);

    dialogs.chosenPath.reset();
    Command(IDM_FILEOPEN);
    EXPECT_EQ(dialogs.openDialogs, 2);
    EXPECT_EQ(WindowTextOf(window.Window()), "Sample.vbp - Quibex");
    EXPECT_EQ(ListEntries(window.ListItem()).size(), 10u);
    EXPECT_EQ(LabelTexts(window), texts);
    EXPECT_EQ(statistics.RecordCount(), 10);
}

TEST_F(Commands, AFileThatIsNoProjectIsNamedButNotRead) {
    test::TempDir temp;
    dialogs.chosenPath = temp.Write("notes.txt", "Form=frmA.frm\r\n");
    Command(IDM_FILEOPEN);
    EXPECT_EQ(WindowTextOf(window.Window()), "notes.txt - Quibex");
    EXPECT_TRUE(ListEntries(window.ListItem()).empty());
    EXPECT_TRUE(test::LabelsShow(window, {{"LabelBinaryTotalT", "0"}, {"LabelTotalFileT", "0 (0b)"}}));
}

// Closes an About window wherever it was opened, so that a modal one
// cannot hold the test.
bool g_aboutShown = false;
void CALLBACK CloseAnyAbout(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND about = FindWindowW(frmAbout::ClassName(), nullptr)) {
        g_aboutShown = true;
        DestroyWindow(about);
    }
}

// The window is disabled during a run, but commands can still arrive from
// inside the run's yields (an accelerator, a message from outside).
TEST_F(Commands, OpenAndAboutAreRefusedDuringARun) {
    dialogs.chosenPath = test::DataPath("Group/Group.vbg");
    g_aboutShown = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &CloseAnyAbout);
    {
        test::DuringRun hook(window, 3, [&] {
            Command(IDM_FILEOPEN);
            Command(IDM_HELPABOUT);
        });
        window.RunAnalysis(test::DataPath("Sample/Sample.vbp"));
        EXPECT_TRUE(hook.Ran());
    }
    KillTimer(nullptr, timer);
    EXPECT_EQ(dialogs.openDialogs, 0);
    EXPECT_FALSE(g_aboutShown);
    EXPECT_EQ(ListEntries(window.ListItem()).size(), 10u);  // the run went on undisturbed

    Command(IDM_FILEOPEN);  // and once it is over, the command works again
    EXPECT_EQ(dialogs.openDialogs, 1);
    EXPECT_EQ(ListEntries(window.ListItem()).size(), 5u);
}

TEST_F(Commands, HomePageOpensTheProgramsPage) {
    Command(IDM_HELPHOMEPAGE);
    EXPECT_EQ(dialogs.shellFiles, std::vector<std::string>{"https://quibex.example/app/quibex.htm"});
    EXPECT_EQ(dialogs.shellParameters, std::vector<std::string>{""});
}

TEST_F(Commands, MenusCarryTheirAccessLetters) {
    HMENU menu = GetMenu(window.Window());
    auto text = [menu](UINT item, UINT flags) {
        wchar_t buffer[64] = {};
        GetMenuStringW(menu, item, buffer, 64, flags);
        return std::wstring(buffer);
    };
    EXPECT_EQ(text(0, MF_BYPOSITION), L"&File");
    EXPECT_EQ(text(1, MF_BYPOSITION), L"&Help");
    EXPECT_EQ(text(IDM_FILEOPEN, MF_BYCOMMAND), L"&Open...\tCtrl+O");
    EXPECT_EQ(text(IDM_FILEEXIT, MF_BYCOMMAND), L"E&xit");
    EXPECT_EQ(text(IDM_HELPHOMEPAGE, MF_BYCOMMAND), L"&Home Page");
    EXPECT_EQ(text(IDM_HELPABOUT, MF_BYCOMMAND), L"&About...");
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), 3);  // Open, a separator, Exit
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 1)), 3);
}

TEST(CtrlO, IsTheOpenAccelerator) {
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    ACCEL entries[4] = {};
    const int count = CopyAcceleratorTableW(table, entries, 4);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(entries[0].key, 'O');
    EXPECT_EQ(entries[0].cmd, IDM_FILEOPEN);
    EXPECT_EQ(entries[0].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), FVIRTKEY | FCONTROL);
}

// The program ends at the first close request, whatever the state. Each case
// runs in a child process; reaching the code after the request is a failure.
constexpr int kStillRunning = 7;

void EndsTheProgram(void (*request)(frmMain&)) {
    StatisticsModel statistics;
    test::FakeDialogs dialogs;
    frmMain window(statistics, dialogs);
    if (!window.Create()) std::exit(2);
    ShowWindow(window.Window(), SW_SHOWNOACTIVATE);
    request(window);
    std::exit(kStillRunning);
}

TEST(CloseRequest, FileExitEndsTheProgram) {
    EXPECT_EXIT(EndsTheProgram([](frmMain& w) {
                    SendMessageW(w.Window(), WM_COMMAND, MAKEWPARAM(IDM_FILEEXIT, 0), 0);
                }),
                ::testing::ExitedWithCode(0), "");
}

TEST(CloseRequest, TheCloseBoxEndsTheProgram) {
    EXPECT_EXIT(EndsTheProgram([](frmMain& w) { SendMessageW(w.Window(), WM_SYSCOMMAND, SC_CLOSE, 0); }),
                ::testing::ExitedWithCode(0), "");
}

TEST(CloseRequest, TheSessionEndingEndsTheProgram) {
    EXPECT_EXIT(EndsTheProgram([](frmMain& w) {
                    if (!SendMessageW(w.Window(), WM_QUERYENDSESSION, 0, 0)) std::exit(3);  // must not object
                    SendMessageW(w.Window(), WM_ENDSESSION, TRUE, 0);
                }),
                ::testing::ExitedWithCode(0), "");
}

TEST(CloseRequest, ACloseDuringARunEndsTheProgram) {
    EXPECT_EXIT(EndsTheProgram([](frmMain& w) {
                    // Arrives in a yield of the run, after three members.
                    test::DuringRun hook(w, 3, [&w] { PostMessageW(w.Window(), WM_CLOSE, 0, 0); });
                    w.RunAnalysis(test::DataPath("Sample/Sample.vbp"));
                }),
                ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace quibex
