#pragma once
// The keyword table and its lookup, inline for the lexer's inner loop.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

#include "vb6/lex/Keyword.h"

namespace quibex::vb6::lex::detail {

struct Entry {
    std::string_view name;
    Keyword keyword;
    bool startsStatement;
};

inline constexpr Entry kEntries[] = {
    {"If", Keyword::If, true},
    {"Then", Keyword::Then, false},
    {"Else", Keyword::Else, true},
    {"ElseIf", Keyword::ElseIf, true},
    {"End", Keyword::End, true},
    {"Select", Keyword::Select, true},
    {"Case", Keyword::Case, true},
    {"For", Keyword::For, true},
    {"Each", Keyword::Each, false},
    {"To", Keyword::To, false},
    {"Step", Keyword::Step, false},
    {"Next", Keyword::Next, true},
    {"Do", Keyword::Do, true},
    {"Loop", Keyword::Loop, true},
    {"While", Keyword::While, true},
    {"Wend", Keyword::Wend, true},
    {"Until", Keyword::Until, false},
    {"With", Keyword::With, true},
    {"Exit", Keyword::Exit, true},
    {"GoTo", Keyword::GoTo, true},
    {"GoSub", Keyword::GoSub, true},
    {"Return", Keyword::Return, true},
    {"On", Keyword::On, true},
    {"Error", Keyword::Error, true},
    {"Resume", Keyword::Resume, true},
    {"Call", Keyword::Call, true},
    {"Stop", Keyword::Stop, true},
    {"Sub", Keyword::Sub, true},
    {"Function", Keyword::Function, true},
    {"Property", Keyword::Property, true},
    {"Get", Keyword::Get, true},
    {"Let", Keyword::Let, true},
    {"Set", Keyword::Set, true},
    {"Public", Keyword::Public, true},
    {"Private", Keyword::Private, true},
    {"Friend", Keyword::Friend, true},
    {"Global", Keyword::Global, true},
    {"Static", Keyword::Static, true},
    {"Dim", Keyword::Dim, true},
    {"ReDim", Keyword::ReDim, true},
    {"Preserve", Keyword::Preserve, false},
    {"Const", Keyword::Const, true},
    {"As", Keyword::As, false},
    {"New", Keyword::New, false},
    {"WithEvents", Keyword::WithEvents, false},
    {"Optional", Keyword::Optional, false},
    {"ByVal", Keyword::ByVal, false},
    {"ByRef", Keyword::ByRef, false},
    {"ParamArray", Keyword::ParamArray, false},
    {"Declare", Keyword::Declare, true},
    {"Lib", Keyword::Lib, false},
    {"Alias", Keyword::Alias, false},
    {"PtrSafe", Keyword::PtrSafe, false},
    {"CDecl", Keyword::CDecl, false},
    {"Type", Keyword::Type, true},
    {"Enum", Keyword::Enum, true},
    {"Event", Keyword::Event, true},
    {"Implements", Keyword::Implements, true},
    {"Option", Keyword::Option, true},
    {"Attribute", Keyword::Attribute, true},
    {"Rem", Keyword::Rem, true},
    {"And", Keyword::And, false},
    {"Or", Keyword::Or, false},
    {"Xor", Keyword::Xor, false},
    {"Not", Keyword::Not, false},
    {"Mod", Keyword::Mod, false},
    {"Is", Keyword::Is, false},
    {"Like", Keyword::Like, false},
    {"Eqv", Keyword::Eqv, false},
    {"Imp", Keyword::Imp, false},
    {"True", Keyword::True, false},
    {"False", Keyword::False, false},
    {"Begin", Keyword::Begin, false},
    {"BeginProperty", Keyword::BeginProperty, false},
    {"EndProperty", Keyword::EndProperty, false},
    {"Object", Keyword::Object, false},
    {"Index", Keyword::Index, false},
    {"Print", Keyword::Print, true},
    {"Open", Keyword::Open, true},
    {"Close", Keyword::Close, true},
    {"Input", Keyword::Input, true},
    {"Line", Keyword::Line, true},
    {"Write", Keyword::Write, true},
    {"Put", Keyword::Put, true},
    {"Seek", Keyword::Seek, true},
    {"Lock", Keyword::Lock, true},
    {"Unlock", Keyword::Unlock, true},
};

inline constexpr std::size_t kLongest = 13;  // BeginProperty
inline constexpr std::size_t kCount = std::size(kEntries);

constexpr unsigned char Lower(char c) { return static_cast<unsigned char>(c | 0x20); }

// The first eight letters of a word folded to lower case, packed: one
// comparison settles most names.
constexpr std::uint64_t Packed(std::string_view word) {
    std::uint64_t packed = 0;
    for (std::size_t i = 0; i < word.size() && i < 8; ++i) packed |= std::uint64_t{Lower(word[i])} << (8 * i);
    return packed;
}

// The entries by length and first letter: slot [length][letter] holds the
// range of `order` to compare.
struct Table {
    std::array<std::uint8_t, kCount> order{};
    std::array<std::uint64_t, kCount> packed{};
    std::array<std::array<std::uint8_t, 27>, kLongest + 1> first{};  // [length][letter]: start; [letter + 1]: end
};

constexpr Table MakeTable() {
    Table t;
    std::size_t n = 0;
    for (std::size_t length = 0; length <= kLongest; ++length) {
        for (int letter = 0; letter < 26; ++letter) {
            t.first[length][letter] = static_cast<std::uint8_t>(n);
            for (std::size_t i = 0; i < kCount; ++i) {
                const std::string_view name = kEntries[i].name;
                if (name.size() == length && Lower(name[0]) - 'a' == letter) {
                    t.order[n] = static_cast<std::uint8_t>(i);
                    t.packed[n] = Packed(name);
                    ++n;
                }
            }
        }
        t.first[length][26] = static_cast<std::uint8_t>(n);
    }
    return t;
}
inline constexpr Table kTable = MakeTable();


// The keyword the n bytes at p are, in any letter case; p may be read up to
// `readable`, eight bytes at a time where that allows.
inline Keyword FindKeywordAt(const char* p, std::size_t n, const char* readable) {
    if (n < 2 || n > kLongest) return Keyword::None;
    const unsigned letter = Lower(p[0]) - 'a';
    if (letter >= 26) return Keyword::None;
    const std::uint8_t from = kTable.first[n][letter];
    const std::uint8_t to = kTable.first[n][letter + 1];
    if (from == to) return Keyword::None;  // most names: no keyword of this length and letter
    // Folding with | 0x20 maps letters to lower case and leaves digits as
    // they are; "_" becomes DEL, which no keyword holds.
    std::uint64_t packed;
    if (readable - p >= 8) {
        std::memcpy(&packed, p, 8);
        if constexpr (std::endian::native == std::endian::big) packed = __builtin_bswap64(packed);
        packed |= 0x2020202020202020ull;
        if (n < 8) packed &= (1ull << (8 * n)) - 1;
    } else {
        packed = Packed(std::string_view(p, n));
    }
    for (std::uint8_t k = from; k < to; ++k) {
        if (kTable.packed[k] != packed) continue;
        const std::string_view name = kEntries[kTable.order[k]].name;
        std::size_t i = 8;
        while (i < n && Lower(p[i]) == Lower(name[i])) ++i;
        if (i >= n) return kEntries[kTable.order[k]].keyword;
    }
    return Keyword::None;
}

}  // namespace quibex::vb6::lex::detail
