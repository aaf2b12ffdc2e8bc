#pragma once
// Byte scans the lexer spends most of its time in: the end of a name, of a
// comment and of a string's run of plain bytes, sixteen bytes at a time
// where the processor allows (the 32-bit release and QUIBEX_NO_SIMD take the
// portable loops). None reads past `e`.

#include <array>
#include <cstring>

#if defined(__SSE2__) && !defined(QUIBEX_NO_SIMD)
#include <emmintrin.h>
#define QUIBEX_LEX_SSE2 1
#endif

namespace quibex::vb6::lex::scan {

// Letters, digits and "_": what VB6 names are made of (ASCII).
inline constexpr auto kNameBytes = [] {
    std::array<bool, 256> t{};
    for (int c = 'a'; c <= 'z'; ++c) t[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = true;
    for (int c = '0'; c <= '9'; ++c) t[c] = true;
    t['_'] = true;
    return t;
}();

// The first byte in [p, e) that is none of kNameBytes, or e.
inline const char* NameEnd(const char* p, const char* e) {
#ifdef QUIBEX_LEX_SSE2
    const __m128i belowA = _mm_set1_epi8('a' - 1), aboveZ = _mm_set1_epi8('z' + 1);
    const __m128i below0 = _mm_set1_epi8('0' - 1), above9 = _mm_set1_epi8('9' + 1);
    const __m128i fold = _mm_set1_epi8(0x20), underscore = _mm_set1_epi8('_');
    while (e - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i lower = _mm_or_si128(v, fold);
        // Signed compares: bytes from 0x80 on are negative and so no letter.
        const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(lower, belowA), _mm_cmpgt_epi8(aboveZ, lower));
        const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(v, below0), _mm_cmpgt_epi8(above9, v));
        const __m128i name = _mm_or_si128(_mm_or_si128(letter, digit), _mm_cmpeq_epi8(v, underscore));
        const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(name)) & 0xFFFFu;
        if (other) return p + __builtin_ctz(other);
        p += 16;
    }
#endif
    while (p < e && kNameBytes[static_cast<unsigned char>(*p)]) ++p;
    return p;
}

// The first CR or LF in [p, e), or e.
inline const char* FindBreak(const char* p, const char* e) {
#ifdef QUIBEX_LEX_SSE2
    const __m128i crs = _mm_set1_epi8('\r'), lfs = _mm_set1_epi8('\n');
    while (e - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, crs), _mm_cmpeq_epi8(v, lfs)));
        if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    while (p < e && *p != '\r' && *p != '\n') ++p;
    return p;
}

// The first quote, CR or LF in [p, e), or e.
inline const char* FindQuoteOrBreak(const char* p, const char* e) {
#ifdef QUIBEX_LEX_SSE2
    const __m128i quotes = _mm_set1_epi8('"'), crs = _mm_set1_epi8('\r'), lfs = _mm_set1_epi8('\n');
    while (e - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(
            _mm_cmpeq_epi8(v, quotes), _mm_or_si128(_mm_cmpeq_epi8(v, crs), _mm_cmpeq_epi8(v, lfs))));
        if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    while (p < e && *p != '"' && *p != '\r' && *p != '\n') ++p;
    return p;
}

inline bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

}  // namespace quibex::vb6::lex::scan
