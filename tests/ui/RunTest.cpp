// One analysis run behind the processing window: what it leaves in the main
// window, what holds while it runs, and the files it does not read.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/mdlFill.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/Text_win.h"

namespace quibex {
namespace {

using test::LabelTexts;
using test::ListEntries;
using test::ProcessingWindow;
using test::SelectedIndices;

class Run : public ::testing::Test, protected test::MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(Start());
        window.ResetFigures();
    }

    // What the engine shows for `path` when it writes into memory instead of
    // the window: the window must show exactly the same.
    static std::map<std::string, std::string> EngineTexts(const std::string& path, std::vector<std::string>* items) {
        test::CurrentDirGuard restore;
        StatisticsModel model;
        MemoryDisplay display;
        display.ResetFigures();
        struct : IRunObserver {
            void Yield() override {}
        } quiet;
        auto files = MakePlatformFileSystem();
        mdlFill(model, display, *files, quiet).ReadChosenFile(path, mdlFill::ExtensionCase::Exact);
        std::map<std::string, std::string> texts;
        for (Label label : AllLabels()) texts[std::string(LabelName(label))] = display.Text(label);
        if (items) *items = display.Items();
        return texts;
    }

    void ExpectIdleAfterTheRun() {
        EXPECT_TRUE(IsWindowEnabled(window.Window()));
        EXPECT_EQ(ProcessingWindow(), nullptr);
        EXPECT_EQ(statistics.MemberCount, 0);
    }

    std::map<std::string, std::string> ResetTexts() {
        std::map<std::string, std::string> texts;
        for (Label label : AllLabels()) texts[std::string(LabelName(label))] = std::string(quibex::ResetText(label));
        return texts;
    }

    test::CurrentDirGuard currentDir;
};

TEST_F(Run, SampleProjectFillsTheListAndFigures) {
    const std::string path = test::DataPath("Sample/Sample.vbp");
    std::vector<std::string> engineItems;
    const auto expected = EngineTexts(path, &engineItems);

    window.RunAnalysis(path);

    const std::vector<std::string> entries = {"frmMain.frm", "mdlMain.bas", "CItem.cls",     "ucGrid.ctl",  "FRMUNIX.FRM",
                                              "Missing.frm", "mdlOld.bas",  "ppOptions.pag", "docHome.dob", "mdiShell.frm"};
    EXPECT_EQ(ListEntries(window.ListItem()), entries);
    EXPECT_EQ(engineItems, entries);
    EXPECT_EQ(SelectedIndices(window.ListItem()), std::vector<int>{9});  // the last member, alone
    EXPECT_EQ(LabelTexts(window), expected);
    // A few figures by hand, in case the engine and the window agree on a wrong text.
    EXPECT_TRUE(test::LabelsShow(window, {
        {"LabelTotalFileT", "63 (4.71Kb)"},
        {"LabelBinaryTotalT", "3.53Kb"},
        {"LabelFormT", "3"},
        {"LabelFileT", "mdiShell.frm"},
        {"LabelLineT", "6 (106b)"},
    }));
    EXPECT_EQ(statistics.RecordCount(), 10);
    ExpectIdleAfterTheRun();
}

// What the window shows while a run goes on, sampled by a thread timer
// whose messages only the run's own message serving can deliver.
struct Samples {
    static inline frmMain* window = nullptr;
    static inline std::vector<std::pair<Figure, std::string>> taken;  // entries, LabelTotalFileT
    static void CALLBACK Take(HWND, UINT, UINT_PTR, DWORD) {
        if (!ProcessingWindow()) return;
        taken.emplace_back(static_cast<Figure>(SendMessageW(window->ListItem(), LB_GETCOUNT, 0, 0)),
                           WindowTextOf(window->ValueLabel(Label::LabelTotalFileT)));
    }
};

TEST_F(Run, ALongRunShowsItsFiguresChangingAsItGoes) {
    constexpr int kMembers = 1000;
    test::TempDir temp;
    std::string code;
    for (int i = 0; i < 60; ++i) code += "    Total = Total + " + std::to_string(i) + "\r\n";
    std::string project = "Type=Exe\r\n";
    for (int i = 0; i < kMembers; ++i) {
        const std::string name = "m" + std::to_string(i);
        temp.Write(name + ".bas", "Attribute VB_Name = \"" + name + "\"\r\n" + code);
        project += "Module=" + name + "; " + name + ".bas\r\n";
    }
    const std::string path = temp.Write("Long.vbp", project);
    const auto expected = EngineTexts(path, nullptr);

    Samples::window = &window;
    Samples::taken.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Samples::Take);
    window.RunAnalysis(path);
    KillTimer(nullptr, timer);

    // The window answered all along, and showed the list growing and the
    // total changing, not only the end.
    std::set<std::string> totals;
    Figure entries = 0;
    for (const auto& [count, total] : Samples::taken) {
        EXPECT_GE(count, entries);
        entries = count;
        totals.insert(total);
    }
    EXPECT_GE(totals.size(), 5u) << Samples::taken.size() << " samples";
    // And the end as if every figure had been shown as it came.
    EXPECT_EQ(ListEntries(window.ListItem()).size(), static_cast<std::size_t>(kMembers));
    EXPECT_EQ(LabelTexts(window), expected);
    EXPECT_EQ(SelectedIndices(window.ListItem()), std::vector<int>{kMembers - 1});
    ExpectIdleAfterTheRun();
}

TEST_F(Run, WhileItRuns) {
    const HWND main = window.Window();
    std::map<std::string, std::string> before, after;
    std::vector<int> selectedDuring;
    bool mainEnabled = true, processAfterCloseBox = false, processAfterAltF4 = false;
    HWND process = nullptr, owner = nullptr;
    std::string caption;
    SIZE client{};
    POINT processCentre{}, mainCentre{};

    test::DuringRun hook(window, 3, [&] {
        mainEnabled = IsWindowEnabled(main) != FALSE;
        process = ProcessingWindow();
        if (process) {
            owner = GetWindow(process, GW_OWNER);
            caption = WindowTextOf(process);
            client = test::ClientSize(process);
            RECT p{}, m{};
            GetWindowRect(process, &p);
            GetWindowRect(main, &m);
            processCentre = {(p.left + p.right) / 2, (p.top + p.bottom) / 2};
            mainCentre = {(m.left + m.right) / 2, (m.top + m.bottom) / 2};
            // The user's close requests: the close box or system menu, and Alt+F4.
            SendMessageW(process, WM_SYSCOMMAND, SC_CLOSE, 0);
            processAfterCloseBox = IsWindow(process) != FALSE;
            SendMessageW(process, WM_SYSKEYDOWN, VK_F4, 1 << 29);
            SendMessageW(process, WM_SYSCOMMAND, SC_CLOSE | 0x0004, 0);  // as DefWindowProc issues it for Alt+F4
            processAfterAltF4 = IsWindow(process) != FALSE;
        }
        // The user clicks the first entry while members are still coming in.
        before = LabelTexts(window);
        test::ClickEntry(window.ListItem(), 0, false);
        selectedDuring = SelectedIndices(window.ListItem());
        after = LabelTexts(window);
    });

    window.RunAnalysis(test::DataPath("Sample/Sample.vbp"));

    ASSERT_TRUE(hook.Ran());
    EXPECT_FALSE(mainEnabled);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(owner, main);
    EXPECT_EQ(caption, "Quibex - Processing...");
    EXPECT_TRUE(test::IsSizeInTwips(client, 4680, 1275));
    EXPECT_NEAR(processCentre.x, mainCentre.x, 1);
    EXPECT_NEAR(processCentre.y, mainCentre.y, 1);
    EXPECT_TRUE(processAfterCloseBox);
    EXPECT_TRUE(processAfterAltF4);

    // The click did select, and the summary did nothing with it.
    EXPECT_EQ(selectedDuring, std::vector<int>{0});
    EXPECT_EQ(after, before);
    EXPECT_EQ(before["LabelFileT"], "Classes\\CItem.cls");  // the third member, being measured

    // The run still ends as it should, the last member's figures standing.
    // The engine made each later member the current entry, the click undone.
    EXPECT_EQ(SelectedIndices(window.ListItem()), std::vector<int>{9});
    EXPECT_TRUE(test::LabelsShow(window, {{"LabelFileT", "mdiShell.frm"}}));
    ExpectIdleAfterTheRun();
}

TEST_F(Run, ProcessingWindowGoesWhenClosedFromOutside) {
    bool goneAfterClose = false;
    test::DuringRun hook(window, 2, [&] {
        HWND process = ProcessingWindow();
        SendMessageW(process, WM_CLOSE, 0, 0);  // e.g. a task manager's request
        goneAfterClose = !IsWindow(process);
    });
    window.RunAnalysis(test::DataPath("Sample/Sample.vbp"));
    ASSERT_TRUE(hook.Ran());
    EXPECT_TRUE(goneAfterClose);
    EXPECT_EQ(ListEntries(window.ListItem()).size(), 10u);  // the run went on to its end
    ExpectIdleAfterTheRun();
}

TEST_F(Run, FilesThatAreNotReadLeaveTheResetFigures) {
    test::TempDir temp;
    const std::string wrongCase = temp.Write("x.VBP", "Form=frmA.frm\r\n");
    temp.Write("frmA.frm", "Private Sub A()\r\nEnd Sub\r\n");
    const std::string mixedCase = temp.Write("y.Vbg", "Project=x.VBP\r\n");
    const std::string notes = temp.Write("notes.txt", "Form=frmA.frm\r\n");
    const std::string missing = test::DataPath("Sample/NoSuch.vbp");
    const std::string missingGroup = test::DataPath("Sample/NoSuch.vbg");

    for (const std::string& path : {wrongCase, mixedCase, notes, missing, missingGroup}) {
        window.ResetFigures();
        window.RunAnalysis(path);
        EXPECT_TRUE(ListEntries(window.ListItem()).empty()) << path;
        EXPECT_EQ(LabelTexts(window), ResetTexts()) << path;
        EXPECT_EQ(statistics.RecordCount(), 0) << path;
        ExpectIdleAfterTheRun();
    }
}

TEST_F(Run, AGroupThatBreaksKeepsWhatWasRead) {
    window.RunAnalysis(test::DataPath("Group/Broken.vbg"));
    EXPECT_EQ(ListEntries(window.ListItem()), (std::vector<std::string>{"frmApp.frm", "mdlShared.bas"}));
    EXPECT_EQ(SelectedIndices(window.ListItem()), std::vector<int>{1});
    ExpectIdleAfterTheRun();
}

TEST_F(Run, AProjectWithoutMembersSelectsNothing) {
    test::TempDir temp;
    window.RunAnalysis(temp.Write("Empty.vbp", "Type=Exe\r\nName=\"Empty\"\r\n"));
    EXPECT_TRUE(ListEntries(window.ListItem()).empty());
    EXPECT_TRUE(SelectedIndices(window.ListItem()).empty());
    EXPECT_EQ(LabelTexts(window), ResetTexts());
    ExpectIdleAfterTheRun();
}

TEST_F(Run, TheReadersLeaveTheProjectFolderCurrent) {
    window.RunAnalysis(test::DataPath("Sample/Sample.vbp"));
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::string expected = test::DataPath("Sample");
    EXPECT_EQ(CharLowerA(folder), std::string(CharLowerA(expected.data())));
}

}  // namespace
}  // namespace quibex
