// Whether a link shows its underline, judged from a picture of its label:
// the probe reads the screen, since a font belongs to the process that
// made it. Portable: no <windows.h>.
#pragma once

#include <cstdint>

namespace quibex::probe {

struct InkReading {
    bool inked = false;       // some pixel has the text's colour
    bool underlined = false;  // and one row of it runs under the text
};

// `pixels` are `width` x `height` values 0xRRGGBB (higher bits ignored),
// row after row; `ink` is the text's colour. Letters have short horizontal
// strokes; an underline is one unbroken run across the text, so a row whose
// longest run of ink is at least half the width the ink spans (and 8 pixels)
// is taken for one.
InkReading ReadInk(const std::uint32_t* pixels, int width, int height, std::uint32_t ink);

}  // namespace quibex::probe
