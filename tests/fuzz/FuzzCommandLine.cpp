// Parses any argument text. The parser must not fail, every name must come
// out in its stored (lower-case) form, and the argument part of a command
// line must be a tail of it.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "setup/mdlParam.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace p = quibex::mdlParam;
    // Two bytes a UTF-16 unit; the odd byte picks the letters of a common case.
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (size % 2) text += L" /Setup:x";

    for (const p::CommandParameter& parameter : p::ParseParameters(text)) {
        if (p::LowerCase(parameter.Name) != parameter.Name) std::abort();
    }
    std::wstring arguments = p::ArgumentText(text);
    if (arguments.size() > text.size() || text.compare(text.size() - arguments.size(), arguments.size(), arguments) != 0) {
        std::abort();
    }
    p::ParseCommandLine(text);
    if (p::CommandParameters() != p::ParseParameters(text)) std::abort();
    return 0;
}
