// The rule table and what the check's formats make of it: the README's
// rule sections, --list-rules, fingerprints that outlive a moved line, the
// SARIF cut, XML text, and the CycloneDX version of the inventory. The
// formats' layouts are held to their schemas by ValidateCheckFormats.py.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "report/model/Rules.h"
#include "report/text/Escape.h"
#include "report/writers/SarifWriter.h"
#include "tests/report/ReportRun.h"
#include "tests/support/TestSupport.h"

namespace quibex::report {
namespace {

using nlohmann::json;
using test::JsonOf;
using test::RunIn;
using testing::HasSubstr;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(CheckRules, EachHasItsReadmeSectionWithItsExamples) {
    const std::string readme = ReadFile(quibex::test::DataPath("../../README.md"));
    ASSERT_FALSE(readme.empty());
    std::set<std::string_view> names;
    for (const CheckRule& rule : CheckRules()) {
        EXPECT_TRUE(names.insert(rule.name).second) << rule.name;
        // The help URI's anchor is the heading, and below it the help itself.
        EXPECT_THAT(RuleHelpUri(rule), testing::EndsWith("#" + std::string(rule.name)));
        const std::string section = "##### `" + std::string(rule.name) + "`\n\n" + RuleHelpMarkdown(rule);
        EXPECT_THAT(readme, HasSubstr(section)) << "the README's section should read:\n" << section;
    }
}

TEST(CheckRules, ListedWithLevelDefaultAndParameters) {
    const json list = JsonOf(RunIn(quibex::test::DataDir(), {"check", "--list-rules", "--format", "json"}));
    ASSERT_EQ(list["rules"].size(), CheckRules().size());
    for (std::size_t i = 0; i < CheckRules().size(); ++i) {
        const CheckRule& rule = CheckRules()[i];
        const json& row = list["rules"][i];
        EXPECT_EQ(row["name"], rule.name);
        EXPECT_EQ(row["level"], SeverityName(rule.level));
        EXPECT_EQ(row["onByDefault"], rule.onByDefault);
        EXPECT_EQ(row["parameters"].size(), rule.parameters.size());
    }
    const auto text = RunIn(quibex::test::DataDir(), {"check", "--list-rules"});
    EXPECT_EQ(text.exitCode, kExitOk);
    EXPECT_THAT(text.out, HasSubstr("\nthreshold       error    on       fail-on=(none)"));
    EXPECT_EQ(RunIn(quibex::test::DataDir(), {"check", "--list-rules", "--format", "sarif"}).exitCode, kExitUsage);
}

Finding At(std::string path, Figure line, std::string subject, std::string message = "m",
           Severity severity = Severity::Error) {
    return {"threshold", severity, std::move(path), line, std::move(message), std::move(subject)};
}

TEST(CheckFormats, FingerprintsOutliveMovedLinesAndTellFindingsApart) {
    struct Case {
        const char* why;
        Finding a, b;
        bool same;
    };
    const Case cases[] = {
        {"moved down", At("m.bas", 3, "x"), At("m.bas", 30, "x"), true},
        {"other letter case and separator", At("Src\\M.bas", 3, "x"), At("src/m.bas", 3, "x"), true},
        {"other subject", At("m.bas", 3, "x"), At("m.bas", 3, "y"), false},
        {"other file", At("m.bas", 3, "x"), At("n.bas", 3, "x"), false},
        {"no subject, figures changed", At("m.bas", 3, "", "line 3 of 90"), At("m.bas", 9, "", "line 9 of 91"), true},
        {"no subject, words changed", At("m.bas", 3, "", "too long"), At("m.bas", 3, "", "too deep"), false},
        {"warning became error", At("m.bas", 3, "x", "m", Severity::Warning), At("m.bas", 3, "x"), true},
    };
    for (const Case& c : cases) {
        const auto a = FindingFingerprints({c.a});
        const auto b = FindingFingerprints({c.b});
        EXPECT_EQ(a[0] == b[0], c.same) << c.why;
        EXPECT_EQ(a[0].size(), 64u);
    }
    // Two findings alike in all but the line (a Property Get and Let of one
    // name) keep two fingerprints, each the same on the next run.
    const auto twice = FindingFingerprints({At("m.bas", 3, "x"), At("m.bas", 8, "x")});
    EXPECT_NE(twice[0], twice[1]);
    EXPECT_EQ(twice, FindingFingerprints({At("m.bas", 4, "x"), At("m.bas", 9, "x")}));
}

TEST(CheckFormats, SarifCutKeepsErrorsFirstAndSaysSo) {
    const std::vector<Finding> findings = {At("a.bas", 1, "w1", "m", Severity::Warning), At("b.bas", 2, "e1"),
                                           At("c.bas", 3, "w2", "m", Severity::Warning), At("d.bas", 4, "e2")};
    FindingsContext run;
    run.baseFolder = "/work";
    run.rulesRun = {"threshold"};
    std::ostringstream out;
    run.maxResults = 3;
    WriteFindingsSarif(findings, run, out);
    const json log = json::parse(out.str());
    const json& results = log["runs"][0]["results"];
    ASSERT_EQ(results.size(), 3u);
    // The two errors and the first warning, in their own order.
    EXPECT_EQ(results[0]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"], "a.bas");
    EXPECT_EQ(results[1]["level"], "error");
    EXPECT_EQ(results[2]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"], "d.bas");
    EXPECT_EQ(log["runs"][0]["properties"]["resultsCut"], true);
    EXPECT_THAT(log["runs"][0]["invocations"][0]["toolExecutionNotifications"][0]["message"]["text"].get<std::string>(),
                HasSubstr("4 findings, of which the first 3"));

    std::ostringstream whole;
    run.maxResults = 4;
    WriteFindingsSarif(findings, run, whole);
    EXPECT_EQ(json::parse(whole.str())["runs"][0]["results"].size(), 4u);
    EXPECT_FALSE(json::parse(whole.str())["runs"][0]["invocations"][0].contains("toolExecutionNotifications"));

    // The cut is SARIF's: a JSON report, which is also a baseline, keeps every finding.
    EXPECT_EQ(RunIn(quibex::test::DataPath("Sample"), {"check", "--max-results", "5", "--format", "json", "Sample.vbp"})
                  .exitCode,
              kExitUsage);
}

TEST(CheckFormats, XmlTextHoldsAnyBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"a&b<c>\"d'", "a&amp;b&lt;c&gt;&quot;d&apos;"},
        {"tab\tline\r\n", "tab&#9;line&#13;&#10;"},
        {"bell\x07nul", "bell\xEF\xBF\xBDnul"},
        {"caf\xE9", "caf\xC3\xA9"},          // Windows-1252, as the project's files are
        {"\xEF\xBF\xBE!", "\xEF\xBF\xBD!"},  // U+FFFE is no XML character
        {"M\xC3\xBCller", "M\xC3\xBCller"},
    };
    for (const auto& [text, xml] : cases) EXPECT_EQ(XmlText(text), xml) << text;
}

TEST(InventorySpecVersion, CycloneDx16UnlessAskedFor15) {
    const std::string dir = quibex::test::DataPath("Inventory");
    auto version = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"inventory", "--format", "cyclonedx"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("Inventory.vbg");
        return JsonOf(RunIn(dir, args))["specVersion"];
    };
    EXPECT_EQ(version({}), "1.6");
    EXPECT_EQ(version({"--spec-version", "1.5"}), "1.5");
}

}  // namespace
}  // namespace quibex::report
