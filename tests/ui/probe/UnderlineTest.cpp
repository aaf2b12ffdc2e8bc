#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/probe/Underline.h"

namespace quibex::probe {
namespace {

constexpr std::uint32_t kInk = 0x0A246A;
constexpr std::uint32_t kFace = 0xD4D0C8;

// A picture from rows of text: "#" is ink, "+" a pixel of another colour
// (antialiasing), anything else the background.
std::vector<std::uint32_t> Picture(const std::vector<std::string>& rows) {
    std::vector<std::uint32_t> pixels;
    for (const std::string& row : rows) {
        for (char c : row) pixels.push_back(c == '#' ? kInk : c == '+' ? 0x5A6A9A : kFace);
    }
    return pixels;
}

TEST(ReadInk, TellsTextFromUnderlinedText) {
    const std::string text1 = "  #   ##  #  #  ###   #  #   ##    #   ###   ";
    const std::string text2 = "  ### # # ##### #+#  ### # # # #  ### ### #  ";
    const std::string under = "  ######################################     ";
    const std::string empty = "                                             ";
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        bool inked, underlined;
        std::uint32_t alpha = 0;  // what a capture may hold above the colour
    } cases[] = {
        {"nothing painted", {empty, empty, empty}, false, false},
        {"text at rest", {text1, text2, text1, empty}, true, false},
        {"text underlined", {text1, text2, text1, under}, true, true},
        {"underlined, with alpha bits", {text1, under}, true, true, 0xFF000000u},
        {"a short word and its underline", {"  # ## #   ", "  #######  "}, true, false},  // 7 < 8
        {"a short word, longer underline", {"  # ## # #  ", "  ######### "}, true, true},
        {"an underline broken by another colour", {text1, "  ##################+###################     "},
         true, false},
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> pixels = Picture(c.rows);
        for (auto& p : pixels) p |= c.alpha;
        const int width = static_cast<int>(c.rows[0].size());
        const InkReading reading = ReadInk(pixels.data(), width, static_cast<int>(c.rows.size()), kInk);
        EXPECT_EQ(reading.inked, c.inked) << c.what;
        EXPECT_EQ(reading.underlined, c.underlined) << c.what;
    }
    EXPECT_FALSE(ReadInk(nullptr, 10, 10, kInk).inked);
}

}  // namespace
}  // namespace quibex::probe
