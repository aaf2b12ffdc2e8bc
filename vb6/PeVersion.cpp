#include "vb6/PeVersion.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "vb6/pe/PeImage.h"

namespace quibex::vb6 {

namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;

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
    const ByteView bytes(data);
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
    const ByteView fixed(root->value);
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
    const std::optional<PeImage> image = PeImage::Open(data);
    if (!image) return std::nullopt;
    const std::vector<std::string_view> found = image->Resources(PeResourceKey::Number(kRtVersion));
    if (found.empty()) return std::nullopt;
    return ParseVersionInfo(found.front());
}

}  // namespace quibex::vb6
