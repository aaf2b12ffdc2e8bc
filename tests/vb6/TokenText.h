#pragma once
// The lexer's tokens written out one per line, so that two readings can be
// compared and a case can name what it expects.

#include <string>
#include <string_view>

#include "vb6/lex/Lexer.h"

namespace quibex::vb6::test {

// "3:5 id Dim", "3:9 num 10%", "3:12 str a""b", "3:20 op :", "3:22 eol+".
inline std::string TokenLine(const lex::Token& t) {
    using lex::TokenKind;
    std::string out = std::to_string(t.line) + ":" + std::to_string(t.column) + " ";
    switch (t.kind) {
        case TokenKind::Identifier: out += t.keyword != lex::Keyword::None ? "kw " : "id "; break;
        case TokenKind::Number: out += "num "; break;
        case TokenKind::String: out += "str "; break;
        case TokenKind::Date: out += "date "; break;
        case TokenKind::Operator: out += "op "; break;
        case TokenKind::Comment: out += t.Has(lex::flag::kRem) ? "rem " : "com "; break;
        case TokenKind::Raw: out += "raw "; break;
        case TokenKind::LineEnd: out += "eol"; break;
    }
    out += t.text;
    if (t.typeChar) out += t.typeChar;
    if (t.kind != TokenKind::LineEnd) out += " /" + std::to_string(t.length);
    if (t.Has(lex::flag::kContinues)) out += " +";
    if (t.Has(lex::flag::kCommentGoesOn)) out += " '+";
    if (t.Has(lex::flag::kUnterminated)) out += " open";
    if (t.Has(lex::flag::kBracketed)) out += " []";
    return out;
}

// Every token of `text` read `piece` bytes at a time, one per line; the
// lines that `rawLines` names (from 1) are read in the raw mode.
class TokenRecorder : public lex::TokenSink {
public:
    std::string text;
    lex::Lexer* lexer = nullptr;
    std::string rawLines;  // "1" per raw line, "0" otherwise
    void Tokens(std::span<const lex::Token> tokens) override {
        for (const lex::Token& t : tokens) {
            text += TokenLine(t) + "\n";
            if (t.kind == lex::TokenKind::LineEnd && lexer && static_cast<std::size_t>(t.line) < rawLines.size() &&
                rawLines[static_cast<std::size_t>(t.line)] == '1') {
                lexer->SetLineMode(lex::Lexer::LineMode::Raw);
            }
        }
    }
};

inline std::string Tokens(std::string_view source, std::size_t piece, const CodePage& codePage = CodePage{},
                          std::string rawLines = {}) {
    TokenRecorder recorder;
    recorder.rawLines = std::move(rawLines);
    lex::Lexer lexer(codePage, recorder);
    recorder.lexer = &lexer;
    if (!recorder.rawLines.empty() && recorder.rawLines[0] == '1') lexer.SetLineMode(lex::Lexer::LineMode::Raw);
    for (std::size_t at = 0; at < source.size(); at += piece) {
        lexer.Feed(source.data() + at, std::min(piece, source.size() - at));
    }
    lexer.Finish();
    const lex::LineBreakCounts& b = lexer.Breaks();
    recorder.text += "breaks " + std::to_string(b.crlf) + " " + std::to_string(b.lf) + " " + std::to_string(b.cr) +
                     " " + std::to_string(b.firstLf) + " " + std::to_string(b.firstCr) + " " +
                     std::to_string(b.lastLineUnterminated) + "\n";
    return recorder.text;
}

}  // namespace quibex::vb6::test
