// The HTML report in a real browser: Chromium, headless, opens the page
// from disk with "#selftest", where the page's script sorts once by a
// click on a column head, clicks a treemap tile and writes what it saw
// into the page. The test reads the page back (--dump-dom) and holds the
// table against the JSON report. Without Chromium the tests are skipped,
// and say so.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "engine/MemberStatistics.h"
#include "tests/report/RunProcess.h"
#include "tests/support/TestSupport.h"

namespace quibex::test {
namespace {

using nlohmann::json;

// QUIBEX_CHROMIUM, or the first Chromium on PATH; empty when there is none.
std::string FindChromium() {
    if (const char* given = std::getenv("QUIBEX_CHROMIUM"); given && *given) return given;
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        for (const char* name : {"chromium", "chromium-browser", "google-chrome"}) {
            const std::filesystem::path candidate = std::filesystem::path(folder) / name;
            if (std::filesystem::exists(candidate)) return candidate.string();
        }
    }
    return {};
}

// Text as the browser serialises it, back to plain text, tags dropped.
std::string PlainText(const std::string& html) {
    std::string text = std::regex_replace(html, std::regex("<[^>]*>"), "");
    for (const auto& [entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "}, {"&amp;", "&"}}) {
        text = std::regex_replace(text, std::regex(entity), c);
    }
    return text;
}

struct BrowserPage {
    std::string dom;    // the page as the browser holds it after the self-test
    json selftest;      // what the page's script wrote
    json report;        // quibex-report --format json of the same project
    std::vector<std::string> keys;               // the table's column keys
    std::vector<std::pair<int, std::vector<std::string>>> rows;  // member index, cell texts
};

// Writes the HTML and the JSON report of `project` (in `fixture`) and opens
// the page in `chromium`.
BrowserPage OpenReport(const std::string& chromium, const std::string& fixture, const std::string& project,
                       const std::vector<std::string>& options) {
    TempDir dir;
    BrowserPage page;
    const std::string html = dir.Join("report.html");
    std::vector<std::string> args = options;
    args.insert(args.end(), {"--format", "html", project, "-o", html});
    const ProcessResult written = RunProcess(ReporterProgram(), args, DataPath(fixture));
    EXPECT_TRUE(written.exitCode == 0 || written.exitCode == 1) << written.err;
    const ProcessResult report = RunProcess(ReporterProgram(), {"--format", "json", project}, DataPath(fixture));
    page.report = json::parse(report.out);

    const ProcessResult browser = RunProcess(
        chromium,
        {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-extensions",
         "--user-data-dir=" + dir.Join("profile"), "--virtual-time-budget=3000", "--window-size=1400,900", "--dump-dom",
         "file://" + html + "#selftest"},
        dir.Path());
    EXPECT_EQ(browser.exitCode, 0) << browser.err;
    page.dom = browser.out;

    std::smatch match;
    if (std::regex_search(page.dom, match, std::regex("<pre id=\"selftest\">([^<]*)</pre>"))) {
        page.selftest = json::parse(PlainText(match[1]));
    }
    const std::regex head("<th[^>]*data-key=\"([^\"]+)\"");
    for (auto it = std::sregex_iterator(page.dom.begin(), page.dom.end(), head); it != std::sregex_iterator(); ++it) {
        page.keys.push_back((*it)[1]);
    }
    const std::regex row("<tr id=\"m\\d+\" data-i=\"(\\d+)\"[^>]*>(.*?)</tr>");
    const std::regex cell("<td[^>]*>(.*?)</td>");
    for (auto it = std::sregex_iterator(page.dom.begin(), page.dom.end(), row); it != std::sregex_iterator(); ++it) {
        const std::string cells = (*it)[2];
        std::vector<std::string> texts;
        for (auto c = std::sregex_iterator(cells.begin(), cells.end(), cell); c != std::sregex_iterator(); ++c) {
            texts.push_back((*c)[1]);
        }
        page.rows.emplace_back(std::stoi((*it)[1]), std::move(texts));
    }
    return page;
}

class HtmlInBrowser : public testing::Test {
protected:
    void SetUp() override {
        chromium_ = FindChromium();
        if (chromium_.empty()) GTEST_SKIP() << "no Chromium found (set QUIBEX_CHROMIUM): the browser tests did not run";
    }
    std::string chromium_;
};

TEST_F(HtmlInBrowser, TableHoldsTheJsonFiguresAndSortsByAClickedColumn) {
    const struct {
        const char* fixture;
        const char* project;
        std::vector<std::string> options;
    } cases[] = {
        {"Hostile", "Hostile.vbp", {"--detail"}},
        {"Model", "Model.vbp", {"--detail"}},
        {"Sample", "Sample.vbp", {}},
        {"Group", "Group.vbg", {}},
        {"Group", "Broken.vbg", {"--detail"}},  // stops at a project that cannot be read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.project);
        const BrowserPage page = OpenReport(chromium_, c.fixture, c.project, c.options);
        ASSERT_TRUE(page.selftest.is_object()) << "the page's script did not run:\n" << page.dom.substr(0, 2000);
        EXPECT_EQ(page.selftest["errors"], json::array());
        EXPECT_EQ(page.selftest["sortKey"], "code");
        // Every column in sight at 1400 pixels, without scrolling sideways.
        EXPECT_EQ(page.selftest["tableFits"], true);
        // A click on a tile brought up that member's row.
        EXPECT_TRUE(page.selftest["tile"].is_number());
        EXPECT_EQ(page.selftest["focused"], page.selftest["tile"]);

        const json& members = page.report["members"];
        ASSERT_EQ(page.rows.size(), members.size());
        std::vector<int> seen;
        Figure lastCodeLines = -1;
        for (const auto& [i, cells] : page.rows) {
            ASSERT_LT(i, static_cast<int>(members.size()));
            ASSERT_EQ(cells.size(), page.keys.size());
            const json& m = members[i];
            seen.push_back(i);
            for (std::size_t k = 0; k < page.keys.size(); ++k) {
                const std::string& key = page.keys[k];
                const std::string text = PlainText(cells[k]);
                // The figures in the window's forms.
                const Figure interfaceLines = m["interfaceLines"], codeLines = m["codeLines"];
                const Figure interfaceBytes = m["interfaceBytes"], codeBytes = m["codeBytes"];
                const std::map<std::string, std::string> forms = {
                    {"size", SizeText(m["fileSize"].get<Figure>())},
                    {"binary", SizeText(m["binarySize"].get<Figure>())},
                    {"interface", LineFigureText(interfaceLines, interfaceBytes)},
                    {"code", LineFigureText(codeLines, codeBytes)},
                    {"line", LineFigureText(interfaceLines + codeLines, interfaceBytes + codeBytes)},
                };
                if (key == "name") {
                    // The name, then the path and a mark when the file was not read.
                    EXPECT_EQ(text.substr(0, m["name"].get<std::string>().size()), m["name"]);
                } else if (forms.count(key)) {
                    EXPECT_EQ(text, forms.at(key)) << key;
                } else if (m.contains(key) && m[key].is_string()) {
                    EXPECT_EQ(text, m[key].get<std::string>()) << key;
                } else if (m.contains(key)) {
                    EXPECT_EQ(text, std::to_string(m[key].get<Figure>())) << key;
                }
            }
            // Sorted by code lines, ties in reading order.
            const Figure codeLines = m["codeLines"].get<Figure>();
            EXPECT_GE(codeLines, lastCodeLines);
            lastCodeLines = codeLines;
        }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end()) << "a member shown twice";
    }
}

TEST_F(HtmlInBrowser, HostileNamesShowAsTextAndMissingMembersAreMarked) {
    const BrowserPage page = OpenReport(chromium_, "Hostile", "Hostile.vbp", {"--detail"});
    ASSERT_TRUE(page.selftest.is_object()) << page.dom.substr(0, 2000);
    EXPECT_EQ(page.selftest["errors"], json::array());
    // Sorting moved the missing form (no code lines) first: the order changed.
    ASSERT_FALSE(page.rows.empty());
    EXPECT_EQ(page.rows[0].first, 0);
    EXPECT_NE(page.rows[1].first, 1);
    EXPECT_NE(page.dom.find("&lt;script&gt;alert(1)&lt;/script&gt;.frm"), std::string::npos);
    EXPECT_NE(page.dom.find("&lt;/script&gt;&lt;script&gt;alert(3)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(page.dom.find("&lt;/title&gt;&lt;script&gt;alert(2)&lt;/script&gt;"), std::string::npos);
    EXPECT_EQ(page.dom.find("<script>alert"), std::string::npos);
    EXPECT_NE(page.rows[0].second[1].find("not read"), std::string::npos);
    EXPECT_NE(page.dom.find("id=\"problems\""), std::string::npos);
}

}  // namespace
}  // namespace quibex::test
