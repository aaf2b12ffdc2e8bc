#pragma once
// The statement layer's output written out one line per event, so that a
// case names what it expects and two readings can be compared.

#include <string>
#include <string_view>

#include "vb6/syntax/StatementReader.h"

namespace quibex::vb6::test {

inline std::string_view KindName(syntax::StatementKind kind) {
    using K = syntax::StatementKind;
    switch (kind) {
        case K::Other: return "stmt";
        case K::Label: return "label";
        case K::LineNumber: return "number";
        case K::Attribute: return "attribute";
        case K::Directive: return "directive";
        case K::ProcedureStart: return "proc";
        case K::ProcedureEnd: return "endproc";
        case K::TypeStart: return "type";
        case K::TypeEnd: return "endtype";
        case K::EnumStart: return "enum";
        case K::EnumEnd: return "endenum";
        case K::Member: return "member";
        case K::BlockIf: return "if";
        case K::InlineIf: return "inlineif";
        case K::ElseIf: return "elseif";
        case K::Else: return "else";
        case K::EndIf: return "endif";
    }
    return "?";
}

// "stmt 2 x = 1" (kind, first line, tokens); " then"/" else" for the parts
// of a one-line If; "+" on a piece that more pieces follow.
class StatementRecorder : public syntax::StatementSink {
public:
    std::string text;
    bool lines = false;  // also one "line N class" per physical line

    void OnStatement(const syntax::Statement& s) override {
        text += std::string(KindName(s.kind)) + " " + std::to_string(s.firstLine);
        if (s.part == syntax::Part::Then) text += " then";
        if (s.part == syntax::Part::Else) text += " else";
        for (const lex::Token& t : s.tokens) {
            text += ' ';
            if (t.kind == lex::TokenKind::String) text += '"';
            text += t.text;
            if (t.kind == lex::TokenKind::String) text += '"';
            if (t.typeChar) text += t.typeChar;
        }
        if (s.continues) text += " +";
        text += '\n';
    }
    void OnLine(const syntax::PhysicalLine& line) override {
        if (lines) {
            text += "line " + std::to_string(line.line) + " " + std::string(LineClassName(line.lineClass)) +
                    (line.active ? "" : " inactive") + "\n";
        }
    }
};

// The statements of `source` read `piece` bytes at a time.
inline std::string Statements(std::string_view source, std::size_t piece,
                              const syntax::Constants& constants = syntax::Constants{}, bool lines = false) {
    StatementRecorder recorder;
    recorder.lines = lines;
    syntax::StatementReader reader(CodePage{}, constants, recorder);
    for (std::size_t at = 0; at < source.size(); at += piece) {
        reader.Feed(source.data() + at, std::min(piece, source.size() - at));
    }
    reader.Finish();
    return recorder.text;
}

}  // namespace quibex::vb6::test
