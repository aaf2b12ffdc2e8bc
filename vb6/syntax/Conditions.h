#pragma once
// Conditional compilation: the constants a member is compiled with and the
// expressions of #If, #ElseIf and #Const. VB6 defines Win32 (true) and Win16
// (false); Win64, VBA6, VBA7 and Mac come from later VBA and are not defined,
// so they are Empty, which is false. A project adds its CondComp constants,
// the user --define ones; a member's #Const lines add their own, in order.

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "vb6/lex/Token.h"

namespace quibex::vb6::syntax {

// A compile-time value: Empty (an undefined name), a number or a string.
// True is -1, False 0, as VB6 has them.
struct Value {
    enum class Type : std::uint8_t { Empty, Number, String } type = Type::Empty;
    double number = 0;
    std::string text;

    static Value Number(double n) { return {Type::Number, n, {}}; }
    static Value String(std::string s) { return {Type::String, 0, std::move(s)}; }
    static Value Boolean(bool b) { return Number(b ? -1 : 0); }
    // What #If takes it for: a number other than 0, a string that reads as one.
    bool IsTrue() const;
    friend bool operator==(const Value&, const Value&) = default;
};

class Constants {
public:
    // Win32 = True, Win16 = False.
    Constants();

    // Sets or replaces a constant; names in any letter case.
    void Set(std::string_view name, Value value);
    // Empty for a name never set.
    Value Get(std::string_view name) const;

    // A project's CondComp value, "DEBUG = 1 : TRACE = -1"; an entry that
    // is no "name = value" is passed over. False when one was.
    bool AddProjectConstants(std::string_view condComp);
    // "NAME=VALUE" of --define: the value is an expression ("1", "True",
    // "\"x\"", "-1"). False when it is no such text.
    bool AddDefinition(std::string_view definition);

    friend bool operator==(const Constants&, const Constants&) = default;

private:
    std::map<std::string, Value> values_;  // by lower-case name
};

// The value of an expression of #If, #ElseIf or #Const: names, numbers,
// strings, True and False, with Not, And, Or, Xor, Eqv, Imp, comparisons,
// arithmetic, & and parentheses. Nothing when the tokens are no expression.
std::optional<Value> Evaluate(std::span<const lex::Token> tokens, const Constants& constants);

}  // namespace quibex::vb6::syntax
