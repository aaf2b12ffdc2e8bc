#pragma once
// Window layouts are designed in twips (1/1440 inch). These turn them into
// pixels at the screen's real resolution, so that the windows keep their
// designed size at any DPI. Portable: no <windows.h> here.

namespace quibex {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDefaultDpi = 96;  // 15 twips per pixel

// Pixels for a length in twips at `dpi` dots per inch, rounded to the nearest
// pixel (halves away from zero). A dpi of 0 or less counts as 96.
int TwipsToPixels(int twips, int dpi);

// A rectangle in twips: left, top, width, height, as the layouts give them.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct PixelRect {
    int left;
    int top;
    int width;
    int height;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The pixel rectangle of a twips rectangle. The edges are converted, not the
// sizes, so that controls which touch in twips still touch in pixels.
PixelRect ToPixels(const TwipsRect& rect, int dpiX, int dpiY);

// The rectangle `inner`, positioned relative to `outer`'s top-left corner, as
// a rectangle relative to whatever `outer` is relative to.
constexpr TwipsRect Offset(const TwipsRect& inner, const TwipsRect& outer) {
    return {outer.left + inner.left, outer.top + inner.top, inner.width, inner.height};
}

// The pixel height of a font of `hundredthsOfPoint` (825 for 8.25 pt), as the
// negative character height that font creation takes. One point is 20 twips.
int FontHeightPixels(int hundredthsOfPoint, int dpi);

}  // namespace quibex
