#include <gtest/gtest.h>

#include "ui/Twips.h"

namespace quibex {
namespace {

TEST(TwipsToPixels, FifteenTwipsAPixelAt96Dpi) {
    struct Case {
        int twips;
        int pixels;
    } cases[] = {
        {6465, 431}, {5235, 349},  // the main window's client area
        {4680, 312}, {1275, 85},   // the processing window's
        {15, 1},     {0, 0},       {7, 0},  {8, 1},  // 7.5 twips is the rounding point
        {-15, -1},   {-7, 0},      {-8, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, 96), c.pixels) << c.twips;
    }
}

TEST(TwipsToPixels, FollowsTheRealDpi) {
    struct Case {
        int twips;
        int dpi;
        int pixels;
    } cases[] = {
        {1440, 120, 120}, {6465, 120, 539},  // 538.75
        {1440, 144, 144}, {6465, 144, 647},  // 646.5 rounds away from zero
        {6465, 192, 862}, {5235, 192, 698},
        {195, 72, 10},                        // 9.75
        {6465, 0, 431},   {6465, -5, 431},    // no usable DPI: as at 96
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
}

TEST(ToPixels, ControlsThatTouchInTwipsTouchInPixels) {
    // The list ends where the gap to the Total frame begins, and the frames'
    // label lines follow each other; at no DPI may a pixel open or overlap.
    for (int dpi : {72, 96, 110, 120, 125, 144, 168, 192, 240}) {
        for (int left = 0; left < 300; left += 7) {
            const TwipsRect a{left, left / 2, 1195, 195};
            const TwipsRect b{left + 1195, left / 2 + 195, 2400, 195};
            const PixelRect pa = ToPixels(a, dpi, dpi);
            const PixelRect pb = ToPixels(b, dpi, dpi);
            EXPECT_EQ(pa.left + pa.width, pb.left) << "dpi " << dpi << " left " << left;
            EXPECT_EQ(pa.top + pa.height, pb.top) << "dpi " << dpi << " left " << left;
        }
    }
}

TEST(ToPixels, HorizontalAndVerticalDpiApart) {
    EXPECT_EQ(ToPixels({1440, 1440, 1440, 720}, 96, 120), (PixelRect{96, 120, 96, 60}));
}

TEST(Offset, PlacesAFrameLabelInTheWindow) {
    const TwipsRect frameFile{30, 2940, 6405, 2265};
    const TwipsRect r = Offset({1410, 300, 4800, 195}, frameFile);
    EXPECT_EQ(r.left, 1440);
    EXPECT_EQ(r.top, 3240);
    EXPECT_EQ(r.width, 4800);
    EXPECT_EQ(r.height, 195);
}

TEST(FontHeightPixels, EightAndAQuarterPoints) {
    EXPECT_EQ(FontHeightPixels(825, 96), -11);
    EXPECT_EQ(FontHeightPixels(825, 120), -14);  // 13.75
    EXPECT_EQ(FontHeightPixels(825, 144), -17);  // 16.5
    EXPECT_EQ(FontHeightPixels(1200, 96), -16);
    EXPECT_EQ(FontHeightPixels(825, 0), -11);
}

}  // namespace
}  // namespace quibex
