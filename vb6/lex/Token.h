#pragma once
// A token of VB6 source as the lexer gives it: what it is, where it stands
// (physical line and byte column, both from 1) and a bounded prefix of its
// text with its whole length, so that a token of any size costs the same.

#include <cstdint>
#include <string_view>

#include "engine/MemberStatistics.h"
#include "vb6/lex/Keyword.h"

namespace quibex::vb6::lex {

enum class TokenKind : std::uint8_t {
    Identifier,  // a name or a keyword; [Name With Spaces] too
    Number,      // 12, 1.5E+3, &HFF, &O17
    String,      // text: the body between the quotes, "" still doubled
    Date,        // #1/2/2000#; text: between the marks
    Operator,    // see Op
    Comment,     // ' or Rem: text after the mark; to the end of the line
    Raw,         // a whole line in a raw mode (a form's layout block)
    LineEnd,     // the end of a physical line; always the last of its line
};

enum class Op : std::uint8_t {
    None,
    Colon,        // ":" statement separator
    ColonEquals,  // ":=" named argument
    Comma, Semicolon, LParen, RParen, Dot, Bang, Equals, Less, Greater, LessEqual, GreaterEqual, NotEqual,
    Plus, Minus, Star, Slash, Backslash, Caret, Ampersand,
    Hash,         // "#" that is no date: a file number, a directive
    Underscore,   // "_" that continues nothing
    Other,        // any other byte; text holds it
};

namespace flag {
inline constexpr std::uint8_t kBracketed = 1;      // [Name]: never a keyword
inline constexpr std::uint8_t kAfterBlank = 2;     // a blank stands right before it
inline constexpr std::uint8_t kLineStart = 4;      // the first token of its physical line
inline constexpr std::uint8_t kUnterminated = 8;   // a string or [name] that the line ended
inline constexpr std::uint8_t kRem = 16;           // a comment written with Rem
inline constexpr std::uint8_t kContinues = 32;     // LineEnd: " _" continues the statement
inline constexpr std::uint8_t kCommentGoesOn = 64; // LineEnd and Comment: " _" continues the comment
}  // namespace flag

struct Token {
    // A bounded prefix of the token's text; valid until the sink's
    // PieceEnd() returns.
    std::string_view text;
    std::uint64_t length = 0;  // the whole token in bytes; for LineEnd the line's length
    std::int64_t column = 0;   // bytes from the line's start, from 1
    Figure line = 0;           // physical line, from 1
    TokenKind kind = TokenKind::Operator;
    Keyword keyword = Keyword::None;  // identifiers that are keywords
    Op op = Op::None;
    char typeChar = 0;  // identifiers and numbers: $ % & ! # @ ^, or 0
    std::uint8_t flags = 0;

    bool Is(Keyword k) const { return kind == TokenKind::Identifier && keyword == k; }
    bool Is(Op o) const { return kind == TokenKind::Operator && op == o; }
    bool Has(std::uint8_t f) const { return (flags & f) != 0; }
};

// Texts are kept up to these many bytes: names to VB6's own limit, strings
// far enough for any library path or message.
inline constexpr std::size_t kMaxNameText = 255;
inline constexpr std::size_t kMaxStringText = 1024;
inline constexpr std::size_t kMaxCommentText = 255;
inline constexpr std::size_t kMaxNumberText = 64;
inline constexpr std::size_t kMaxRawText = 4096;

}  // namespace quibex::vb6::lex
