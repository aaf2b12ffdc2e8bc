#include "vb6/PeVersion.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quibex::vb6 {

namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kHighBit = 0x80000000u;
// Real images have a few dozen sections; the format allows 65535.
constexpr std::uint32_t kMaxSections = 96;
// Resource trees are three levels deep; entries beyond this are not looked at.
constexpr std::uint32_t kMaxEntries = 4096;

// Little-endian reads that fail instead of reading past the end.
class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}

    std::size_t Size() const { return data_.size(); }
    bool Has(std::size_t offset, std::size_t count) const {
        return offset <= data_.size() && count <= data_.size() - offset;
    }
    std::optional<std::uint16_t> U16(std::size_t offset) const {
        if (!Has(offset, 2)) return std::nullopt;
        return static_cast<std::uint16_t>(Byte(offset) | Byte(offset + 1) << 8);
    }
    std::optional<std::uint32_t> U32(std::size_t offset) const {
        if (!Has(offset, 4)) return std::nullopt;
        return static_cast<std::uint32_t>(Byte(offset)) | static_cast<std::uint32_t>(Byte(offset + 1)) << 8 |
               static_cast<std::uint32_t>(Byte(offset + 2)) << 16 | static_cast<std::uint32_t>(Byte(offset + 3)) << 24;
    }
    std::string_view Slice(std::size_t offset, std::size_t count) const {
        if (offset > data_.size()) return {};
        return data_.substr(offset, count);
    }

private:
    unsigned Byte(std::size_t offset) const { return static_cast<unsigned char>(data_[offset]); }
    std::string_view data_;
};

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawPointer, rawSize;
};

// Where relative virtual address `rva` lies in the file, for `count` bytes.
std::optional<std::size_t> FileOffset(const std::vector<Section>& sections, const Bytes& image, std::uint32_t rva,
                                      std::uint32_t count) {
    for (const Section& s : sections) {
        const std::uint64_t span = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva < s.virtualAddress || rva - s.virtualAddress >= span) continue;
        const std::uint64_t inSection = rva - s.virtualAddress;
        if (inSection + count > s.rawSize) return std::nullopt;
        const std::uint64_t offset = s.rawPointer + inSection;
        if (!image.Has(static_cast<std::size_t>(offset), count)) return std::nullopt;
        return static_cast<std::size_t>(offset);
    }
    return std::nullopt;
}

// The entry of the resource directory at `directory` (an offset into the
// resource section) with numeric id `id`, or its first entry for no id.
// The result is the entry's OffsetToData word.
std::optional<std::uint32_t> DirectoryEntry(const Bytes& resources, std::uint32_t directory,
                                            std::optional<std::uint32_t> id) {
    const auto named = resources.U16(directory + std::size_t{12});
    const auto numbered = resources.U16(directory + std::size_t{14});
    if (!named || !numbered) return std::nullopt;
    const std::uint32_t count = std::min<std::uint32_t>(std::uint32_t{*named} + *numbered, kMaxEntries);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = directory + std::size_t{16} + std::size_t{8} * i;
        const auto name = resources.U32(entry);
        const auto data = resources.U32(entry + 4);
        if (!name || !data) return std::nullopt;
        if (!id || (!(*name & kHighBit) && *name == *id)) return *data;
    }
    return std::nullopt;
}

// UTF-16LE text up to its NUL or the end of `bytes`, as UTF-8.
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
    return out;
}

// One node of the version resource: wLength, wValueLength, wType, a
// UTF-16 key, then the value and the children, each 32-bit aligned.
struct Block {
    std::string key;
    std::string_view value;     // the value's bytes (a text's to the block's end)
    std::string_view children;  // the child blocks
};

constexpr std::size_t Aligned(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// The block at the start of `data` (itself 32-bit aligned in the resource),
// with `next` set past it; nothing when it is damaged.
std::optional<Block> ReadBlock(std::string_view data, std::size_t& next) {
    const Bytes bytes(data);
    const auto length = bytes.U16(0);
    const auto valueLength = bytes.U16(2);
    const auto type = bytes.U16(4);
    if (!length || !valueLength || !type || *length < 6 || *length > data.size()) return std::nullopt;
    const std::string_view block = data.substr(0, *length);
    next = Aligned(*length);
    Block result;
    std::size_t at = 6;
    while (at + 1 < block.size() && (block[at] != 0 || block[at + 1] != 0)) at += 2;
    result.key = Utf8FromUtf16(block.substr(6, at - 6));
    at = Aligned(at + 2);
    if (at > block.size()) at = block.size();
    // A text value's length counts UTF-16 units; binary values count bytes.
    const std::size_t valueBytes = std::min<std::size_t>(*type == 1 ? std::size_t{*valueLength} * 2 : *valueLength,
                                                         block.size() - at);
    if (*type != 1 && valueBytes < *valueLength) return std::nullopt;
    // Tools disagree on whether a text's length counts its NUL, so a text
    // is read up to its NUL within the rest of the block.
    result.value = block.substr(at, *type == 1 ? block.size() - at : valueBytes);
    const std::size_t childrenAt = std::min(Aligned(at + valueBytes), block.size());
    result.children = block.substr(childrenAt);
    return result;
}

// Calls `each` for every child block of `children`, until it returns false.
template <typename Each>
void ForEachChild(std::string_view children, Each each) {
    while (!children.empty()) {
        std::size_t next = 0;
        const std::optional<Block> child = ReadBlock(children, next);
        if (!child || !each(*child)) return;
        children = next >= children.size() ? std::string_view() : children.substr(next);
    }
}

std::optional<PeVersion> ParseVersionInfo(std::string_view data) {
    std::size_t next = 0;
    const std::optional<Block> root = ReadBlock(data, next);
    if (!root || root->key != "VS_VERSION_INFO") return std::nullopt;
    const Bytes fixed(root->value);
    const auto signature = fixed.U32(0);
    if (!signature || *signature != kFixedSignature || !fixed.Has(0, 24)) return std::nullopt;
    PeVersion version;
    auto split = [&](std::size_t at, std::array<std::uint16_t, 4>& parts) {
        const std::uint32_t high = *fixed.U32(at), low = *fixed.U32(at + 4);
        parts = {static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high & 0xFFFF),
                 static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low & 0xFFFF)};
    };
    split(8, version.fileVersion);
    split(16, version.productVersion);
    ForEachChild(root->children, [&](const Block& info) {
        if (info.key != "StringFileInfo") return true;
        ForEachChild(info.children, [&](const Block& table) {
            ForEachChild(table.children, [&](const Block& text) {
                std::string* field = text.key == "CompanyName"       ? &version.companyName
                                     : text.key == "FileDescription" ? &version.fileDescription
                                     : text.key == "ProductName"     ? &version.productName
                                                                     : nullptr;
                if (field) *field = Utf8FromUtf16(text.value);
                return true;
            });
            return false;  // the first table only
        });
        return false;
    });
    return version;
}

}  // namespace

std::string PeVersion::FileVersionText() const {
    return std::to_string(fileVersion[0]) + "." + std::to_string(fileVersion[1]) + "." +
           std::to_string(fileVersion[2]) + "." + std::to_string(fileVersion[3]);
}

std::optional<PeVersion> ReadPeVersion(std::string_view data) {
    const Bytes image(data);
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

    std::vector<Section> sections;
    const std::size_t table = optional + optionalSize;
    for (std::uint32_t i = 0; i < sectionCount && i < kMaxSections; ++i) {
        const std::size_t at = table + std::size_t{40} * i;
        const auto virtualSize = image.U32(at + 8), virtualAddress = image.U32(at + 12);
        const auto rawSize = image.U32(at + 16), rawPointer = image.U32(at + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawPointer) return std::nullopt;
        sections.push_back({*virtualAddress, *virtualSize, *rawPointer, *rawSize});
    }
    // The resource tree as one slice: every offset inside it is relative to its start.
    std::uint32_t treeSize = *resourceSize;
    std::optional<std::size_t> tree = FileOffset(sections, image, *resourceRva, treeSize);
    if (!tree) {
        // Some linkers give the directory a size past the section's raw data.
        for (const Section& s : sections) {
            if (*resourceRva >= s.virtualAddress && *resourceRva - s.virtualAddress < s.rawSize) {
                treeSize = s.rawSize - (*resourceRva - s.virtualAddress);
                tree = FileOffset(sections, image, *resourceRva, treeSize);
            }
        }
        if (!tree) return std::nullopt;
    }
    const Bytes resources(image.Slice(*tree, treeSize));
    // Type RT_VERSION, then its first name, then its first language.
    const auto byType = DirectoryEntry(resources, 0, kRtVersion);
    if (!byType || !(*byType & kHighBit)) return std::nullopt;
    const auto byName = DirectoryEntry(resources, *byType & ~kHighBit, std::nullopt);
    if (!byName || !(*byName & kHighBit)) return std::nullopt;
    const auto byLanguage = DirectoryEntry(resources, *byName & ~kHighBit, std::nullopt);
    if (!byLanguage || (*byLanguage & kHighBit)) return std::nullopt;
    const auto dataRva = resources.U32(*byLanguage);
    const auto dataSize = resources.U32(*byLanguage + std::size_t{4});
    if (!dataRva || !dataSize) return std::nullopt;
    const std::optional<std::size_t> at = FileOffset(sections, image, *dataRva, *dataSize);
    if (!at) return std::nullopt;
    return ParseVersionInfo(image.Slice(*at, *dataSize));
}

}  // namespace quibex::vb6
