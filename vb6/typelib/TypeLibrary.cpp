#include "vb6/typelib/TypeLibrary.h"

#include <array>
#include <cstdio>

#include "vb6/pe/PeImage.h"
#include "vb6/typelib/MsftReader.h"

namespace quibex::vb6::typelib {

std::string_view TypeKindName(TypeKind kind) {
    static constexpr std::array<std::string_view, 8> kNames = {"Enum",     "Record",  "Module", "Interface",
                                                                "Dispatch", "CoClass", "Alias",  "Union"};
    return kNames[static_cast<std::size_t>(kind)];
}

std::string_view MemberKindName(MemberKind kind) {
    static constexpr std::array<std::string_view, 6> kNames = {"Method",      "PropertyGet", "PropertyLet",
                                                               "PropertySet", "Variable",    "Constant"};
    return kNames[static_cast<std::size_t>(kind)];
}

std::optional<std::size_t> TypeInfo::DefaultInterface() const {
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < implemented.size(); ++i) {
        if (implemented[i].isSource) continue;
        if (implemented[i].isDefault) return i;
        if (!first) first = i;
    }
    // A coclass that marks none makes its first interface the default.
    return first;
}

std::optional<std::size_t> TypeInfo::DefaultSource() const {
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < implemented.size(); ++i) {
        if (!implemented[i].isSource) continue;
        if (implemented[i].isDefault) return i;
        if (!first) first = i;
    }
    return first;
}

std::string GuidText(std::string_view bytes) {
    if (bytes.size() < 16) return {};
    const ByteView b(bytes);
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", *b.U32(0), *b.U16(4),
                  *b.U16(6), *b.U8(8), *b.U8(9), *b.U8(10), *b.U8(11), *b.U8(12), *b.U8(13), *b.U8(14), *b.U8(15));
    return text;
}

namespace {

constexpr std::string_view kTypeLibResource = "TYPELIB";

std::vector<std::string_view> TypeLibResources(std::string_view bytes) {
    const std::optional<PeImage> image = PeImage::Open(bytes);
    if (!image) return {};
    return image->Resources(PeResourceKey::Text(std::string(kTypeLibResource)));
}

}  // namespace

std::size_t CountTypeLibraryResources(std::string_view bytes) { return TypeLibResources(bytes).size(); }

ReadResult ReadTypeLibrary(std::string_view bytes, std::size_t resourceIndex) {
    if (bytes.substr(0, 2) == "MZ") {
        const std::vector<std::string_view> found = TypeLibResources(bytes);
        if (found.empty()) return {std::nullopt, "no type library resource in the image"};
        if (resourceIndex >= found.size()) return {std::nullopt, "no such type library resource in the image"};
        bytes = found[resourceIndex];
    }
    if (bytes.substr(0, 4) == "MSFT") return ReadMsft(bytes);
    if (bytes.substr(0, 4) == "SLTG") return {std::nullopt, "SLTG type libraries are not supported"};
    return {std::nullopt, "not a type library"};
}

}  // namespace quibex::vb6::typelib
