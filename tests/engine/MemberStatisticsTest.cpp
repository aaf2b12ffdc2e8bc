#include <gtest/gtest.h>

#include <limits>

#include "engine/Display.h"
#include "engine/MemberStatistics.h"

namespace quibex {
namespace {

TEST(SizeText, UnitsAndTruncation) {
    struct Case {
        Figure bytes;
        const char* text;
    } cases[] = {
        {0, "0b"},
        {1023, "1023b"},
        {1024, "1Kb"},
        {1500, "1.46Kb"},  // 146.48 hundredths, truncated
        {1536, "1.5Kb"},   // no trailing zero
        {2047, "1.99Kb"},  // truncated, never rounded up to 2Kb
        {1034, "1Kb"},     // 1.0097: the two decimals are zero
        {1044, "1.01Kb"},  // a zero first decimal is kept
        {1048575, "1023.99Kb"},
        {1048576, "1Mb"},
        {1572864, "1.5Mb"},
        {5000000, "4.76Mb"},
        {30000000, "28.61Mb"},
        {2147483647, "2047.99Mb"},
        // Past 2 GiB the figures stay exact; Mb stays the largest unit.
        {2147483648LL, "2048Mb"},
        {5LL * 1024 * 1024 * 1024 + 512 * 1024, "5120.5Mb"},
        {std::numeric_limits<Figure>::max(), "8796093022207.99Mb"},
        {-1, "-1b"},
        {std::numeric_limits<Figure>::min(), "-9223372036854775808b"},
    };
    for (const Case& c : cases) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
}

TEST(LineFigureText, LinesThenSizeInParentheses) {
    EXPECT_EQ(LineFigureText(0, 0), "0 (0b)");
    EXPECT_EQ(LineFigureText(57, 1536), "57 (1.5Kb)");
    EXPECT_EQ(LineFigureText(1200, 40000), "1200 (39.06Kb)");
    EXPECT_EQ(LineFigureText(3000000000LL, 3000000000LL), "3000000000 (2861.02Mb)");
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfACaption) {
    struct Case {
        const char* text;
        Figure value;
    } cases[] = {
        {"", 0},          {"0", 0},     {"41", 41},  {"  7", 7}, {"12 forms", 12},
        {"x12", 0},       {"-3", -3},   {"+5", 5},   {"\t9", 9}, {"99999999999999999999999", std::numeric_limits<Figure>::max()},
    };
    for (const Case& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text;
}

TEST(StatisticsModel, GrowKeepsRecordsAndResetEmpties) {
    StatisticsModel model;
    model.GrowMembers();
    model.Members(1).Path = "a.frm";
    model.Members(1).CodeLines = 5;
    model.GrowMembers();
    EXPECT_EQ(model.MemberCount, 2);
    EXPECT_EQ(model.Members(1).Path, "a.frm");
    EXPECT_EQ(model.Members(1).CodeLines, 5);
    EXPECT_EQ(model.Members(2).Path, "");
    EXPECT_EQ(model.Members(2).CodeLines, 0);

    // After a run MemberCount goes back to 0 while the records stay.
    model.MemberCount = 0;
    EXPECT_EQ(model.RecordCount(), 2);

    model.BinaryTotal = 10;
    model.CodeBytesTotal = 20;
    for (int i = 0; i < 2; ++i) {  // resetting twice leaves the same empty state
        model.Reset();
        EXPECT_EQ(model.RecordCount(), 0);
        EXPECT_EQ(model.MemberCount, 0);
        EXPECT_EQ(model.BinaryTotal, 0);
        EXPECT_EQ(model.CodeBytesTotal, 0);
    }
}

TEST(Labels, NamesRoundTripAndResetTexts) {
    for (Label label : AllLabels()) EXPECT_EQ(LabelFromName(LabelName(label)), label);
    EXPECT_EQ(LabelFromName("LabelFile"), std::nullopt);  // a caption label, not a value label

    MemoryDisplay display;
    for (Label label : AllLabels()) EXPECT_EQ(display.Text(label), "") << LabelName(label);
    display.AddItem("x.frm");
    display.SetCaption(Label::LabelFileT, "x.frm");
    display.ResetFigures();
    EXPECT_TRUE(display.Items().empty());
    EXPECT_EQ(display.Text(Label::LabelFileT), "");
    EXPECT_EQ(display.Text(Label::LabelTypeT), "");
    EXPECT_EQ(display.Text(Label::LabelSizeT), "0b");
    EXPECT_EQ(display.Text(Label::LabelLineT), "0 (0b)");
    EXPECT_EQ(display.Text(Label::LabelUserDocumentT), "0");
    EXPECT_EQ(display.Text(Label::LabelBinaryTotalT), "0");  // bare, not "0b"
    EXPECT_EQ(display.Text(Label::LabelTotalFileT), "0 (0b)");
}

}  // namespace
}  // namespace quibex
