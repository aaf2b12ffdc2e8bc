#pragma once
// Reads the declarations of a member from its statements (the statement
// layer's output, conditional compilation applied). `Dim a, b As Long`
// declares a as a Variant; a name without a type takes the DefType letter
// range that covers it, else Variant.

#include <span>
#include <string_view>

#include "vb6/decl/Declaration.h"
#include "vb6/syntax/Statement.h"

namespace quibex::vb6::decl {

class DeclarationReader : public syntax::StatementSink {
public:
    void OnStatement(const syntax::Statement& statement) override;
    void OnLine(const syntax::PhysicalLine&) override {}

    // The declarations read so far; the reader starts afresh after it.
    MemberDeclarations Take();

private:
    using Tokens = std::span<const lex::Token>;
    void ModuleStatement(Tokens t, syntax::StatementKind kind);
    void ProcedureStatement(const syntax::Statement& s);
    void StartProcedure(Tokens t);
    void Header(Tokens t, Declaration& header);
    void Variables(Tokens t, Scope scope, std::uint16_t flags, std::vector<Declaration>& into);
    void Constants(Tokens t, Scope scope, std::vector<Declaration>& into);
    void ReDim(Tokens t);
    void Option(Tokens t);
    void DefType(Tokens t);
    void Parameters(Tokens t, std::vector<Declaration>& into);
    Declaration Declare(Tokens t, Scope scope);
    // Name, type character, bounds and As clause from t[at]; moves at past them.
    bool NameAndType(Tokens t, std::size_t& at, Declaration& d);
    void ImplicitType(Declaration& d) const;
    bool Declared(std::string_view name) const;

    static constexpr std::size_t kNoBlock = static_cast<std::size_t>(-1);
    MemberDeclarations member_;
    bool inProcedure_ = false;     // member_.procedures.back() is being read
    std::size_t block_ = kNoBlock; // the Type or Enum being read, in member_.module
};

}  // namespace quibex::vb6::decl
