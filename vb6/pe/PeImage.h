#pragma once
// The resources of a PE image (an .exe, .dll or .ocx), read from its bytes
// as they are: no loader is asked, and every offset the image gives is
// checked against the bytes there are, so a damaged or hostile file yields
// nothing rather than a read out of bounds. The version reader and the type
// library reader both find their resource here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quibex::vb6 {

// Little-endian reads that fail instead of reading past the end.
class ByteView {
public:
    ByteView() = default;
    explicit ByteView(std::string_view data) : data_(data) {}

    std::size_t Size() const { return data_.size(); }
    std::string_view Data() const { return data_; }
    bool Has(std::size_t offset, std::size_t count) const {
        return offset <= data_.size() && count <= data_.size() - offset;
    }
    std::optional<std::uint8_t> U8(std::size_t offset) const {
        if (!Has(offset, 1)) return std::nullopt;
        return Byte(offset);
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
    std::optional<std::int32_t> I32(std::size_t offset) const {
        const auto v = U32(offset);
        if (!v) return std::nullopt;
        return static_cast<std::int32_t>(*v);
    }
    // Up to `count` bytes from `offset`; shorter at the end, empty past it.
    std::string_view Slice(std::size_t offset, std::size_t count) const {
        if (offset > data_.size()) return {};
        return data_.substr(offset, count);
    }

private:
    unsigned Byte(std::size_t offset) const { return static_cast<unsigned char>(data_[offset]); }
    std::string_view data_;
};

// UTF-16LE text up to its NUL or the end of `bytes`, as UTF-8; a lone
// surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::string_view bytes);

// A resource type or name: a number (RT_VERSION is 16) or a text that is
// compared without regard to ASCII letter case ("TYPELIB").
struct PeResourceKey {
    std::uint32_t id = 0;
    std::string name;  // used when not empty

    static PeResourceKey Number(std::uint32_t id) { return {id, {}}; }
    static PeResourceKey Text(std::string name) { return {0, std::move(name)}; }
};

class PeImage {
public:
    // The image in `data` (which must outlive it); nothing when the bytes
    // are no PE32 or PE32+ image or carry no resource table.
    static std::optional<PeImage> Open(std::string_view data);

    // The bytes of every resource of type `type`, in directory order, each
    // in its first language; resources whose data lies outside the image
    // are left out.
    std::vector<std::string_view> Resources(const PeResourceKey& type) const;

private:
    struct Section {
        std::uint32_t virtualAddress, virtualSize, rawPointer, rawSize;
    };
    std::optional<std::size_t> FileOffset(std::uint32_t rva, std::uint32_t count) const;

    ByteView image_;
    ByteView tree_;  // the resource section from the directory's root
    std::vector<Section> sections_;
};

}  // namespace quibex::vb6
