#pragma once
// What the statement layer makes of a member's tokens: every physical line
// in one of five classes, the statements of the code that conditional
// compilation keeps, and the lines of a form's layout block.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "engine/MemberStatistics.h"
#include "vb6/lex/Token.h"

namespace quibex::vb6 {

// Every physical line is in exactly one class:
//   Designer  the "VERSION" line of a file that starts with one, the
//             "Object = ..." lines after it and the whole outermost
//             Begin ... End block (a form's layout, a class's header)
//   Attribute an "Attribute ..." line outside that block
//   Blank     nothing but spaces and tabs
//   Comment   a line that starts with ' or Rem, or continues a comment
//   Code      everything else
enum class LineClass : std::uint8_t { Designer, Attribute, Blank, Comment, Code };
inline constexpr int kLineClassCount = 5;
inline constexpr std::array<LineClass, kLineClassCount> kLineClasses = {
    LineClass::Designer, LineClass::Attribute, LineClass::Blank, LineClass::Comment, LineClass::Code};

// "designer", "attribute", "blank", "comment", "code"
std::string_view LineClassName(LineClass lineClass);

}  // namespace quibex::vb6

namespace quibex::vb6::syntax {

struct PhysicalLine {
    Figure line = 0;
    LineClass lineClass = LineClass::Code;
    // Its statement goes on to the next line (" _").
    bool continues = false;
    // Outside every branch that #If leaves out.
    bool active = true;
};

enum class StatementKind : std::uint8_t {
    Other,           // anything the block structure does not name
    Label,           // "Name:" at the start of a line; tokens: the name
    LineNumber,      // "100" at the start of a line
    Attribute,       // Attribute VB_Name = "X"
    Directive,       // #If, #ElseIf, #Else, #End If, #Const; tokens from "#"
    ProcedureStart,  // [scope] [Static] Sub|Function|Property Get|Let|Set Name ...
    ProcedureEnd,    // End Sub, End Function, End Property
    TypeStart, TypeEnd, EnumStart, EnumEnd,
    Member,          // a field of Type ... End Type, a member of Enum ... End Enum
    BlockIf,         // If ... Then, alone on its line
    InlineIf,        // If ... Then with statements after it: its parts follow
    ElseIf, Else, EndIf,
};

// Where a statement stands.
enum class Context : std::uint8_t { Module, Procedure, Type, Enum };

// Statements inside a one-line If "If a Then b: c Else d" come after its
// InlineIf statement, each with the part it is in.
enum class Part : std::uint8_t { None, Then, Else };

struct Statement {
    // The tokens without labels, separators and comments, valid during the
    // call. A statement of more than kMaxTokens tokens comes in pieces: the
    // first has `continues`, the next ones `continued`.
    std::span<const lex::Token> tokens;
    StatementKind kind = StatementKind::Other;
    Context context = Context::Module;
    Part part = Part::None;
    std::uint8_t ifDepth = 0;     // one-line Ifs it is inside
    bool firstOfLine = false;     // the first statement of its logical line (a line number may stand before)
    bool continues = false;
    bool continued = false;
    Figure firstLine = 0;         // physical lines it spans
    Figure lastLine = 0;
    std::size_t keywords = 0;     // tokens that are keywords: 0 for a plain assignment or call

    static constexpr std::size_t kMaxTokens = 1024;
};

// A line of a form's layout block or of the header before it, as written.
struct LayoutLine {
    enum class Kind : std::uint8_t { Version, Object, Begin, End, BeginProperty, EndProperty, Property };
    Kind kind = Kind::Property;
    Figure line = 0;
    std::string_view word;   // the first word
    std::string_view rest;   // what follows it, blanks skipped; for Version the line's last word
    bool truncated = false;  // the line is longer than its text here
};

class StatementSink {
public:
    virtual ~StatementSink() = default;
    // The statements kept by conditional compilation, in order; each before
    // the OnLine of the line it ends on.
    virtual void OnStatement(const Statement& statement) = 0;
    // Every physical line once, after its statements.
    virtual void OnLine(const PhysicalLine& line) = 0;
    // The layout lines, each before its OnLine.
    virtual void OnLayout(const LayoutLine& /*line*/) {}
};

}  // namespace quibex::vb6::syntax
