#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "engine/Display.h"
#include "engine/MemberStatistics.h"
#include "report/text/Escape.h"
#include "report/writers/JsonReportWriter.h"
#include "report/writers/TextWriter.h"
#include "report/text/Utf8.h"

namespace quibex::report {
namespace {

using testing::HasSubstr;

TEST(Utf8OrWindows1252, KeepsValidUtf8AndReadsEveryOtherByteAsWindows1252) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"plain ASCII \x01\x7f", "plain ASCII \x01\x7f"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},  // 2, 3, 4 bytes
        {"caf\xE9", "caf\xC3\xA9"},                          // Latin-1 range: U+00E9
        {"\x80\x9F\x85", "\xE2\x82\xAC\xC5\xB8\xE2\x80\xA6"},  // euro, Y diaeresis, ellipsis
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // undefined in 1252
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
        {"ab\xC3", "ab\xC3\x83"},                        // sequence cut off by the end
        {"\xC3(", "\xC3\x83("},                          // lead byte without continuation
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                // overlong "/"
        {"\xE0\x80\xAF", "\xC3\xA0\xE2\x82\xAC\xC2\xAF"},  // overlong, 3 bytes
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // past U+10FFFF
        {"\xE9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},          // both kinds in one text
    };
    for (const auto& [in, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(in));
        EXPECT_EQ(Utf8OrWindows1252(in), expected);
        // Whatever comes out is valid UTF-8, so it passes a second time unchanged.
        EXPECT_EQ(Utf8OrWindows1252(expected), expected);
    }
}

TEST(PrintableText, ShowsControlCharactersAsQuestionMarks) {
    EXPECT_EQ(PrintableText("plain caf\xC3\xA9 \xE2\x82\xAC"), "plain caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(PrintableText("a\tb\x1B[2Jc\x7F"), "a?b?[2Jc?");
    EXPECT_EQ(PrintableText("\xC2\x9B" "1m \xC2\xA0"), "?1m \xC2\xA0");  // C1 CSI goes, NBSP stays
}

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"", R"("")"},
        {"frmMain.frm", R"("frmMain.frm")"},
        {"..\\Shared\\a.bas", R"("..\\Shared\\a.bas")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"a/b", R"("a/b")"},
        {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
        {std::string("\0\x01\x1f", 3), R"("\u0000\u0001\u001f")"},
        {"\x7f", "\"\x7f\""},
        {"caf\xE9", "\"caf\xC3\xA9\""},  // a Windows-1252 name becomes UTF-8
        {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
    };
    for (const auto& [in, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(in));
        EXPECT_EQ(JsonString(in), expected);
    }
}

TEST(CsvField, QuotesOnlyFieldsThatNeedIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"Forms\\frmMain.frm", "Forms\\frmMain.frm"},
        {" spaced ", " spaced "},
        {"a,b.bas", "\"a,b.bas\""},
        {"say \"hi\".frm", "\"say \"\"hi\"\".frm\""},
        {"\"", "\"\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
    };
    for (const auto& [in, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(in));
        EXPECT_EQ(CsvField(in), expected);
    }
}

// A report built by hand, as a run over two members would leave it.
ReportData TwoMembers() {
    StatisticsModel stats;
    MemoryDisplay display;
    display.ResetFigures();
    stats.GrowMembers();
    stats.Members(1) = {"Forms\\caf\xE9.frm", "Form", 2048, 0, 10, 300, 5, 100};
    display.AddItem("caf\xE9.frm");
    stats.GrowMembers();
    stats.Members(2) = {"x\tb.bas", "Module", 10, 0, 0, 0, 1, 12};
    display.AddItem("x\tb.bas");
    stats.InterfaceLinesTotal = 10;
    stats.InterfaceBytesTotal = 300;
    stats.CodeLinesTotal = 6;
    stats.CodeBytesTotal = 112;
    display.SetCaption(Label::LabelFormT, "1");
    display.SetCaption(Label::LabelModuleT, "1");
    display.SetCaption(Label::LabelFileT, "x\tb.bas");
    stats.MemberCount = 0;
    // The converter is the one a Windows-1252 system would use.
    return CollectReport("G:\\P.vbp", stats, display, "", &Utf8OrWindows1252);
}

TEST(WriteJson, WritesCountsFromTheCountLabelsAndEveryTextAsEscapedUtf8) {
    std::ostringstream out;
    WriteJson(TwoMembers(), out);
    std::string json = out.str();
    EXPECT_THAT(json, HasSubstr(R"("file": "G:\\P.vbp",)"));
    EXPECT_THAT(json, HasSubstr("{\"path\": \"Forms\\\\caf\xC3\xA9.frm\", \"name\": \"caf\xC3\xA9.frm\","));
    EXPECT_THAT(json, HasSubstr(R"("LabelBinaryTotalT": "0",)")) << "the reset text stays until a member is listed";
    EXPECT_THAT(json, HasSubstr(R"({"path": "x\tb.bas", "name": "x\tb.bas", "type": "Module", "fileSize": 10,)"));
    EXPECT_THAT(json, HasSubstr(R"("counts": {"Form": 1, "MDI Form": 0, "Module": 1, "Class Module": 0,)"));
    EXPECT_THAT(json, HasSubstr(R"("totals": {"binary": 0, "interfaceLines": 10, "interfaceBytes": 300, )"
                                R"("codeLines": 6, "codeBytes": 112},)"));
    EXPECT_THAT(json, HasSubstr("\n  \"error\": null\n}\n"));
    EXPECT_EQ(json.find('\t'), std::string::npos) << "a raw tab is not allowed in a JSON string";
}

TEST(WriteText, LinesUpColumnsByCharactersNotBytes) {
    std::ostringstream out;
    WriteText(TwoMembers(), out);
    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::size_t> typeColumn;
    while (std::getline(lines, line)) {
        for (std::string_view type : {"Type", "Form", "Module"}) {
            std::size_t at = line.find("  " + std::string(type));
            if (at != std::string::npos) {
                typeColumn.push_back(CharacterCount(std::string_view(line).substr(0, at + 2)));
                break;
            }
        }
        if (typeColumn.size() == 3) break;
    }
    // "Forms\café.frm" is 14 characters (15 bytes); the column starts after it and two spaces.
    EXPECT_THAT(typeColumn, testing::ElementsAre(16, 16, 16));
    EXPECT_THAT(out.str(), HasSubstr("Forms\\caf\xC3\xA9.frm  Form     2Kb"));
    // A control character in a name would act on the terminal; it shows as "?".
    EXPECT_THAT(out.str(), HasSubstr("\nx?b.bas         Module   10b"));
}

}  // namespace
}  // namespace quibex::report
