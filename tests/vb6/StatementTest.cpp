// The statement layer's rules, one table of cases, each read whole and in
// pieces of 1, 2, 3, 7 and 4096 bytes; conditional compilation with the
// project's constants, the member's own and the user's.

#include <gtest/gtest.h>

#include "tests/vb6/ModelText.h"
#include "tests/vb6/StatementText.h"

namespace quibex::vb6 {
namespace {

using test::Joined;
using test::Statements;

std::string Read(const std::vector<std::string>& lines, const syntax::Constants& constants = syntax::Constants{},
                 bool withLines = false) {
    const std::string text = Joined(lines);
    const std::string whole = Statements(text, text.size() + 1, constants, withLines);
    for (std::size_t piece : {1, 2, 3, 7, 4096}) {
        EXPECT_EQ(Statements(text, piece, constants, withLines), whole) << "in pieces of " << piece;
    }
    return whole;
}

struct Case {
    const char* rule;
    std::vector<std::string> lines;
    std::string statements;
};

TEST(Statements, EachRuleOfTheStatementLayer) {
    const Case cases[] = {
        {"\" _\" joins lines into one statement; not inside a string or a comment",
         {"x = a + _", "  b", "s = \"a _\"", "' c _", "d"},
         "stmt 1 x = a + b\nstmt 3 s = \"a _\"\n"},
        {"\":\" separates statements, not inside a string, not in :=",
         {"a = 1: b = \":\": f x:=2"}, "stmt 1 a = 1\nstmt 1 b = \":\"\nstmt 1 f x := 2\n"},
        {"a name and \":\" at a line's start is a label; Else: is the Else statement",
         {"Retry: x = 1", "If a Then", "Else: y = 2", "End If"},
         "label 1 Retry\nstmt 1 x = 1\nif 2 If a Then\nelse 3 Else\nstmt 3 y = 2\nendif 4 End If\n"},
        {"a number at a line's start is a line number",
         {"10 x = 1", "20: y = 2"}, "number 1 10\nstmt 1 x = 1\nnumber 2 20\nstmt 2 y = 2\n"},
        {"a one-line If is one statement with its parts",
         {"If a Then b = 1: c = 2 Else d = 3"},
         "inlineif 1 If a Then\nstmt 1 then b = 1\nstmt 1 then c = 2\nstmt 1 else d = 3\n"},
        {"the Else of nested one-line Ifs belongs to the inner one first",
         {"If a Then If b Then c Else d Else e"},
         "inlineif 1 If a Then\ninlineif 1 then If b Then\nstmt 1 then c\nstmt 1 else d\nstmt 1 else e\n"},
        {"Then before a comment or the line's end makes a block If; Then in parentheses does not",
         {"If f(Then) Then ' c", "End If"}, "if 1 If f ( Then ) Then\nendif 2 End If\n"},
        {"End Sub after a colon ends the procedure; End alone and If x Then End do not",
         {"Sub A(): End", "If x Then End", "Err1: End Sub"},
         "proc 1 Sub A ( )\nstmt 1 End\ninlineif 2 If x Then\nstmt 2 then End\nlabel 3 Err1\nendproc 3 End Sub\n"},
        {"a procedure head only starts a line", {"x = 1: Sub Late()"}, "stmt 1 x = 1\nstmt 1 Sub Late ( )\n"},
        {"Type and Enum members are members whatever they are called",
         {"Private Type T", "  sUB As Long", "  function As Long", "End Type", "Enum E", "  Dim", "End Enum"},
         "type 1 Private Type T\nmember 2 sUB As Long\nmember 3 function As Long\nendtype 4 End Type\n"
         "enum 5 Enum E\nmember 6 Dim\nendenum 7 End Enum\n"},
        {"a procedure head inside a Type without End Type starts the procedure",
         {"Type T", "  a As Long", "Sub X()", "End Sub"},
         "type 1 Type T\nmember 2 a As Long\nproc 3 Sub X ( )\nendproc 4 End Sub\n"},
        {"#If keeps the branch of the first true condition; Win32 is true, Win64 and VBA7 are not",
         {"#If Win64 Or VBA7 Then", "a", "#ElseIf Win32 Then", "b", "#Else", "c", "#End If"},
         "directive 1 # If Win64 Or VBA7 Then\ndirective 3 # ElseIf Win32 Then\nstmt 4 b\ndirective 5 # Else\n"
         "directive 7 # End If\n"},
        {"a head written in both branches is one procedure",
         {"#If Win64 Then", "Public Function T() As LongLong", "#Else", "Public Function T() As Long", "#End If",
          "End Function"},
         "directive 1 # If Win64 Then\ndirective 3 # Else\nproc 4 Public Function T ( ) As Long\n"
         "directive 5 # End If\nendproc 6 End Function\n"},
        {"#Const in order; nested #If inside a branch left out stays left out",
         {"#Const A = 2", "#If A > 1 And Not B Then", "x", "#If False Then", "y", "#End If", "#Else", "#If True Then",
          "z", "#End If", "#End If"},
         "directive 1 # Const A = 2\ndirective 2 # If A > 1 And Not B Then\nstmt 3 x\ndirective 4 # If False Then\n"
         "directive 6 # End If\ndirective 7 # Else\ndirective 11 # End If\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(Read(c.lines), c.statements);
    }
}

TEST(Statements, ConstantsOfTheProjectAndTheUser) {
    syntax::Constants constants;
    EXPECT_TRUE(constants.AddProjectConstants("DEBUG = 1 : TRACE = -1 : LEVEL = 3"));
    EXPECT_TRUE(constants.AddDefinition("Win64=1"));
    EXPECT_TRUE(constants.AddDefinition("LEVEL=\"high\""));
    EXPECT_FALSE(constants.AddDefinition("no value"));
    EXPECT_FALSE(constants.AddProjectConstants("A = 1 : = 2"));
    const std::vector<std::string> lines{"#If DEBUG And TRACE Then", "a", "#End If", "#If Win64 Then", "b", "#End If",
                                         "#If LEVEL = \"high\" Then", "c", "#End If"};
    const std::string read = Read(lines, constants);
    EXPECT_NE(read.find("stmt 2 a"), std::string::npos);
    EXPECT_NE(read.find("stmt 5 b"), std::string::npos);
    EXPECT_NE(read.find("stmt 8 c"), std::string::npos);
    const std::string plain = Read(lines);
    EXPECT_EQ(plain.find("stmt"), std::string::npos);
}

TEST(Statements, ExpressionsOfConditionalCompilation) {
    syntax::Constants constants;
    constants.Set("N", syntax::Value::Number(5));
    constants.Set("S", syntax::Value::String("x"));
    struct Expression {
        const char* text;
        bool value;
    };
    const Expression expressions[] = {
        {"Win32", true},        {"Win16", false},        {"Win64", false},         {"Mac", false},
        {"VBA6", false},        {"Not Win64", true},     {"N = 5", true},          {"N <> 5", false},
        {"N >= 5 And N < 6", true}, {"(N + 1) * 2 = 12", true}, {"S = \"x\"", true}, {"S & \"y\" = \"xy\"", true},
        {"True Xor True", false}, {"False Or -1", true},  {"Undefined = 0", true},  {"&HFF = 255", true},
        {"N Mod 2 = 1", true},  {"\"2\" = 2", true},
    };
    for (const Expression& e : expressions) {
        SCOPED_TRACE(e.text);
        const std::string source = std::string("#If ") + e.text + " Then\r\nyes\r\n#End If\r\n";
        const std::string read = Statements(source, source.size(), constants);
        EXPECT_EQ(read.find("stmt 2 yes") != std::string::npos, e.value) << read;
    }
}

TEST(Statements, LinesInALeftOutBranchKeepTheirClass) {
    EXPECT_EQ(Read({"#If False Then", "x = 1 ' c", "' comment", "", "#End If"}, syntax::Constants{}, true),
              "directive 1 # If False Then\nline 1 code inactive\nline 2 code inactive\nline 3 comment inactive\n"
              "line 4 blank inactive\ndirective 5 # End If\nline 5 code\n");
}

TEST(Statements, AVeryLongStatementComesInBoundedPieces) {
    std::string line = "x = 0";
    for (int i = 0; i < 3000; ++i) line += " + a";
    const std::string read = Statements(line + "\r\n", 4096);
    // 6,003 tokens in pieces of at most 1,024: five that go on, then the rest.
    std::size_t pieces = 0, goOn = 0;
    for (std::size_t at = read.find("stmt"); at != std::string::npos; at = read.find("stmt", at + 1)) ++pieces;
    for (std::size_t at = read.find(" +\n"); at != std::string::npos; at = read.find(" +\n", at + 1)) ++goOn;
    EXPECT_EQ(pieces, 6u);
    EXPECT_EQ(goOn, 5u);
}

}  // namespace
}  // namespace quibex::vb6
