// Reads the version resource of arbitrary bytes: every offset a PE image
// gives must be checked before it is followed, whatever the bytes say.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vb6/PeVersion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto version = quibex::vb6::ReadPeVersion(std::string_view(reinterpret_cast<const char*>(data), size));
    // Strings come from the image, so they are shorter than it.
    if (version && version->companyName.size() > size * 2) std::abort();
    return 0;
}
