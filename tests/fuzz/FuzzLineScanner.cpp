// Feeds arbitrary bytes to the line scanner in arbitrary pieces, with and
// without a double-byte code page, and compares every line with a plain
// byte-by-byte reading of the whole text.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/LineScanner.h"

namespace {

using quibex::CodePage;
using quibex::Figure;

struct Line {
    Figure chars;
    bool code;
    bool operator==(const Line&) const = default;
};

// The rules, written as directly as possible.
std::vector<Line> Reference(std::string_view text, const CodePage& cp) {
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
            open = true;
        }
    }
    if (open) lines.push_back(current);

    std::vector<Line> out;
    bool inInterface = true;
    for (const std::string& line : lines) {
        // Characters, and the text with trail bytes blanked for the search.
        Figure chars = 0;
        std::string folded;
        for (std::size_t i = 0; i < line.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(line[i]);
            ++chars;
            if (cp.doubleByte && cp.IsLeadByte(c)) {
                folded += '\0';
                if (i + 1 < line.size()) {
                    folded += '\0';
                    ++i;
                }
                continue;
            }
            folded += static_cast<char>((c >= 'A' && c <= 'Z') ? c | 0x20 : c);
        }
        if (inInterface) {
            for (std::string_view keyword : quibex::kCodeKeywords) {
                if (folded.find(keyword) != std::string::npos) inInterface = false;
            }
        }
        out.push_back({chars, !inInterface});
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    CodePage cp;
    if (data[0] & 1) {
        cp.AddLeadRange(0x81, 0x9F);
        cp.AddLeadRange(0xE0, 0xFC);
    }
    // Small pieces split CR LF pairs and keywords; large ones let the
    // 64-byte code runs work.
    std::size_t chunk = data[1] < 128 ? 1 + data[1] % 64 : 64 + (data[1] - 128) * 32u;
    std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    std::vector<Line> got;
    quibex::LineScanner scanner(cp);
    auto onLine = [&](Figure chars, bool code) { got.push_back({chars, code}); };
    for (std::size_t i = 0; i < text.size(); i += chunk) {
        scanner.Feed(text.data() + i, std::min(chunk, text.size() - i), onLine);
    }
    scanner.Finish(onLine);
    std::vector<Line> expected = Reference(text, cp);
    if (got != expected) std::abort();

    // Again with code lines counted in runs, wanting every `every`-th line
    // on its own: the sums per part must not change, and no run may pass
    // over a line the sink wanted to see.
    struct Batch {
        Figure every, until;
        Figure sums[4] = {};
        void OnLine(Figure chars, bool code) {
            sums[code ? 2 : 0] += 1;
            sums[code ? 3 : 1] += chars;
            if (--until == 0) until = every;
        }
        void OnCodeLines(Figure lines, Figure chars) {
            if (lines <= 0 || lines >= until) std::abort();
            sums[2] += lines;
            sums[3] += chars;
            until -= lines;
        }
        Figure CodeLineBudget() const { return until; }
    } batch{1 + data[0] / 2, 1 + data[0] / 2};
    quibex::LineScanner batchScanner(cp);
    for (std::size_t i = 0; i < text.size(); i += chunk) {
        batchScanner.Feed(text.data() + i, std::min(chunk, text.size() - i), batch);
    }
    batchScanner.Finish(batch);
    Figure sums[4] = {};
    for (const Line& l : expected) {
        sums[l.code ? 2 : 0] += 1;
        sums[l.code ? 3 : 1] += l.chars;
    }
    for (int i = 0; i < 4; ++i) {
        if (sums[i] != batch.sums[i]) std::abort();
    }
    return 0;
}
