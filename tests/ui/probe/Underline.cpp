#include "tests/ui/probe/Underline.h"

#include <algorithm>

namespace quibex::probe {

InkReading ReadInk(const std::uint32_t* pixels, int width, int height, std::uint32_t ink) {
    InkReading reading;
    if (!pixels || width <= 0 || height <= 0) return reading;
    ink &= 0xFFFFFF;
    int left = width, right = -1, longestRun = 0;
    for (int y = 0; y < height; ++y) {
        int run = 0;
        for (int x = 0; x < width; ++x) {
            if ((pixels[static_cast<long>(y) * width + x] & 0xFFFFFF) == ink) {
                left = std::min(left, x);
                right = std::max(right, x);
                longestRun = std::max(longestRun, ++run);
            } else {
                run = 0;
            }
        }
    }
    reading.inked = right >= 0;
    reading.underlined = reading.inked && longestRun >= std::max(8, (right - left + 1) / 2);
    return reading;
}

}  // namespace quibex::probe
