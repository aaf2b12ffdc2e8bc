// Reads arbitrary bytes as a type library, bare or inside a PE image: every
// offset, count and chain the file gives must be checked before it is
// followed, and what is read must stay in proportion to the input.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vb6/typelib/TypeLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quibex::vb6::typelib;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t resources = CountTypeLibraryResources(bytes);
    for (std::size_t i = 0; i <= resources && i < 4; ++i) {
        const ReadResult read = ReadTypeLibrary(bytes, i);
        if (read.library.has_value() == !read.error.empty()) std::abort();
        if (!read.library) continue;
        std::size_t members = 0;
        for (const TypeInfo& type : read.library->types) {
            members += type.members.size();
            if (type.DefaultInterface() && *type.DefaultInterface() >= type.implemented.size()) std::abort();
        }
        if (read.library->types.size() > size / 0x64 || members > size / 8 + 16) std::abort();
    }
    return 0;
}
