// The declaration layer: one row per form of declaration VB6 has, read from
// statements; and the figures of a procedure's body.

#include <gtest/gtest.h>

#include "tests/vb6/ModelText.h"
#include "vb6/decl/DeclarationReader.h"
#include "vb6/syntax/StatementReader.h"

namespace quibex::vb6 {
namespace {

using decl::Declaration;

// "Variable a Private Variant(Implicit) 1:5", with bounds, value, library,
// alias and flags where they are, then its children indented.
std::string Describe(const Declaration& d, const std::string& indent = "") {
    static constexpr std::string_view kSources[] = {"", "As", "Char", "DefType", "Implicit"};
    std::string out = indent + std::string(decl::DeclarationKindName(d.kind)) + " " + d.name + " " +
                      std::string(ScopeName(d.scope));
    if (d.typeSource != decl::TypeSource::None) {
        out += " " + d.type + "(" + std::string(kSources[static_cast<int>(d.typeSource)]) + ")";
    }
    const decl::DeclarationDetails& x = d.Details();
    if (d.Has(decl::flag::kArray)) out += " (" + x.bounds + ")";
    if (!x.value.empty()) out += " = " + x.value;
    if (!x.library.empty()) out += " lib " + x.library;
    if (!x.alias.empty()) out += " alias " + x.alias;
    static constexpr std::pair<std::uint16_t, std::string_view> kFlags[] = {
        {decl::flag::kStatic, "static"},     {decl::flag::kWithEvents, "withevents"}, {decl::flag::kNew, "new"},
        {decl::flag::kOptional, "optional"}, {decl::flag::kByVal, "byval"},          {decl::flag::kByRef, "byref"},
        {decl::flag::kParamArray, "paramarray"}, {decl::flag::kPtrSafe, "ptrsafe"},  {decl::flag::kCDecl, "cdecl"},
        {decl::flag::kReDim, "redim"},
    };
    for (const auto& [f, name] : kFlags) {
        if (d.Has(f)) out += " " + std::string(name);
    }
    out += " " + std::to_string(d.line) + ":" + std::to_string(d.column) + "\n";
    for (const Declaration& c : x.children) out += Describe(c, indent + "  ");
    return out;
}

decl::MemberDeclarations Declarations(const std::vector<std::string>& lines) {
    decl::DeclarationReader reader;
    syntax::StatementReader statements(CodePage{}, syntax::Constants{}, reader);
    const std::string text = test::Joined(lines);
    statements.Feed(text.data(), text.size());
    statements.Finish();
    return reader.Take();
}

std::string ModuleLevel(const std::vector<std::string>& lines) {
    std::string out;
    for (const Declaration& d : Declarations(lines).module) out += Describe(d);
    return out;
}

struct Case {
    const char* form;
    std::vector<std::string> lines;
    std::string declarations;
};

TEST(Declarations, EveryFormAtModuleLevel) {
    const Case cases[] = {
        {"Dim a, b As Long: a is a Variant", {"Dim a, b As Long"},
         "Variable a Private Variant(Implicit) 1:5\nVariable b Private Long(As) 1:8\n"},
        {"scopes, type characters, arrays with bounds, As New, fixed strings",
         {"Public s$, n%(1 To 10, 5)", "Global g() As String * 8", "Private c As New Collection"},
         "Variable s Public String(Char) 1:8\nVariable n Public Integer(Char) (1 To 10, 5) 1:12\n"
         "Variable g Global String * 8(As) () 2:8\nVariable c Private Collection(As) new 3:9\n"},
        {"constants, with and without a type; Const alone is Private",
         {"Public Const A = 1, B As String = \"x\"", "Const C& = &HFF"},
         "Constant A Public Variant(Implicit) = 1 1:14\nConstant B Public String(As) = \"x\" 1:21\n"
         "Constant C Private Long(Char) = &HFF 2:7\n"},
        {"WithEvents variables", {"Private WithEvents mConn As ADODB.Connection", "Dim WithEvents t As Timer"},
         "Variable mConn Private ADODB.Connection(As) withevents 1:20\nVariable t Private Timer(As) withevents 2:16\n"},
        {"DefType gives a letter range its type; As and type characters still win",
         {"DefInt I-N", "DefStr S", "Dim i, j As Long, s, k$, x"},
         "Variable i Private Integer(DefType) 3:5\nVariable j Private Long(As) 3:8\n"
         "Variable s Private String(DefType) 3:19\nVariable k Private String(Char) 3:22\n"
         "Variable x Private Variant(Implicit) 3:26\n"},
        {"Type with its fields, whatever they are called; Enum with its members",
         {"Private Type T", "  sUB As Long", "  a(3) As Byte", "End Type", "Enum E", "  X = 1", "  Y", "End Enum"},
         "Type T Private 1:14\n  Field sUB Private Long(As) 2:3\n  Field a Private Byte(As) (3) 3:3\n"
         "Enum E Public 5:6\n  EnumMember X Public Long(As) = 1 6:3\n  EnumMember Y Public Long(As) 7:3\n"},
        {"Declare with PtrSafe, CDecl, Lib, Alias, parameters and return type",
         {"Private Declare PtrSafe Function strlen CDecl Lib \"msvcrt\" Alias \"_strlen\" (ByVal s As String) As Long",
          "Declare Sub Sleep Lib \"kernel32\" (ByVal ms&)"},
         "Declare strlen Private Long(As) lib msvcrt alias _strlen ptrsafe cdecl 1:34\n"
         "  Parameter s Local String(As) byval 1:83\n"
         "Declare Sleep Public lib kernel32 2:13\n  Parameter ms Local Long(Char) byval 2:41\n"},
        {"Event with its parameters, Implements", {"Public Event Changed(ByVal Index As Integer)", "Implements IFoo"},
         "Event Changed Public 1:14\n  Parameter Index Local Integer(As) byval 1:28\nImplements IFoo Public 2:12\n"},
        {"a Declare without its Lib string declares nothing", {"Private Declare Function F Lib k ()"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        EXPECT_EQ(ModuleLevel(c.lines), c.declarations);
    }
}

TEST(Declarations, OptionsOfTheModule) {
    const decl::Options o =
        Declarations({"Option Explicit", "Option Base 1", "Option Compare Text", "Option Private Module", "DefLng A-C, X"})
            .options;
    EXPECT_TRUE(o.explicitVariables);
    EXPECT_EQ(o.base, 1);
    EXPECT_EQ(o.compare, "Text");
    EXPECT_TRUE(o.privateModule);
    ASSERT_EQ(o.defTypes.size(), 2u);
    EXPECT_EQ(o.defTypes[0].first, 'A');
    EXPECT_EQ(o.defTypes[0].last, 'C');
    EXPECT_EQ(o.defTypes[1].first, 'X');
    EXPECT_EQ(o.defTypes[1].type, "Long");
    const decl::Options none = Declarations({"Sub A()", "End Sub"}).options;
    EXPECT_FALSE(none.explicitVariables);
    EXPECT_EQ(none.compare, "Binary");
}

TEST(Declarations, ProceduresWithTheirParametersLocalsAndFigures) {
    const decl::MemberDeclarations m = Declarations({
        "Dim mList() As Long",
        "Public Function Find(ByVal key As String, Optional ByRef start As Long = 1, ParamArray rest()) As Long",
        "    Dim i As Long, found",
        "    Static calls&",
        "    Const Limit = 10",
        "    ReDim mList(5): ReDim work(1 To 3) As String: ReDim key(2)",
        "    On Error GoTo Failed",
        "    If i > Limit Then GoTo Done Else Exit Function",
        "    GoSub Helper",
        "    On Error Resume Next",
        "    On Error GoTo 0",
        "Helper:",
        "    Return",
        "Done:",
        "Failed:",
        "100 Find = i",
        "End Function",
        "Sub NoParameters",
        "End Sub",
    });
    ASSERT_EQ(m.procedures.size(), 2u);
    const decl::ProcedureDeclarations& p = m.procedures[0];
    EXPECT_EQ(Describe(p.header),
              "Function Find Public Long(As) 2:17\n"
              "  Parameter key Local String(As) byval 2:28\n"
              "  Parameter start Local Long(As) = 1 optional byref 2:58\n"
              "  Parameter rest Local Variant(Implicit) () paramarray 2:88\n");
    std::string locals;
    for (const Declaration& d : p.locals) locals += Describe(d);
    EXPECT_EQ(locals,
              "Variable i Local Long(As) 3:9\nVariable found Local Variant(Implicit) 3:20\n"
              "Variable calls Local Long(Char) static 4:12\nConstant Limit Local Variant(Implicit) = 10 5:11\n"
              "Variable work Local String(As) (1 To 3) redim 6:27\n"
              "Label Helper Local 12:1\nLabel Done Local 14:1\nLabel Failed Local 15:1\nLineNumber 100 Local 16:1\n");
    EXPECT_EQ(p.onErrorGoTo, 1);
    EXPECT_EQ(p.onErrorResumeNext, 1);
    EXPECT_EQ(p.onErrorGoTo0, 1);
    EXPECT_EQ(p.goTo, 1);
    EXPECT_EQ(p.goSub, 1);
    EXPECT_EQ(p.returns, 1);
    EXPECT_EQ(p.exits, 1);
    // Dim, Static, Const, three ReDims, three On Errors, the one-line If,
    // GoSub, Return and the assignment; not the labels, not the If's parts.
    EXPECT_EQ(p.statements, 13);
    EXPECT_TRUE(m.procedures[1].header.Details().children.empty());
    // The module knows its own variable; the procedures are not repeated.
    ASSERT_EQ(m.module.size(), 1u);
    EXPECT_EQ(m.module[0].name, "mList");
}

}  // namespace
}  // namespace quibex::vb6
