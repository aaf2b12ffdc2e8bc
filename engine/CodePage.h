#pragma once
// The ANSI code page that project, group and member files are written in.
// In a double-byte code page (Japanese, Chinese, Korean) a lead byte and the
// byte after it are one character, and that trail byte is never a folder
// separator, a quote or a letter of a keyword, whatever it looks like.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quibex {

struct CodePage {
    std::array<bool, 256> leadByte{};
    std::array<bool, 256> trailByte{};  // bytes that may follow a lead byte
    bool doubleByte = false;
    int number = 0;  // 0: not known by number (a platform's own table)

    bool IsLeadByte(unsigned char c) const { return leadByte[c]; }
    bool IsTrailByte(unsigned char c) const { return trailByte[c]; }
    // Marks the lead-byte range [first, last] (as the platform reports them).
    // Trail bytes default to 0x40-0xFE without 0x7F until a table sets them.
    void AddLeadRange(unsigned char first, unsigned char last) {
        if (!doubleByte) {
            SetTrailRange(0x40, 0xFE);
            trailByte[0x7F] = false;
        }
        for (unsigned c = first; c <= last; ++c) leadByte[c] = true;
        doubleByte = true;
    }
    void SetTrailRange(unsigned char first, unsigned char last) {
        for (unsigned c = first; c <= last; ++c) trailByte[c] = true;
    }
};

// The code page the reporter assumes when none is named: Western European,
// the one most VB6 projects were written in.
inline constexpr int kDefaultCodePage = 1252;

// The code page of a Windows code-page number: the four double-byte ones
// (932 Japanese, 936 Simplified Chinese, 949 Korean, 950 Traditional
// Chinese) with their lead and trail bytes, and the single-byte ANSI and
// OEM code pages. Nothing for a number that names none of them.
std::optional<CodePage> CodePageFromNumber(int number);

// "932, 936, 949, 950, 874, 1250-1258, 437, 850, ...": for error messages.
std::string_view KnownCodePages();

// Where the last character `c` of `text` is, skipping the trail bytes of
// double-byte characters (in code page 932 the second byte of many a
// character is "\\" or "|"); npos when there is none.
inline std::size_t LastCharacter(std::string_view text, char c, const CodePage& codePage) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (codePage.doubleByte && codePage.IsLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;
        } else if (text[i] == c) {
            last = i;
        }
    }
    return last;
}

// Whether two texts are equal when ASCII letters are compared in any letter
// case (keys of project files, VB6 keywords, file extensions).
inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x | 0x20);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y | 0x20);
        if (x != y) return false;
    }
    return true;
}

// `text` with the ASCII letters A to Z in lower case and every other byte
// as it was: keys of project files and paths compared in any letter case.
inline std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    }
    return lower;
}

// The length in bytes of the character at text[at]: 2 for a lead byte with
// a byte after it, else 1.
inline std::size_t CharacterLength(const CodePage& codePage, std::string_view text, std::size_t at) {
    return codePage.doubleByte && codePage.IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()
               ? 2
               : 1;
}

}  // namespace quibex
