#include "ui/AboutRules.h"

#include <cstdint>

namespace quibex {

const AboutLabel* FindAboutLabel(int id) {
    for (const AboutLabel& label : kAboutLabels) {
        if (label.id == id) return &label;
    }
    return nullptr;
}

std::string VersionText(int major, int minor, int revision) {
    std::string text = std::to_string(major) + ".";
    if (minor < 10) text += "0";
    text += std::to_string(minor) + ".";
    const std::string digits = std::to_string(revision);
    if (digits.size() < 4) text.append(4 - digits.size(), '0');
    return text + digits;
}

int PixelsToTwips(int pixels, int dpi) {
    const std::int64_t usable = dpi > 0 ? dpi : kDefaultDpi;
    const std::int64_t product = static_cast<std::int64_t>(pixels) * kTwipsPerInch;
    const std::int64_t half = usable / 2;
    return static_cast<int>(product >= 0 ? (product + half) / usable : -((-product + half) / usable));
}

bool IsOver(const TwipsRect& label, int x, int y) {
    // In 64 bits: a label near the end of the int range must not wrap.
    const std::int64_t right = static_cast<std::int64_t>(label.left) + label.width;
    const std::int64_t bottom = static_cast<std::int64_t>(label.top) + label.height;
    return label.left <= x && x <= right && label.top <= y && y <= bottom;
}

std::string MailtoLink(std::string_view address, std::string_view subject) {
    std::string link = "mailto:";
    link += address;
    link += "?subject=";
    link += subject;
    return link;
}

std::string UrlLink(std::string_view tag, std::string_view text) { return std::string(tag.empty() ? text : tag); }

}  // namespace quibex
