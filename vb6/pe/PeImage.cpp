#include "vb6/pe/PeImage.h"

#include <algorithm>

namespace quibex::vb6 {

namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
// Real images have a few dozen sections; the format allows 65535.
constexpr std::uint32_t kMaxSections = 96;
// Resource trees are three levels deep; entries beyond this are not looked at.
constexpr std::uint32_t kMaxEntries = 4096;

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameAsciiText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

// Whether the directory entry's name word stands for `key`: a number, or
// (with the high bit) the offset of a counted UTF-16 name in the tree.
bool EntryIs(const ByteView& tree, std::uint32_t nameWord, const PeResourceKey& key) {
    if (key.name.empty()) return !(nameWord & kHighBit) && nameWord == key.id;
    if (!(nameWord & kHighBit)) return false;
    const std::size_t at = nameWord & ~kHighBit;
    const auto length = tree.U16(at);
    if (!length || !tree.Has(at + 2, std::size_t{*length} * 2)) return false;
    return SameAsciiText(Utf8FromUtf16(tree.Slice(at + 2, std::size_t{*length} * 2)), key.name);
}

// The OffsetToData words of the entries of the directory at `directory`
// that stand for `key`, or of all its entries for no key.
std::vector<std::uint32_t> DirectoryEntries(const ByteView& tree, std::uint32_t directory,
                                            const PeResourceKey* key, std::size_t most = kMaxEntries) {
    std::vector<std::uint32_t> found;
    const auto named = tree.U16(directory + std::size_t{12});
    const auto numbered = tree.U16(directory + std::size_t{14});
    if (!named || !numbered) return found;
    const std::uint32_t count = std::min<std::uint32_t>(std::uint32_t{*named} + *numbered, kMaxEntries);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = directory + std::size_t{16} + std::size_t{8} * i;
        const auto name = tree.U32(entry);
        const auto data = tree.U32(entry + 4);
        if (!name || !data) break;
        if (!key || EntryIs(tree, *name, *key)) found.push_back(*data);
        if (found.size() == most) break;
    }
    return found;
}

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string Utf8FromUtf16(std::string_view bytes) {
    std::string out;
    auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t c = unit(i);
        if (c == 0) break;
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::optional<std::size_t> PeImage::FileOffset(std::uint32_t rva, std::uint32_t count) const {
    for (const Section& s : sections_) {
        const std::uint64_t span = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva < s.virtualAddress || rva - s.virtualAddress >= span) continue;
        const std::uint64_t inSection = rva - s.virtualAddress;
        if (inSection + count > s.rawSize) return std::nullopt;
        const std::uint64_t offset = s.rawPointer + inSection;
        if (!image_.Has(static_cast<std::size_t>(offset), count)) return std::nullopt;
        return static_cast<std::size_t>(offset);
    }
    return std::nullopt;
}

std::optional<PeImage> PeImage::Open(std::string_view data) {
    PeImage result;
    result.image_ = ByteView(data);
    const ByteView& image = result.image_;
    if (data.size() < 0x40 || data[0] != 'M' || data[1] != 'Z') return std::nullopt;
    const std::size_t pe = *image.U32(0x3C);
    if (!image.Has(pe, 24) || image.Slice(pe, 4) != std::string_view("PE\0\0", 4)) return std::nullopt;
    const std::size_t coff = pe + 4;
    const std::uint16_t sectionCount = *image.U16(coff + 2);
    const std::uint16_t optionalSize = *image.U16(coff + 16);
    const std::size_t optional = coff + 20;
    const auto magic = image.U16(optional);
    if (!magic) return std::nullopt;
    std::size_t directories, directoryCount;
    if (*magic == 0x10B) {
        directories = 96, directoryCount = 92;
    } else if (*magic == 0x20B) {
        directories = 112, directoryCount = 108;
    } else {
        return std::nullopt;
    }
    // The resource table is data directory 2.
    const auto count = image.U32(optional + directoryCount);
    if (!count || *count < 3 || directories + 3 * 8 > optionalSize) return std::nullopt;
    const auto resourceRva = image.U32(optional + directories + 16);
    const auto resourceSize = image.U32(optional + directories + 20);
    if (!resourceRva || !resourceSize || *resourceRva == 0 || *resourceSize == 0) return std::nullopt;

    const std::size_t table = optional + optionalSize;
    for (std::uint32_t i = 0; i < sectionCount && i < kMaxSections; ++i) {
        const std::size_t at = table + std::size_t{40} * i;
        const auto virtualSize = image.U32(at + 8), virtualAddress = image.U32(at + 12);
        const auto rawSize = image.U32(at + 16), rawPointer = image.U32(at + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawPointer) return std::nullopt;
        result.sections_.push_back({*virtualAddress, *virtualSize, *rawPointer, *rawSize});
    }
    // The resource tree as one slice: every offset inside it is relative to its start.
    std::uint32_t treeSize = *resourceSize;
    std::optional<std::size_t> tree = result.FileOffset(*resourceRva, treeSize);
    if (!tree) {
        // Some linkers give the directory a size past the section's raw data.
        for (const Section& s : result.sections_) {
            if (*resourceRva >= s.virtualAddress && *resourceRva - s.virtualAddress < s.rawSize) {
                treeSize = s.rawSize - (*resourceRva - s.virtualAddress);
                tree = result.FileOffset(*resourceRva, treeSize);
            }
        }
        if (!tree) return std::nullopt;
    }
    result.tree_ = ByteView(image.Slice(*tree, treeSize));
    return result;
}

std::vector<std::string_view> PeImage::Resources(const PeResourceKey& type) const {
    std::vector<std::string_view> found;
    // Type, then each name, then the first language of that name.
    for (const std::uint32_t byType : DirectoryEntries(tree_, 0, &type, 1)) {
        if (!(byType & kHighBit)) continue;
        for (const std::uint32_t byName : DirectoryEntries(tree_, byType & ~kHighBit, nullptr)) {
            if (!(byName & kHighBit)) continue;
            const auto languages = DirectoryEntries(tree_, byName & ~kHighBit, nullptr, 1);
            if (languages.empty() || (languages.front() & kHighBit)) continue;
            const auto dataRva = tree_.U32(languages.front());
            const auto dataSize = tree_.U32(languages.front() + std::size_t{4});
            if (!dataRva || !dataSize) continue;
            if (const auto at = FileOffset(*dataRva, *dataSize)) found.push_back(image_.Slice(*at, *dataSize));
        }
    }
    return found;
}

}  // namespace quibex::vb6
