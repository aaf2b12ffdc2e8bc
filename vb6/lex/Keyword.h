#pragma once
// The VB6 words the layers above the lexer act on. Many of them are
// reserved words of the language; others (Lib, Alias, Get, Binary, ...)
// mean something only where a statement expects them, so the lexer names
// the word and leaves its meaning to the statement that holds it.

#include <cstdint>
#include <string_view>

namespace quibex::vb6::lex {

enum class Keyword : std::uint8_t {
    None,
    // Blocks and flow.
    If, Then, Else, ElseIf, End, Select, Case, For, Each, To, Step, Next, Do, Loop, While, Wend, Until, With,
    Exit, GoTo, GoSub, Return, On, Error, Resume, Call, Stop,
    // Procedures and declarations.
    Sub, Function, Property, Get, Let, Set, Public, Private, Friend, Global, Static, Dim, ReDim, Preserve, Const,
    As, New, WithEvents, Optional, ByVal, ByRef, ParamArray, Declare, Lib, Alias, PtrSafe, CDecl, Type, Enum,
    Event, Implements, Option, Attribute, Rem,
    // Operators and literals.
    And, Or, Xor, Not, Mod, Is, Like, Eqv, Imp, True, False,
    // A form's layout block.
    Begin, BeginProperty, EndProperty, Object, Index,
    // Statements on open files, where "#" starts the file number.
    Print, Open, Close, Input, Line, Write, Put, Seek, Lock, Unlock,
};

// The keyword a word is, in any letter case; None for a name.
Keyword FindKeyword(std::string_view word);
// The same for the n bytes at p, which may be read up to `readable`: eight
// bytes at a time where that allows.
Keyword FindKeyword(const char* p, std::size_t n, const char* readable);

// The word as VB6 spells it: "ElseIf", "WithEvents".
std::string_view KeywordName(Keyword keyword);

// Whether the word starts a statement of its own, so that "Else:" or
// "End:" at the start of a line is no line label. Words such as Lib, Get
// or Binary are names there, as VB6 takes them.
bool StartsStatement(Keyword keyword);

}  // namespace quibex::vb6::lex
