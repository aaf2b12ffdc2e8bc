#pragma once
// What a member declares, as VB6 reads its declarations: module variables
// and constants, Type and Enum blocks with their members, Declare, Event,
// Implements, procedures with their parameters, and each procedure's local
// variables, constants and labels, every one with its line and column.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/MemberStatistics.h"

namespace quibex::vb6 {

enum class ProcedureKind : std::uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };
// "Sub", "Function", "Property Get", "Property Let", "Property Set"
std::string_view ProcedureKindName(ProcedureKind kind);

// A procedure or module declaration without a scope word is Public (Dim
// and Const at module level are Private); parameters, local variables and
// labels are Local.
enum class Scope : std::uint8_t { Public, Private, Friend, Global, Local };
std::string_view ScopeName(Scope scope);

}  // namespace quibex::vb6

namespace quibex::vb6::decl {

enum class DeclarationKind : std::uint8_t {
    Variable, Constant, Type, Field, Enum, EnumMember, Declare, Event, Implements,
    Sub, Function, PropertyGet, PropertyLet, PropertySet, Parameter, Label, LineNumber,
};
// "Variable", "Constant", "Type", "Field", ..., "Property Get", "LineNumber"
std::string_view DeclarationKindName(DeclarationKind kind);

// Where a declaration's type comes from.
enum class TypeSource : std::uint8_t {
    None,           // it has no type (a Sub, a label, Implements)
    As,             // As Long
    TypeCharacter,  // s$, n%
    DefType,        // DefInt A-Z covers its first letter
    Implicit,       // nothing says: Variant
};

namespace flag {
inline constexpr std::uint16_t kStatic = 1;
inline constexpr std::uint16_t kWithEvents = 2;
inline constexpr std::uint16_t kNew = 4;        // As New
inline constexpr std::uint16_t kOptional = 8;
inline constexpr std::uint16_t kByVal = 16;
inline constexpr std::uint16_t kByRef = 32;
inline constexpr std::uint16_t kParamArray = 64;
inline constexpr std::uint16_t kPtrSafe = 128;
inline constexpr std::uint16_t kCDecl = 256;
inline constexpr std::uint16_t kReDim = 512;    // a local that only ReDim declares
inline constexpr std::uint16_t kArray = 1024;   // name() or name(bounds)
inline constexpr std::uint16_t kFunction = 2048; // Declare Function
}  // namespace flag

struct DeclarationDetails;

struct Declaration {
    std::string name;
    std::string type;    // "Long", "String * 10", "ADODB.Recordset", "Long()"; "Variant" when implicit
    Figure line = 0;     // the name's line and column, from 1
    std::int64_t column = 0;
    std::uint16_t flags = 0;
    DeclarationKind kind = DeclarationKind::Variable;
    Scope scope = Scope::Public;
    TypeSource typeSource = TypeSource::None;

    Declaration() = default;
    Declaration(const Declaration& other);
    Declaration& operator=(const Declaration& other);
    Declaration(Declaration&&) noexcept = default;
    Declaration& operator=(Declaration&&) noexcept = default;
    ~Declaration();

    bool Has(std::uint16_t f) const { return (flags & f) != 0; }
    // What few declarations have (bounds, values, a Declare's library,
    // parameters, members); empty parts when it has none.
    const DeclarationDetails& Details() const;
    DeclarationDetails& EditDetails();

private:
    std::unique_ptr<DeclarationDetails> details_;  // most have none: a project holds many declarations
};

struct DeclarationDetails {
    std::string bounds;   // an array's bounds as written: "1 To 10, 5"; empty for "()"
    std::string value;    // a constant's value, an optional parameter's default, an Enum member's value
    std::string library;  // Declare: the Lib string
    std::string alias;    // Declare: the Alias string
    // A Declare's, an Event's or a procedure's parameters; a Type's fields;
    // an Enum's members.
    std::vector<Declaration> children;
};

inline Declaration::~Declaration() = default;

inline Declaration::Declaration(const Declaration& other)
    : name(other.name), type(other.type), line(other.line), column(other.column), flags(other.flags),
      kind(other.kind), scope(other.scope), typeSource(other.typeSource),
      details_(other.details_ ? std::make_unique<DeclarationDetails>(*other.details_) : nullptr) {}

inline Declaration& Declaration::operator=(const Declaration& other) {
    if (this != &other) *this = Declaration(other);
    return *this;
}

inline const DeclarationDetails& Declaration::Details() const {
    static const DeclarationDetails kNone;
    return details_ ? *details_ : kNone;
}

inline DeclarationDetails& Declaration::EditDetails() {
    if (!details_) details_ = std::make_unique<DeclarationDetails>();
    return *details_;
}

// The module's Option and DefType statements.
struct DefTypeRange {
    char first = 'A', last = 'Z';  // upper case
    std::string type;              // "Integer"
};
struct Options {
    bool explicitVariables = false;  // Option Explicit
    int base = 0;                    // Option Base
    std::string compare = "Binary";  // Option Compare: Binary, Text or Database
    bool privateModule = false;      // Option Private Module
    std::vector<DefTypeRange> defTypes;
};

// One procedure: its head and what its body declares and does.
struct ProcedureDeclarations {
    Declaration header;  // kind Sub, Function, ...; children: the parameters; type: a Function's
    std::vector<Declaration> locals;  // Dim, Static, Const, ReDim of an undeclared name, labels
    Figure onErrorGoTo = 0;           // On Error GoTo label
    Figure onErrorResumeNext = 0;
    Figure onErrorGoTo0 = 0;
    Figure goTo = 0, goSub = 0, returns = 0, exits = 0;
    Figure statements = 0;            // between its head and its End; a one-line If with its parts is one
};

struct MemberDeclarations {
    std::vector<Declaration> module;  // in order; procedures are in `procedures`
    std::vector<ProcedureDeclarations> procedures;
    Options options;
};

}  // namespace quibex::vb6::decl
