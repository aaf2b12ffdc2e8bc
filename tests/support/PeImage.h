#pragma once
// A minimal PE image with one resource, laid out byte by byte, for the
// tests of the version and type library readers and of the inventory's
// referenced files.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quibex::test {

inline std::string U16(std::uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
inline std::string U32(std::uint32_t v) { return U16(v & 0xFFFF) + U16(v >> 16); }
inline std::string Utf16(std::string_view ascii) {
    std::string out;
    for (char c : ascii) out += U16(static_cast<unsigned char>(c));
    return out;
}
inline void Align4(std::string& b) {
    while (b.size() % 4) b += '\0';
}

// One node of a version resource; `text` values are UTF-16 with their NUL.
inline std::string VersionNode(std::string_view key, const std::string& value, bool text,
                               const std::vector<std::string>& children = {}) {
    std::string b(6, '\0');
    b += Utf16(key) + U16(0);
    Align4(b);
    b += value;
    for (const std::string& child : children) {
        Align4(b);
        b += child;
    }
    const std::string length = U16(static_cast<std::uint32_t>(b.size()));
    const std::string valueLength = U16(static_cast<std::uint32_t>(text ? value.size() / 2 : value.size()));
    b.replace(0, 6, length + valueLength + U16(text ? 1 : 0));
    return b;
}

// VS_VERSION_INFO with file version a.b.c.d and a string table.
inline std::string VersionResource(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d,
                                   std::string_view company, std::uint32_t signature = 0xFEEF04BD) {
    auto pair = [](std::uint16_t high, std::uint16_t low) { return U32(std::uint32_t{high} << 16 | low); };
    std::string fixed = U32(signature) + U32(0x10000) + pair(a, b) + pair(c, d) + pair(a, b) + pair(c, d);
    fixed += std::string(52 - fixed.size(), '\0');
    auto text = [](std::string_view key, std::string_view value) {
        return VersionNode(key, Utf16(value) + U16(0), true);
    };
    const std::string table =
        VersionNode("040904B0", "", true, {text("CompanyName", company), text("FileDescription", "Test Helper")});
    return VersionNode("VS_VERSION_INFO", fixed, false, {VersionNode("StringFileInfo", "", true, {table})});
}

// A PE32 (or PE32+) image of one .rsrc section holding `resource` with
// name 1, language 0x409, under the numbered type `type` (RT_VERSION by
// default) or, when `typeName` is given, under that named type ("TYPELIB").
inline std::string PeImage(const std::string& resource, bool plus = false, std::uint32_t type = 16,
                           std::string_view typeName = {}) {
    constexpr std::uint32_t kRva = 0x1000, kRaw = 0x200;
    auto directory = [](std::uint32_t id, std::uint32_t target, bool named = false) {
        return std::string(12, '\0') + U16(named ? 1 : 0) + U16(named ? 0 : 1) + U32(id) + U32(target);
    };
    // Three directories, the data entry, then the type's name and the data.
    std::string name;
    if (!typeName.empty()) name = U16(static_cast<std::uint32_t>(typeName.size())) + Utf16(typeName);
    Align4(name);
    const auto dataAt = static_cast<std::uint32_t>(88 + name.size());
    std::string tree = directory(typeName.empty() ? type : (0x80000000u | 88), 0x80000000u | 24, !typeName.empty()) +
                       directory(1, 0x80000000u | 48) + directory(0x409, 72);
    tree += U32(kRva + dataAt) + U32(static_cast<std::uint32_t>(resource.size())) + U32(0) + U32(0);
    tree += name + resource;
    const std::uint32_t optionalSize = plus ? 240 : 224;
    std::string image = "MZ" + std::string(0x3A, '\0') + U32(0x40);
    image += std::string("PE\0\0", 4) + U16(plus ? 0x8664 : 0x14C) + U16(1) + std::string(12, '\0') +
             U16(optionalSize) + U16(0x2102);
    std::string optional(optionalSize, '\0');
    const std::size_t dd = plus ? 112 : 96;
    optional.replace(0, 2, U16(plus ? 0x20B : 0x10B));
    optional.replace(dd - 4, 4, U32(16));
    optional.replace(dd + 16, 8, U32(kRva) + U32(static_cast<std::uint32_t>(tree.size())));
    image += optional;
    const auto treeSize = static_cast<std::uint32_t>(tree.size());
    image += std::string(".rsrc\0\0\0", 8) + U32(treeSize) + U32(kRva) + U32(treeSize) + U32(kRaw) +
             std::string(16, '\0');
    image += std::string(kRaw - image.size(), '\0');
    return image + tree;
}

}  // namespace quibex::test
