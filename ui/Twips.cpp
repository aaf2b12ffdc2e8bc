#include "ui/Twips.h"

#include <cstdint>

namespace quibex {

namespace {

// value * numerator / denominator, rounded half away from zero, in 64 bits so
// that no designed length can overflow on the way.
int ScaleRounded(std::int64_t value, std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t product = value * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t result = product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(result);
}

int UsableDpi(int dpi) { return dpi > 0 ? dpi : kDefaultDpi; }

}  // namespace

int TwipsToPixels(int twips, int dpi) { return ScaleRounded(twips, UsableDpi(dpi), kTwipsPerInch); }

PixelRect ToPixels(const TwipsRect& rect, int dpiX, int dpiY) {
    const int left = TwipsToPixels(rect.left, dpiX);
    const int top = TwipsToPixels(rect.top, dpiY);
    const int right = TwipsToPixels(rect.left + rect.width, dpiX);
    const int bottom = TwipsToPixels(rect.top + rect.height, dpiY);
    return {left, top, right - left, bottom - top};
}

int FontHeightPixels(int hundredthsOfPoint, int dpi) {
    // 1 pt = 20 twips, so hundredths of a point are fifths of a twip.
    return -ScaleRounded(hundredthsOfPoint, UsableDpi(dpi), 100 * 72);
}

}  // namespace quibex
