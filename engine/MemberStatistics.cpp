#include "engine/MemberStatistics.h"

#include <cassert>
#include <limits>

namespace quibex {

MemberRecord& StatisticsModel::Members(Figure index) {
    assert(index >= 1 && index <= RecordCount());
    return records_[static_cast<std::size_t>(index - 1)];
}

const MemberRecord& StatisticsModel::Members(Figure index) const {
    assert(index >= 1 && index <= RecordCount());
    return records_[static_cast<std::size_t>(index - 1)];
}

void StatisticsModel::GrowMembers() {
    records_.emplace_back();
    MemberCount = RecordCount();
}

void StatisticsModel::Reset() {
    records_.clear();
    records_.shrink_to_fit();
    MemberCount = 0;
    BinaryTotal = 0;
    InterfaceLinesTotal = 0;
    InterfaceBytesTotal = 0;
    CodeLinesTotal = 0;
    CodeBytesTotal = 0;
}

std::string SizeText(Figure bytes) {
    // Below 1 KiB the number is the byte count itself (negative figures
    // included, which only corrupt input could produce).
    if (bytes < 1024) return std::to_string(bytes) + "b";
    const Figure unit = bytes < 1048576 ? 1024 : 1048576;
    const char* suffix = bytes < 1048576 ? "Kb" : "Mb";
    // Hundredths of the unit, truncated: split so that bytes * 100 cannot
    // overflow even for the largest 64-bit figure.
    Figure whole = bytes / unit;
    Figure hundredths = (bytes % unit) * 100 / unit;
    std::string text = std::to_string(whole);
    if (hundredths != 0) {
        text += '.';
        text += static_cast<char>('0' + hundredths / 10);
        if (hundredths % 10 != 0) text += static_cast<char>('0' + hundredths % 10);
    }
    return text + suffix;
}

std::string LineFigureText(Figure lines, Figure bytes) {
    return std::to_string(lines) + " (" + SizeText(bytes) + ")";
}

Figure LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    constexpr Figure kMax = std::numeric_limits<Figure>::max();
    Figure value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        if (value > (kMax - digit) / 10) {
            value = kMax;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

}  // namespace quibex
