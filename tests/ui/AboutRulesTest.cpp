// The About window's rules that need no window: the version text, the
// pointer in twips and on a label, the link targets, and the layout.
#include <gtest/gtest.h>

#include <set>

#include "common/Version.h"
#include "ui/AboutRules.h"

namespace quibex {
namespace {

TEST(VersionText, PadsTheMinorToTwoAndTheRevisionToFourDigits) {
    struct Case {
        int major, minor, revision;
        const char* text;
    } cases[] = {
        // the program's own, as the generated version header writes it
        {QUIBEX_VERSION_MAJOR, QUIBEX_VERSION_MINOR, QUIBEX_VERSION_REVISION, QUIBEX_VERSION_TEXT},
        {1, 5, 5, "1.05.0005"},         // minor below 10
        {1, 9, 0, "1.09.0000"},
        {1, 10, 0, "1.10.0000"},        // 10 needs no "0"
        {1, 123, 5, "1.123.0005"},      // a longer minor stays whole
        {1, 0, 0, "1.00.0000"},
        {1, 70, 999, "1.70.0999"},
        {1, 70, 1000, "1.70.1000"},
        {1, 70, 12345, "1.70.12345"},   // a longer revision stays whole
        {12, 70, 5, "12.70.0005"},      // the major is never padded
        {0, 0, 0, "0.00.0000"},
        {65535, 65535, 65535, "65535.65535.65535"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VersionText(c.major, c.minor, c.revision), c.text) << c.major << " " << c.minor << " " << c.revision;
    }
}

TEST(PixelsToTwips, FollowsTheRealDpi) {
    struct Case {
        int pixels, dpi, twips;
    } cases[] = {
        {0, 96, 0},    {1, 96, 15},   {136, 96, 2040}, {-3, 96, -45},  // 15 twips a pixel
        {1, 120, 12},  {1, 144, 10},  {-1, 144, -10},
        {1, 192, 8},   {-1, 192, -8},  // 7.5 rounds away from zero
        {3, 192, 23},                  // 22.5
        {7, 0, 105},   {7, -1, 105},   // no usable DPI: as at 96
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelsToTwips(c.pixels, c.dpi), c.twips) << c.pixels << " at " << c.dpi;
    }
}

TEST(IsOver, CountsAllFourEdgesOfTheLabel) {
    const TwipsRect email = FindAboutLabel(IDC_LBLEMAIL)->rect;  // 660, 900, 1380 x 195
    struct Case {
        int x, y;
        bool over;
    } cases[] = {
        {660, 900, true},    {2040, 1095, true},  // top-left and bottom-right corners
        {2040, 900, true},   {660, 1095, true},
        {1000, 1000, true},
        {659, 1000, false},  {2041, 1000, false},  // one twip beyond each edge
        {1000, 899, false},  {1000, 1096, false},
        {-15, -15, false},   {100000, 100000, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsOver(email, c.x, c.y), c.over) << c.x << ", " << c.y;
    }
    // No wrap-around at the end of the range.
    EXPECT_TRUE(IsOver({2147483000, 0, 647, 10}, 2147483647, 5));
    EXPECT_FALSE(IsOver({2147483000, 0, 647, 10}, -2147483647, 5));
}

TEST(IsOver, TheLinksRightAndBottomPixelsAt96DpiCount) {
    // At 96 dpi lblEmail's right edge, 2040 twips, is exactly pixel 136, and
    // its bottom, 1095 twips, pixel 73.
    const TwipsRect email = FindAboutLabel(IDC_LBLEMAIL)->rect;
    EXPECT_TRUE(IsOver(email, PixelsToTwips(136, 96), PixelsToTwips(73, 96)));
    EXPECT_FALSE(IsOver(email, PixelsToTwips(137, 96), PixelsToTwips(73, 96)));
    EXPECT_FALSE(IsOver(email, PixelsToTwips(136, 96), PixelsToTwips(74, 96)));
}

TEST(AboutLayout, LinksAreApartAndEveryLabelFitsTheClientArea) {
    const TwipsRect email = FindAboutLabel(IDC_LBLEMAIL)->rect;
    const TwipsRect url = FindAboutLabel(IDC_LBLURL)->rect;
    // No point is over both links, so moving between them swaps one
    // underline for the other.
    EXPECT_LT(email.top + email.height, url.top);

    std::set<int> ids;
    std::set<std::string_view> names;
    int links = 0;
    for (const AboutLabel& label : kAboutLabels) {
        EXPECT_GE(label.rect.left, 0) << label.name;
        EXPECT_GE(label.rect.top, 0) << label.name;
        EXPECT_LE(label.rect.left + label.rect.width, kAboutClientWidth) << label.name;
        EXPECT_LE(label.rect.top + label.rect.height, kAboutClientHeight) << label.name;
        EXPECT_TRUE(ids.insert(label.id).second) << label.name;
        EXPECT_TRUE(names.insert(label.name).second) << label.name;
        EXPECT_EQ(FindAboutLabel(label.id), &label) << label.name;
        links += label.link;
    }
    EXPECT_EQ(links, 2);
    EXPECT_EQ(FindAboutLabel(0), nullptr);
}

TEST(Links, TheUrlTagOverridesTheTextAndNothingIsEscaped) {
    struct Case {
        const char* tag;
        const char* text;
        const char* target;
    } cases[] = {
        {"", "https://quibex.example/", "https://quibex.example/"},
        {"https://other.example/a b", "https://quibex.example/", "https://other.example/a b"},
        {"", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(UrlLink(c.tag, c.text), c.target) << c.tag;

    EXPECT_EQ(MailtoLink("a&b c@x.example", "Quibex ?&"), "mailto:a&b c@x.example?subject=Quibex ?&");
}

}  // namespace
}  // namespace quibex
