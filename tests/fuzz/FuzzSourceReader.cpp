// The source reader on any bytes: it must not crash or read out of bounds,
// its five line classes must cover exactly the lines the engine counts, and
// reading the same bytes in other pieces must give the same model.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tests/vb6/ModelText.h"

using quibex::CodePage;
using quibex::vb6::test::Describe;
using quibex::vb6::test::EngineLines;
using quibex::vb6::test::ReadInPieces;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const CodePage codePage = (data[0] & 1) ? *quibex::CodePageFromNumber(932) : CodePage{};
    const std::size_t piece = 1 + data[1] % 97;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    const quibex::vb6::MemberModel whole = ReadInPieces(text, text.size() + 1, codePage);
    if (whole.lines.Total() != EngineLines(text, codePage)) std::abort();
    if (Describe(ReadInPieces(text, piece, codePage)) != Describe(whole)) std::abort();
    for (const quibex::vb6::Procedure& p : whole.procedures) {
        if (p.firstLine < 1 || p.lastLine < p.firstLine || p.lines.Total() != p.lastLine - p.firstLine + 1 ||
            p.complexity < 1 || p.nesting < 0) {
            std::abort();
        }
    }
    return 0;
}
