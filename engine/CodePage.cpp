#include "engine/CodePage.h"

namespace quibex {

namespace {

struct ByteRange {
    unsigned char first, last;
};

struct DoubleByteTable {
    int number;
    ByteRange lead[2];
    ByteRange trail[3];
};

// Lead and trail bytes as Windows defines these code pages; an empty range
// is {0, 0}.
constexpr DoubleByteTable kDoubleByte[] = {
    {932, {{0x81, 0x9F}, {0xE0, 0xFC}}, {{0x40, 0x7E}, {0x80, 0xFC}, {0, 0}}},
    {936, {{0x81, 0xFE}, {0, 0}}, {{0x40, 0x7E}, {0x80, 0xFE}, {0, 0}}},
    {949, {{0x81, 0xFE}, {0, 0}}, {{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}}},
    {950, {{0x81, 0xFE}, {0, 0}}, {{0x40, 0x7E}, {0xA1, 0xFE}, {0, 0}}},
};

constexpr int kSingleByte[] = {874,  1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258,
                               437,  737,  775,  850,  852,  855,  857,  860,  861,  862,
                               863,  864,  865,  866,  869};

}  // namespace

std::optional<CodePage> CodePageFromNumber(int number) {
    for (const DoubleByteTable& table : kDoubleByte) {
        if (table.number != number) continue;
        CodePage page;
        page.number = number;
        page.doubleByte = true;
        for (const ByteRange& r : table.lead) {
            if (r.first) {
                for (unsigned c = r.first; c <= r.last; ++c) page.leadByte[c] = true;
            }
        }
        for (const ByteRange& r : table.trail) {
            if (r.first) page.SetTrailRange(r.first, r.last);
        }
        return page;
    }
    for (int single : kSingleByte) {
        if (single == number) {
            CodePage page;
            page.number = number;
            return page;
        }
    }
    return std::nullopt;
}

std::string_view KnownCodePages() {
    return "932, 936, 949, 950 (double-byte); 874, 1250-1258, 437, 737, 775, 850, 852, 855, 857, "
           "860-866, 869";
}

}  // namespace quibex
