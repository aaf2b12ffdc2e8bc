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

#include <cstdint>
#include <cstring>
#include <string_view>

#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"

namespace quibex {

// The nine keywords that start the code part, each ending in one space.
inline constexpr std::string_view kCodeKeywords[] = {
    "sub ", "function ", "property get ", "property let ", "property set ",
    "dim ", "const ", "public ", "private ",
};

class LineScanner {
public:
    explicit LineScanner(const CodePage& codePage) : codePage_(codePage) {}

    // Feeds the next bytes of the file. For every line that ends inside
    // them, calls onLine(characters, isCode).
    template <class OnLine>
    void Feed(const char* data, std::size_t size, OnLine&& onLine);

    // The end of the file: reports a last line that had no terminator.
    template <class OnLine>
    void Finish(OnLine&& onLine) {
        if (lineOpen_) EndLine(onLine);
    }

    bool InInterface() const { return inInterface_; }

private:
    template <class OnLine>
    void EndLine(OnLine& onLine) {
        bool keywordLine = inInterface_ && keywordSeen_;
        if (keywordLine) inInterface_ = false;
        Figure chars = chars_;
        chars_ = 0;
        lineOpen_ = false;
        pendingLead_ = false;
        keywordSeen_ = false;
        window_ = 0;
        windowHigh_ = 0;
        onLine(chars, !inInterface_);
    }

    // The lower-case byte as the keyword search sees it.
    static unsigned char Fold(unsigned char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c | 0x20) : c;
    }

    // Shifts one byte into the 16-byte window of the line's latest bytes and,
    // at a space, tests whether a keyword ends there.
    void Push(unsigned char c);

    // Bytes of the current line up to the next CR or LF, at most `end`.
    static const char* FindLineEnd(const char* p, const char* end);

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

inline const char* LineScanner::FindLineEnd(const char* p, const char* end) {
    // Eight bytes at a time: a word holds CR or LF when one of its bytes
    // XOR the terminator is zero.
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    constexpr std::uint64_t kCr = kOnes * '\r';
    constexpr std::uint64_t kLf = kOnes * '\n';
    while (end - p >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        std::uint64_t a = w ^ kCr, b = w ^ kLf;
        if (((a - kOnes) & ~a & kHighs) | ((b - kOnes) & ~b & kHighs)) break;
        p += 8;
    }
    while (p < end && *p != '\r' && *p != '\n') ++p;
    return p;
}

inline void LineScanner::Push(unsigned char c) {
    windowHigh_ = (windowHigh_ << 8) | (window_ >> 56);
    window_ = (window_ << 8) | c;
    if (c != ' ') return;
    for (std::string_view keyword : kCodeKeywords) {
        // Compare the keyword with the newest keyword.size() bytes.
        std::size_t n = keyword.size();
        bool match = true;
        for (std::size_t i = 0; i < n && match; ++i) {
            std::size_t back = n - 1 - i;  // 0 is the newest byte
            std::uint64_t word = back < 8 ? window_ : windowHigh_;
            unsigned char got = static_cast<unsigned char>(word >> (8 * (back % 8)));
            match = got == static_cast<unsigned char>(keyword[i]);
        }
        if (match) {
            keywordSeen_ = true;
            return;
        }
    }
}

template <class OnLine>
void LineScanner::Feed(const char* data, std::size_t size, OnLine&& onLine) {
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
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\r' || c == '\n') {
            // A CR ends its line at once; an LF that follows belongs to it.
            afterCr_ = c == '\r';
            ++p;
            EndLine(onLine);
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
        // Byte by byte: keyword search and/or double-byte characters.
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
            if (search && keywordSeen_) {
                search = false;
                if (!codePage_.doubleByte) {
                    ++p;
                    break;  // back to the fast loop for the rest of the line
                }
            }
        }
    }
}

}  // namespace quibex
