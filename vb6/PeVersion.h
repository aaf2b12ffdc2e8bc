#pragma once
// The version resource (VS_VERSION_INFO) of a PE image: an .exe, .dll or
// .ocx that a project references. Portable: the image's bytes are read as
// they are, no loader is asked, and every offset the image gives is checked
// against the bytes there are, so a damaged or hostile file yields nothing
// rather than a read out of bounds.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quibex::vb6 {

struct PeVersion {
    std::array<std::uint16_t, 4> fileVersion{};     // 6.1.98.39
    std::array<std::uint16_t, 4> productVersion{};
    // From the first string table, UTF-8; empty when the image has none.
    std::string companyName;
    std::string fileDescription;
    std::string productName;

    // "6.1.98.39"
    std::string FileVersionText() const;
};

// The version of the PE image `image`; nothing when the bytes are no PE
// image, carry no version resource or a damaged one.
std::optional<PeVersion> ReadPeVersion(std::string_view image);

}  // namespace quibex::vb6
