// The HTML report's parts that need no browser: the treemap layout, the
// escaping of project texts, and the hash that admits the page's script.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

#include "report/text/Escape.h"
#include "report/writers/html/HtmlWriter.h"
#include "report/text/Sha256.h"
#include "report/writers/html/Treemap.h"

namespace quibex::report {
namespace {

double Overlap(const Rect& a, const Rect& b) {
    const double w = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    const double h = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

TEST(Treemap, TilesFillTheFrameInProportionWithoutOverlapping) {
    std::vector<double> many;
    for (int i = 0; i < 500; ++i) many.push_back(1 + (i * 7919 % 1000));
    const struct {
        const char* name;
        std::vector<double> weights;
        Rect frame;
    } cases[] = {
        {"one", {5}, {0, 0, 100, 50}},
        {"equal", {1, 1, 1, 1}, {0, 0, 100, 100}},
        {"one large, three tiny", {1000, 1, 1, 1}, {0, 0, 300, 100}},
        {"descending", {6, 6, 4, 3, 2, 2, 1}, {0, 0, 600, 400}},
        {"unsorted with zeros, tall and moved", {0, 3, 7, 0, 1}, {10, 20, 50, 200}},
        {"five hundred", many, {0, 0, 1200, 640}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Rect> tiles = SquarifiedLayout(c.weights, c.frame);
        ASSERT_EQ(tiles.size(), c.weights.size());
        double total = 0;
        for (double w : c.weights) total += w;
        const double eps = 1e-9 * c.frame.Area();
        double covered = 0;
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            const Rect& t = tiles[i];
            EXPECT_NEAR(t.Area(), c.frame.Area() * c.weights[i] / total, 1e-6 * c.frame.Area()) << i;
            EXPECT_GE(t.width, 0) << i;
            EXPECT_GE(t.height, 0) << i;
            EXPECT_GE(t.x, c.frame.x - 1e-9) << i;
            EXPECT_GE(t.y, c.frame.y - 1e-9) << i;
            EXPECT_LE(t.x + t.width, c.frame.x + c.frame.width + 1e-9) << i;
            EXPECT_LE(t.y + t.height, c.frame.y + c.frame.height + 1e-9) << i;
            for (std::size_t j = 0; j < i; ++j) EXPECT_LE(Overlap(t, tiles[j]), eps) << i << " and " << j;
            covered += t.Area();
        }
        EXPECT_NEAR(covered, c.frame.Area(), 1e-6 * c.frame.Area());
    }
    // Squarified: equal weights in a square frame are squares.
    for (const Rect& t : SquarifiedLayout({1, 1, 1, 1}, {0, 0, 100, 100})) EXPECT_NEAR(t.width, t.height, 1e-9);
}

TEST(Treemap, TilesBelowTheLeastAreaAreCountedOut) {
    const struct {
        std::vector<double> weights;
        double frameArea;
        std::size_t own;
    } cases[] = {
        {{100, 1, 1}, 102, 3},   // every tile a pixel or more
        {{1, 100, 1, 1}, 10, 1}, // the three small ones fold into one
        {{100, 1}, 10, 2},       // a single small one stays itself
        {{0, 0}, 10, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(TilesOfAtLeast(c.weights, c.frameArea, 1.0), c.own) << c.frameArea;
}

TEST(HtmlReport, ProjectTextsAreEscapedForEveryContext) {
    const std::pair<std::string, std::string> html[] = {
        {"<script>alert(1)</script>.frm", "&lt;script&gt;alert(1)&lt;/script&gt;.frm"},
        {"a \"b\" & 'c'", "a &quot;b&quot; &amp; &#39;c&#39;"},
        {"x\x01y\x7Fz\tq", "x\xEF\xBF\xBDy\xEF\xBF\xBDz\tq"},
        {"\xC2\x85", "\xEF\xBF\xBD"},  // a C1 control character
        {"caf\xE9", "caf\xC3\xA9"},    // Windows-1252 becomes UTF-8
    };
    for (const auto& [in, out] : html) EXPECT_EQ(HtmlEscape(in), out) << in;
    const std::pair<std::string, std::string> script[] = {
        {"\"</script><!--\"", "\"\\u003c/script\\u003e\\u003c!--\""},
        {"\"a&b\"", "\"a\\u0026b\""},
        {"\"\xE2\x80\xA8\xE2\x80\xA9\xE2\x80\xA6\"", "\"\\u2028\\u2029\xE2\x80\xA6\""},
    };
    for (const auto& [in, out] : script) EXPECT_EQ(ScriptSafeJson(in), out) << in;

    // A whole page: the hostile texts stay text and come back whole from
    // the data block.
    ReportData report;
    report.file = "</title><script>alert(0)</script>.vbp";
    MemberRow row;
    row.record.Path = "</script><script>alert(1)</script>.frm";
    row.record.TypeName = "Form";
    row.record.CodeLines = 10;
    row.name = "\xE2\x80\xA8<b>name</b>";
    report.members.push_back(row);
    report.projects.push_back({"P.vbp", 0, 1});
    report.unreadable.push_back({0, "cannot open '<img src=x onerror=alert(2)>'"});
    std::ostringstream page;
    WriteHtml(report, nullptr, "today", page);
    const std::string text = page.str();
    std::size_t scripts = 0;
    for (std::size_t at = text.find("<script"); at != std::string::npos; at = text.find("<script", at + 1)) ++scripts;
    EXPECT_EQ(scripts, 2u);  // the data block and the page's own script
    EXPECT_EQ(text.find("<img"), std::string::npos);
    EXPECT_EQ(text.find("<b>"), std::string::npos);
    const std::string open = "<script type=\"application/json\" id=\"quibex-data\">";
    const std::size_t begin = text.find(open) + open.size();
    const nlohmann::json data = nlohmann::json::parse(text.substr(begin, text.find("</script>", begin) - begin));
    EXPECT_EQ(data["members"][0][0], row.record.Path);
    EXPECT_EQ(data["members"][0][1], row.name);
    EXPECT_EQ(data["members"][0][10], 0);  // not read
}

TEST(HtmlReport, ScriptHashIsSha256InBase64) {
    auto hex = [](std::string_view bytes) {
        std::string out;
        for (std::uint8_t b : Sha256(bytes)) {
            char two[3];
            std::snprintf(two, sizeof two, "%02x", b);
            out += two;
        }
        return out;
    };
    EXPECT_EQ(hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(hex(std::string(1000, 'a')), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
    const std::pair<std::string, std::string> base64[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}};
    for (const auto& [in, out] : base64) EXPECT_EQ(Base64(in), out) << in;
    EXPECT_EQ(ScriptHashSource("abc"), "'sha256-ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0='");
}

}  // namespace
}  // namespace quibex::report
