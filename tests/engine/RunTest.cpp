#include <gtest/gtest.h>

#include "engine/mdlFill.h"
#include "tests/engine/Recording.h"
#include "tests/support/TestSupport.h"

namespace quibex {
namespace {

std::string Lines(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line + "\r\n";
    return text;
}

// The engine with its display and observer writing into one log.
struct RecordedRun : test::RealFilesEngine {
    std::vector<std::string> log;

    RecordedRun() {
        display.log = &log;
        observer.log = &log;
    }
    // The log entries from `first` on, up to (not including) the next yield.
    std::vector<std::string> Until(std::size_t& pos) {
        std::vector<std::string> out;
        while (pos < log.size() && log[pos] != "yield") out.push_back(log[pos++]);
        if (pos < log.size()) ++pos;  // the yield
        return out;
    }
};

// The worked example: the first member after a reset, a form of 10240 bytes
// with a 1536-byte companion.
TEST(AddMember, ListsAndShowsTheFileFiguresBeforeCounting) {
    test::TempDir dir;
    dir.Write("frmMain.frm", std::string(10240, 'x'));  // one long line, no keyword
    dir.Write("frmMain.frx", std::string(1536, '\0'));
    std::string vbp = dir.Write("P.vbp", "Form=frmMain.frm\r\n");
    RecordedRun run;
    run.fill.ReadProjectFile(vbp);

    std::size_t pos = 0;
    std::vector<std::string> listed = {
        "add frmMain.frm",         "index 0",
        "LabelFormT=1",            "LabelFileT=frmMain.frm",
        "LabelTypeT=Form",         "LabelSizeT=10Kb",
        "LabelBinaryT=1.5Kb",      "LabelTotalT=11.5Kb",
        "LabelBinaryTotalT=1.5Kb", "LabelTotalFileT=0 (1.5Kb)",  // no lines counted yet
    };
    EXPECT_EQ(run.Until(pos), listed);
    std::vector<std::string> counted = {
        "LabelInterfaceT=1 (10Kb)",      "LabelCodeT=0 (0b)",
        "LabelLineT=1 (10Kb)",           "LabelInterfaceTotalT=1 (10Kb)",
        "LabelCodeTotalT=0 (0b)",        "LabelTotalFileT=1 (11.5Kb)",
    };
    // 10240 characters + 2 = 10242 bytes, "10Kb" truncated.
    EXPECT_EQ(run.Until(pos), counted);
    EXPECT_EQ(pos, run.log.size());
}

TEST(AddMember, FirstMemberWithoutCompanionShowsZeroBinaryTotal) {
    test::TempDir dir;
    dir.Write("m.bas", "");
    std::string vbp = dir.Write("P.vbp", "Module=m.bas\r\n");
    RecordedRun run;
    EXPECT_EQ(run.display.Text(Label::LabelBinaryTotalT), "0");
    run.fill.ReadProjectFile(vbp);
    EXPECT_EQ(run.display.Text(Label::LabelBinaryTotalT), "0b");
    // An empty file: the end-of-file refresh still shows its zero figures.
    EXPECT_EQ(run.display.Text(Label::LabelLineT), "0 (0b)");
    EXPECT_EQ(run.observer.yields, 2);
}

// Two members of 200 lines: the refresh every 221 lines counts the lines of
// the whole run, so it falls on the 21st line of the second member.
TEST(CountMemberLines, RefreshEvery221LinesOfTheRun) {
    test::TempDir dir;
    dir.Write("a.bas", "Public x\r\n" + Lines(199, "' a"));
    dir.Write("b.bas", Lines(150, "' b") + "Dim y\r\n" + Lines(49, "y = 1"));
    std::string vbp = dir.Write("P.vbp", "Module=a.bas\r\nModule=b.bas\r\n");

    RecordedRun run;
    std::vector<std::string> atYield;  // LabelInterfaceT and LabelLineT at each yield
    run.observer.onYield = [&] {
        atYield.push_back(run.display.Text(Label::LabelInterfaceT) + " / " + run.display.Text(Label::LabelLineT) +
                          " / " + run.display.Text(Label::LabelTotalFileT));
    };
    run.fill.ReadProjectFile(vbp);

    // a.bas: 200 code lines of 10 + 199 * 5 = 1005 bytes.
    // b.bas: 150 interface lines of 5 bytes, then 50 code lines: 7 + 49 * 7.
    std::vector<std::string> expected = {
        "0 (0b) / 0 (0b) / 0 (0b)",                      // a listed
        "0 (0b) / 200 (1005b) / 200 (1005b)",            // end of a
        "0 (0b) / 200 (1005b) / 200 (1005b)",            // b listed: line figures still a's
        "21 (105b) / 21 (105b) / 221 (1.08Kb)",          // line 221 of the run
        "150 (750b) / 200 (1.07Kb) / 400 (2.05Kb)",      // end of b
    };
    EXPECT_EQ(atYield, expected);
    EXPECT_EQ(run.stats.Members(2).CodeBytes, 350);
    EXPECT_EQ(run.stats.InterfaceLinesTotal + run.stats.CodeLinesTotal, 400);
}

TEST(CountMemberLines, YieldsOncePerRefreshOverALongFile) {
    test::TempDir dir;
    dir.Write("big.bas", Lines(221 * 3 + 5, "x"));
    std::string vbp = dir.Write("P.vbp", "Module=big.bas\r\n");
    RecordedRun run;
    run.fill.ReadProjectFile(vbp);
    // Listed, three refreshes, end of file.
    EXPECT_EQ(run.observer.yields, 1 + 3 + 1);
}

}  // namespace
}  // namespace quibex
