#pragma once
// Splits a byte stream into text lines and classifies them as interface or
// code, holding no more than a few bytes of any line: a 1 GiB single-line
// file is measured in constant memory.
//
// A line ends at CR LF, at a lone CR or at a lone LF (files checked out from
// git often have LF only); a last line without terminator still counts. A
// line's length is counted in characters of the code page: in a double-byte
// code page a lead byte and its trail byte are one character.
//
// The interface part of a file ends at the first line that holds one of the
// code keywords anywhere in it (case-insensitive, plain substring search);
// that line and all after it are code.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#if defined(__SSE2__) && !defined(QUIBEX_NO_SIMD)
#include <emmintrin.h>
#define QUIBEX_SCAN_SSE2 1
#endif

#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"

namespace quibex {

// The nine keywords that start the code part, each ending in one space.
inline constexpr std::string_view kCodeKeywords[] = {
    "sub ", "function ", "property get ", "property let ", "property set ",
    "dim ", "const ", "public ", "private ",
};

// What the scanner reports to. A sink that only wants single lines is a
// callable taking (characters, isCode). A sink that also takes runs of code
// lines counted together has these members:
//   void OnLine(Figure characters, bool isCode);
//   void OnCodeLines(Figure lines, Figure characters);  // whole code lines
//   Figure CodeLineBudget();  // the next line that must come through OnLine:
//                             // 1 is the very next one
// Counting the code part in runs is what makes it as fast as reading it.
template <class Sink>
concept BatchLineSink = requires(Sink& s, Figure n) {
    s.OnLine(n, true);
    s.OnCodeLines(n, n);
    { s.CodeLineBudget() } -> std::convertible_to<Figure>;
};

class LineScanner {
public:
    explicit LineScanner(const CodePage& codePage) : codePage_(codePage) {}

    // Feeds the next bytes of the file and reports every line that ends in them.
    template <class Sink>
    void Feed(const char* data, std::size_t size, Sink&& sink);

    // The end of the file: reports a last line that had no terminator.
    template <class Sink>
    void Finish(Sink&& sink) {
        if (lineOpen_) EndLine(sink);
    }

    bool InInterface() const { return inInterface_; }

private:
    template <class Sink>
    static void ReportLine(Sink& sink, Figure chars, bool code) {
        if constexpr (BatchLineSink<Sink>) {
            sink.OnLine(chars, code);
        } else {
            sink(chars, code);
        }
    }

    template <class Sink>
    void EndLine(Sink& sink) {
        bool keywordLine = inInterface_ && keywordSeen_;
        if (keywordLine) inInterface_ = false;
        Figure chars = chars_;
        chars_ = 0;
        lineOpen_ = false;
        pendingLead_ = false;
        keywordSeen_ = false;
        window_ = 0;
        windowHigh_ = 0;
        ReportLine(sink, chars, !inInterface_);
    }

    // Counts whole code lines 64 bytes at a time, stopping before the line
    // the sink wants on its own. Returns where it stopped.
    template <class Sink>
    const char* CountCodeRun(const char* p, const char* end, Sink& sink);

    // The lower-case byte as the keyword search sees it.
    static unsigned char Fold(unsigned char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c | 0x20) : c;
    }

    // Shifts one byte into the 16-byte window of the line's latest bytes and,
    // at a space, tests whether a keyword ends there.
    void Push(unsigned char c);

    // The first CR or LF in [p, end), or end.
    static const char* FindLineEnd(const char* p, const char* end);
    // The first space, CR or LF in [p, end), or end.
    static const char* FindSpaceOrLineEnd(const char* p, const char* end);

    CodePage codePage_;
    Figure chars_ = 0;
    bool lineOpen_ = false;
    bool afterCr_ = false;      // an LF right after a CR belongs to it
    bool pendingLead_ = false;  // the previous byte was a lead byte
    bool inInterface_ = true;
    bool keywordSeen_ = false;
    std::uint64_t window_ = 0;      // the line's last 8 bytes, newest lowest
    std::uint64_t windowHigh_ = 0;  // the 8 before those
};

namespace detail {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// The high bit of every byte of `w` that equals `c`, exactly (no borrow
// from neighbouring bytes).
inline std::uint64_t BytesEqual(std::uint64_t w, unsigned char c) {
    std::uint64_t x = w ^ (kOnes * c);
    std::uint64_t t = (x & ~kHighs) + ~kHighs;
    return ~(t | x | ~kHighs);
}

inline std::uint64_t LoadWord(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
    return w;
}

// Set bits, without assuming a popcount instruction: the release runs on
// any x86.
inline int PopCount(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((x * kOnes) >> 56);
}

// Bit i of `cr` (`lf`) is set when byte i of the 64 bytes at p is a CR (LF).
inline void TerminatorMasks(const char* p, std::uint64_t& cr, std::uint64_t& lf) {
    cr = 0;
    lf = 0;
#ifdef QUIBEX_SCAN_SSE2
    const __m128i crs = _mm_set1_epi8('\r');
    const __m128i lfs = _mm_set1_epi8('\n');
    for (int i = 0; i < 4; ++i) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        cr |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, crs)))) << (16 * i);
        lf |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lfs)))) << (16 * i);
    }
#else
    for (int i = 0; i < 8; ++i) {
        std::uint64_t w = LoadWord(p + 8 * i);
        // The high bit of byte j moves to bit j of the top byte.
        constexpr std::uint64_t kGather = 0x0102040810204080ull;
        cr |= ((((BytesEqual(w, '\r') >> 7) * kGather) >> 56) & 0xFF) << (8 * i);
        lf |= ((((BytesEqual(w, '\n') >> 7) * kGather) >> 56) & 0xFF) << (8 * i);
    }
#endif
}

// The keywords as the 16-byte window holds them when their final space has
// just been pushed: the newest byte lowest.
struct KeywordPattern {
    std::uint64_t low = 0, lowMask = 0, high = 0, highMask = 0;
};

consteval KeywordPattern MakePattern(std::string_view keyword) {
    KeywordPattern p;
    std::size_t n = keyword.size();
    for (std::size_t back = 0; back < n; ++back) {
        std::uint64_t byte = static_cast<unsigned char>(keyword[n - 1 - back]);
        if (back < 8) {
            p.low |= byte << (8 * back);
            p.lowMask |= 0xFFull << (8 * back);
        } else {
            p.high |= byte << (8 * (back - 8));
            p.highMask |= 0xFFull << (8 * (back - 8));
        }
    }
    return p;
}

template <std::size_t... I>
consteval auto MakePatterns(std::index_sequence<I...>) {
    struct Table {
        KeywordPattern p[sizeof...(I)];
    };
    return Table{{MakePattern(kCodeKeywords[I])...}};
}

inline constexpr auto kKeywordPatterns =
    MakePatterns(std::make_index_sequence<std::size(kCodeKeywords)>());

// Whether a byte is the last letter of some keyword: a space after any
// other byte ends none of them.
consteval auto MakeLastLetters() {
    struct Table {
        bool is[256] = {};
    } t;
    for (std::string_view keyword : kCodeKeywords) t.is[static_cast<unsigned char>(keyword[keyword.size() - 2])] = true;
    return t;
}
inline constexpr auto kLastLetters = MakeLastLetters();

}  // namespace detail

inline const char* LineScanner::FindLineEnd(const char* p, const char* end) {
    while (end - p >= 8) {
        std::uint64_t w = detail::LoadWord(p);
        std::uint64_t found = detail::BytesEqual(w, '\r') | detail::BytesEqual(w, '\n');
        if (found) return p + std::countr_zero(found) / 8;
        p += 8;
    }
    while (p < end && *p != '\r' && *p != '\n') ++p;
    return p;
}

inline const char* LineScanner::FindSpaceOrLineEnd(const char* p, const char* end) {
    while (end - p >= 8) {
        std::uint64_t w = detail::LoadWord(p);
        std::uint64_t found =
            detail::BytesEqual(w, '\r') | detail::BytesEqual(w, '\n') | detail::BytesEqual(w, ' ');
        if (found) return p + std::countr_zero(found) / 8;
        p += 8;
    }
    while (p < end && *p != '\r' && *p != '\n' && *p != ' ') ++p;
    return p;
}

inline void LineScanner::Push(unsigned char c) {
    unsigned char previous = static_cast<unsigned char>(window_);
    windowHigh_ = (windowHigh_ << 8) | (window_ >> 56);
    window_ = (window_ << 8) | c;
    if (c != ' ' || !detail::kLastLetters.is[previous]) return;
    for (const detail::KeywordPattern& k : detail::kKeywordPatterns.p) {
        if ((window_ & k.lowMask) == k.low && (windowHigh_ & k.highMask) == k.high) {
            keywordSeen_ = true;
            return;
        }
    }
}

template <class Sink>
const char* LineScanner::CountCodeRun(const char* p, const char* const end, Sink& sink) {
    // The run takes whole lines up to the one before the line the sink wants
    // on its own, 64 bytes at a time.
    const Figure allowed = sink.CodeLineBudget() - 1;
    const char* const start = p;
    const char* lastTerminator = nullptr;
    Figure lines = 0, terminators = 0;
    std::uint64_t crCarry = 0;  // the previous block ended in CR
    while (end - p >= 64 && lines < allowed) {
        std::uint64_t cr, lf;
        detail::TerminatorMasks(p, cr, lf);
        // An LF right after a CR ends no line of its own.
        std::uint64_t ends = cr | (lf & ~((cr << 1) | crCarry));
        std::uint64_t terms = cr | lf;
        int n = detail::PopCount(ends);
        if (lines + n > allowed) {
            // Only the first `take` line ends of this block belong to the run.
            Figure take = allowed - lines;
            for (Figure i = 1; i < take; ++i) ends &= ends - 1;
            int last = std::countr_zero(ends);
            std::uint64_t upToLast = last == 63 ? ~0ull : (2ull << last) - 1;
            lines += take;
            terminators += detail::PopCount(terms & upToLast);
            lastTerminator = p + last;
            p += last + 1;
            break;
        }
        lines += n;
        terminators += detail::PopCount(terms);
        if (terms) lastTerminator = p + (63 - std::countl_zero(terms));
        crCarry = cr >> 63;
        p += 64;
    }
    if (lines == 0) {
        // No line ended: the bytes all belong to the open line.
        chars_ += p - start;
        lineOpen_ = lineOpen_ || p != start;
    } else {
        Figure trailing = p - (lastTerminator + 1);
        Figure completed = chars_ + (p - start) - terminators - trailing;
        sink.OnCodeLines(lines, completed);
        chars_ = trailing;
        lineOpen_ = trailing > 0;
    }
    afterCr_ = p != start && p[-1] == '\r';
    return p;
}

template <class Sink>
void LineScanner::Feed(const char* data, std::size_t size, Sink&& sink) {
    const char* p = data;
    const char* const end = data + size;
    while (p < end) {
        if (afterCr_) {
            afterCr_ = false;
            if (*p == '\n') {
                ++p;
                continue;
            }
        }
        if constexpr (BatchLineSink<Sink>) {
            if (!inInterface_ && !codePage_.doubleByte && end - p >= 64 && sink.CodeLineBudget() > 1) {
                const char* next = CountCodeRun(p, end, sink);
                if (next != p) {
                    p = next;
                    continue;
                }
            }
        }
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\r' || c == '\n') {
            // A CR ends its line at once; an LF that follows belongs to it.
            afterCr_ = c == '\r';
            ++p;
            EndLine(sink);
            continue;
        }
        lineOpen_ = true;
        if (!codePage_.doubleByte && !(inInterface_ && !keywordSeen_)) {
            // Measuring only: one character per byte, up to the terminator.
            const char* stop = FindLineEnd(p, end);
            chars_ += stop - p;
            p = stop;
            continue;
        }
        if (!codePage_.doubleByte) {
            // Searching: a keyword can only end at a space, so the bytes up
            // to the next space or line end are skipped a word at a time and
            // only their last sixteen go into the window.
            const char* stop = FindSpaceOrLineEnd(p, end);
            for (const char* q = stop - std::min<std::ptrdiff_t>(stop - p, 16); q < stop; ++q) {
                Push(Fold(static_cast<unsigned char>(*q)));
            }
            chars_ += stop - p;
            p = stop;
            if (p == end || *p != ' ') continue;
            ++chars_;
            Push(' ');
            ++p;
            continue;
        }
        // Byte by byte: double-byte characters, with or without the search.
        bool search = inInterface_ && !keywordSeen_;
        for (; p < end; ++p) {
            c = static_cast<unsigned char>(*p);
            if (c == '\r' || c == '\n') break;
            if (pendingLead_) {
                // The trail byte of a double-byte character: no character of
                // its own, and never part of a keyword.
                pendingLead_ = false;
                if (search) Push(0);
            } else {
                ++chars_;
                if (codePage_.doubleByte && codePage_.IsLeadByte(c)) {
                    pendingLead_ = true;
                    if (search) Push(0);
                } else if (search) {
                    Push(Fold(c));
                }
            }
            if (search && keywordSeen_) search = false;
        }
    }
}

}  // namespace quibex
