#include <gtest/gtest.h>

#include <map>
#include <string>

#include "ui/SelectionSummary.h"

namespace quibex {
namespace {

struct Member {
    const char* path;
    const char* type;
    Figure file, binary, interfaceLines, interfaceBytes, codeLines, codeBytes;
};

StatisticsModel ModelOf(std::initializer_list<Member> members) {
    StatisticsModel model;
    for (const Member& m : members) {
        model.GrowMembers();
        MemberRecord& r = model.Members(model.MemberCount);
        r = {m.path, m.type, m.file, m.binary, m.interfaceLines, m.interfaceBytes, m.codeLines, m.codeBytes};
    }
    model.MemberCount = 0;  // the run is over
    return model;
}

std::map<std::string, std::string> Texts(const SelectionTexts& texts) {
    std::map<std::string, std::string> byName;
    for (const auto& [label, text] : texts) byName[std::string(LabelName(label))] = text;
    return byName;
}

TEST(SummarizeSelection, TwoFormsSumTheirFigures) {
    const StatisticsModel model = ModelOf({
        {"frmA.frm", "Form", 1000, 0, 10, 300, 5, 200},
        {"frmB.frm", "Form", 2000, 1536, 20, 700, 15, 1000},
    });
    const std::map<std::string, std::string> expected = {
        {"LabelFileT", "Multi"},           {"LabelTypeT", "Form"},         {"LabelSizeT", "2.92Kb"},
        {"LabelBinaryT", "1.5Kb"},         {"LabelTotalT", "4.42Kb"},      {"LabelInterfaceT", "30 (1000b)"},
        {"LabelCodeT", "20 (1.17Kb)"},     {"LabelLineT", "50 (2.14Kb)"},
    };
    EXPECT_EQ(Texts(SummarizeSelection(model, {0, 1})), expected);
}

TEST(SummarizeSelection, WritesTheFileFrameInOrder) {
    const SelectionTexts texts = SummarizeSelection(StatisticsModel{}, {});
    const Label order[] = {Label::LabelFileT,  Label::LabelTypeT,      Label::LabelSizeT, Label::LabelBinaryT,
                           Label::LabelTotalT, Label::LabelInterfaceT, Label::LabelCodeT, Label::LabelLineT};
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i].first, order[i]) << i;
}

TEST(SummarizeSelection, NameAndKind) {
    const StatisticsModel model = ModelOf({
        {"frmA.frm", "Form", 1, 0, 0, 0, 0, 0},
        {"mdlA.bas", "Module", 1, 0, 0, 0, 0, 0},
        {"frmA.frm", "Form", 1, 0, 0, 0, 0, 0},  // the same member listed twice
        {"frma.frm", "Form", 1, 0, 0, 0, 0, 0},  // differs in case only
        {"", "", 1, 0, 0, 0, 0, 0},             // a member line without a path
    });
    struct Case {
        std::vector<Figure> selected;
        const char* name;
        const char* kind;
    } cases[] = {
        {{0}, "frmA.frm", "Form"},
        {{0, 1}, "Multi", "Multi"},
        {{0, 2}, "frmA.frm", "Form"},   // one path twice is still one name
        {{0, 3}, "Multi", "Form"},      // names compare case-sensitively
        {{0, 1, 2}, "Multi", "Multi"},  // once Multi, a later match does not undo it
        {{4, 0}, "frmA.frm", "Form"},   // an empty first name gives way to the next
        {{0, 4}, "Multi", "Multi"},
        {{}, "", ""},
    };
    for (const Case& c : cases) {
        auto texts = Texts(SummarizeSelection(model, c.selected));
        EXPECT_EQ(texts["LabelFileT"], c.name) << ::testing::PrintToString(c.selected);
        EXPECT_EQ(texts["LabelTypeT"], c.kind) << ::testing::PrintToString(c.selected);
    }
}

TEST(SummarizeSelection, NothingSelectedShowsZeroFigures) {
    const StatisticsModel model = ModelOf({{"frmA.frm", "Form", 1000, 10, 1, 1, 1, 1}});
    const std::map<std::string, std::string> expected = {
        {"LabelFileT", ""},       {"LabelTypeT", ""},          {"LabelSizeT", "0b"},     {"LabelBinaryT", "0b"},
        {"LabelTotalT", "0b"},    {"LabelInterfaceT", "0 (0b)"}, {"LabelCodeT", "0 (0b)"}, {"LabelLineT", "0 (0b)"},
    };
    EXPECT_EQ(Texts(SummarizeSelection(model, {})), expected);
}

TEST(SummarizeSelection, EntriesWithoutARecordArePassedOver) {
    const StatisticsModel model = ModelOf({{"frmA.frm", "Form", 1000, 0, 2, 20, 3, 30}});
    auto texts = Texts(SummarizeSelection(model, {-1, 0, 1, 7}));
    EXPECT_EQ(texts["LabelFileT"], "frmA.frm");
    EXPECT_EQ(texts["LabelSizeT"], "1000b");
    EXPECT_EQ(texts["LabelLineT"], "5 (50b)");
}

TEST(SummarizeSelection, SumsPastTwoGigabytesStayExact) {
    const StatisticsModel model = ModelOf({
        {"a.frm", "Form", 2147483647, 0, 0, 0, 0, 0},
        {"b.frm", "Form", 2147483647, 0, 0, 0, 0, 0},
    });
    EXPECT_EQ(Texts(SummarizeSelection(model, {0, 1}))["LabelSizeT"], "4095.99Mb");
}

}  // namespace
}  // namespace quibex
