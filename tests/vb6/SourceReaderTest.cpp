// The source model's rules, one test per rule, each over a table of cases.
// Every case is also read with LF and CR line breaks and in pieces of a few
// bytes, which must change nothing, and its classes must add up to the
// lines the engine counts.

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/TestSupport.h"
#include "tests/vb6/ModelText.h"


namespace quibex::vb6 {
namespace {

using test::Describe;
using test::Joined;
using test::ReadInPieces;

// Designer, attribute, blank, comment, code.
LineCounts Counts(Figure d, Figure a, Figure b, Figure c, Figure k) {
    LineCounts l;
    l[LineClass::Designer] = d;
    l[LineClass::Attribute] = a;
    l[LineClass::Blank] = b;
    l[LineClass::Comment] = c;
    l[LineClass::Code] = k;
    return l;
}

// The model of the lines, checked to be the same whatever the line breaks
// and however the bytes arrive, and to cover every line the engine counts.
MemberModel Read(const std::vector<std::string>& lines, const CodePage& codePage = CodePage{}) {
    const std::string text = Joined(lines);
    MemberModel model = ReadInPieces(text, text.size() + 1, codePage);
    EXPECT_EQ(model.lines.Total(), test::EngineLines(text, codePage));
    const std::string described = Describe(model);
    for (std::size_t piece : {1, 2, 3, 7, 64}) {
        // Facts name the line breaks, which are the point of the variants;
        // everything else must agree.
        EXPECT_EQ(Describe(ReadInPieces(text, piece, codePage)), described) << "in pieces of " << piece;
    }
    for (std::string_view eol : {"\n", "\r"}) {
        MemberModel other = ReadInPieces(Joined(lines, eol), 5, codePage);
        other.file = model.file;
        EXPECT_EQ(Describe(other), described) << "with other line breaks";
    }
    return model;
}

struct LineCase {
    const char* rule;
    std::vector<std::string> lines;
    LineCounts expected;
};

TEST(SourceReader, EveryLineIsInTheClassOfItsRule) {
    const LineCase cases[] = {
        {"VERSION, the Object lines after it and the whole outermost block",
         {"VERSION 5.00", "Object = \"{X}#1.0#0\"; \"A.OCX\"", "Begin VB.Form F", "   Caption = \"x\"",
          "   BeginProperty Font", "   EndProperty", "   Begin VB.Label L", "   End", "End", "Attribute VB_Name = \"F\""},
         Counts(9, 1, 0, 0, 0)},
        {"a class module's BEGIN ... END header, VERSION in any letter case",
         {"version 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END", "Attribute VB_Name = \"C\""},
         Counts(4, 1, 0, 0, 0)},
        {"blank and comment lines inside the block belong to it",
         {"VERSION 5.00", "Begin VB.Form F", "", "   ' x", "End", ""}, Counts(5, 0, 1, 0, 0)},
        {"BeginProperty is no Begin: it ends the header", {"VERSION 5.00", "BeginProperty X", "End"},
         Counts(1, 0, 0, 0, 2)},
        {"only a first line starting with VERSION and a blank opens a layout",
         {"", "VERSION 5.00", "Begin VB.Form F", "End"}, Counts(0, 0, 1, 0, 3)},
        {"VERSION must be followed by a blank", {"VERSION5.00", "Begin VB.Form F", "End"}, Counts(0, 0, 0, 0, 3)},
        {"Attribute lines outside the block, also inside procedures",
         {"Attribute VB_Name = \"M\"", "Sub A()", "Attribute A.VB_Description = \"x\"", "End Sub"},
         Counts(0, 2, 0, 0, 2)},
        {"blank: nothing but spaces and tabs", {"", "  ", "\t \t", " x"}, Counts(0, 0, 3, 0, 1)},
        {"comment: ' or Rem as the first word; Remark is a name",
         {"' a", "   'b", "Rem c", "REM", "rem\td", "Remark = 1", "x = 1 ' trailing"}, Counts(0, 0, 0, 5, 2)},
        {"a comment line ending in \" _\" goes on to the next line", {"' a _", "b _", "c", "d"},
         Counts(0, 0, 0, 3, 1)},
        {"\"_\" without a blank before it continues nothing", {"' a_", "b", "Rem x _", "y"}, Counts(0, 0, 0, 3, 1)},
        {"a trailing comment continued is comment on the next line", {"x = 1 ' a _", "b", "c"},
         Counts(0, 0, 0, 1, 2)},
        {"a continued statement is code on every line", {"x = 1 + _", "    2 + _", "    3"}, Counts(0, 0, 0, 0, 3)},
        {"a blank line ends a continuation", {"x = _", "", "' c"}, Counts(0, 0, 1, 1, 1)},
        {"#If, #Else and #Const lines are code", {"#Const A = 1", "#If A Then", "#Else", "#End If"},
         Counts(0, 0, 0, 0, 4)},
        {"a string holding a quote and keywords is code",
         {"x = \"' not a comment\"", "y = \"Rem\": z = 1"}, Counts(0, 0, 0, 0, 2)},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(Read(c.lines).lines, c.expected);
    }
}

struct ProcedureCase {
    std::vector<std::string> lines;
    // Name, kind, scope, static, first and last line, ended; nothing when
    // the lines hold no procedure.
    std::optional<std::tuple<std::string, ProcedureKind, Scope, bool, Figure, Figure, bool>> expected;
};

TEST(SourceReader, ProcedureHeadsAndEnds) {
    using K = ProcedureKind;
    using S = Scope;
    const ProcedureCase cases[] = {
        {{"Sub Main()", "End Sub"}, {{"Main", K::Sub, S::Public, false, 1, 2, true}}},
        {{"Private Sub A()", "End Sub"}, {{"A", K::Sub, S::Private, false, 1, 2, true}}},
        {{"friend function F() As Long", "END FUNCTION"}, {{"F", K::Function, S::Friend, false, 1, 2, true}}},
        {{"Global Sub G()", "End Sub"}, {{"G", K::Sub, S::Global, false, 1, 2, true}}},
        {{"Public Static Sub S()", "End Sub"}, {{"S", K::Sub, S::Public, true, 1, 2, true}}},
        {{"Static Function T()", "End Function"}, {{"T", K::Function, S::Public, true, 1, 2, true}}},
        {{"Property Get P() As Long", "End Property"}, {{"P", K::PropertyGet, S::Public, false, 1, 2, true}}},
        {{"Public Property Let P(v)", "End Property"}, {{"P", K::PropertyLet, S::Public, false, 1, 2, true}}},
        {{"Private Property Set P(o)", "End Property"}, {{"P", K::PropertySet, S::Private, false, 1, 2, true}}},
        // A head over several lines is one head, starting on its first.
        {{"", "Public Function Split( _", "    ByVal a As Long, _", "    ByVal b As Long) As Long", "End Function"},
         {{"Split", K::Function, S::Public, false, 2, 5, true}}},
        {{"Function Name$()", "End Function"}, {{"Name", K::Function, S::Public, false, 1, 2, true}}},
        // A file that ends inside a procedure ends it at its last line.
        {{"Sub Open()", "    x = 1"}, {{"Open", K::Sub, S::Public, false, 1, 2, false}}},
        {{"Public Declare Sub D Lib \"k\" ()"}, std::nullopt},
        {{"Private Event Changed()"}, std::nullopt},
        {{"Dim Subtotal As Long", "Exit Sub", "End Sub"}, std::nullopt},
        {{"x = 1: Sub Late()"}, std::nullopt},
    };
    for (const ProcedureCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lines));
        const MemberModel model = Read(c.lines);
        if (!c.expected) {
            EXPECT_TRUE(model.procedures.empty());
            continue;
        }
        ASSERT_EQ(model.procedures.size(), 1u);
        const Procedure& p = model.procedures[0];
        const auto& [name, kind, scope, isStatic, first, last, ended] = *c.expected;
        EXPECT_EQ(p.name, name);
        EXPECT_EQ(p.kind, kind);
        EXPECT_EQ(p.scope, scope);
        EXPECT_EQ(p.isStatic, isStatic);
        EXPECT_EQ(p.firstLine, first);
        EXPECT_EQ(p.lastLine, last);
        EXPECT_EQ(p.ended, ended);
        EXPECT_EQ(p.lines.Total(), last - first + 1);
    }
}

TEST(SourceReader, AProcedureWithoutEndStopsBeforeTheNextHead) {
    const MemberModel model = Read({"Sub A()", "    x = 1", "' about B", "Sub B()", "End Sub"});
    ASSERT_EQ(model.procedures.size(), 2u);
    EXPECT_EQ(model.procedures[0].lastLine, 3);
    EXPECT_FALSE(model.procedures[0].ended);
    EXPECT_EQ(model.procedures[0].lines, Counts(0, 0, 0, 1, 2));
    EXPECT_EQ(model.procedures[1].firstLine, 4);
    EXPECT_EQ(model.procedures[1].lines, Counts(0, 0, 0, 0, 2));
}

// Procedures, Declare count and line classes in one line: "X 1-1 cc1,
// Y 2-3 unended cc2 | declares 1 | lines 0 0 0 0 3".
std::string Summary(const MemberModel& m) {
    std::string out;
    for (const Procedure& p : m.procedures) {
        if (!out.empty()) out += ", ";
        out += p.name + " " + std::to_string(p.firstLine) + "-" + std::to_string(p.lastLine) +
               (p.ended ? "" : " unended") + " cc" + std::to_string(p.complexity);
    }
    out += " | declares " + std::to_string(m.declares.size()) + " | lines";
    for (LineClass c : kLineClasses) out += " " + std::to_string(m.lines[c]);
    return out;
}

std::vector<std::string> LongLine(bool withMore) {
    std::string line = "t = 1";
    for (int i = 0; i < 12000; ++i) line += " And u";
    std::vector<std::string> lines{"Sub L()", line};
    if (withMore) lines.push_back("x = 2");
    lines.push_back("End Sub");
    return lines;
}

TEST(SourceReader, StatementCasesTheLineReaderGotWrong) {
    struct Case {
        const char* rule;
        std::vector<std::string> lines;
        std::string summary;
    };
    const Case cases[] = {
        {"End Sub after a colon ends the procedure",
         {"Private Sub X(): End Sub", "Private Sub Y()", "End Sub"}, "X 1-1 cc1, Y 2-3 cc1 | declares 0 | lines 0 0 0 0 3"},
        {"End Sub after a label ends the procedure",
         {"Sub A()", "Err1: End Sub", "' about B", "Sub B()", "End Sub"},
         "A 1-2 cc1, B 4-5 cc1 | declares 0 | lines 0 0 0 1 4"},
        {"a one-line Property Get does not stretch over the comments after it",
         {"Property Get X() As Long: X = m: End Property", "' note", "' note"},
         "X 1-1 cc1 | declares 0 | lines 0 0 0 2 1"},
        {"a head written in two #If branches is one procedure",
         {"#If Win64 Then", "Public Function T() As LongLong", "#Else", "Public Function T() As Long", "#End If",
          "  If a Then T = 1", "End Function"},
         "T 4-7 cc2 | declares 0 | lines 0 0 0 0 7"},
        {"Type fields spelled like keywords are no procedures",
         {"Private Type T", "  sUB As Long", "  function As Long", "End Type"}, " | declares 0 | lines 0 0 0 0 4"},
        {"a CDecl Declare is a Declare", {"Declare Function strlen CDecl Lib \"msvcrt\" (ByVal s As String) As Long"},
         " | declares 1 | lines 0 0 0 0 1"},
        {"End alone and If x Then End end the program, not the procedure",
         {"Sub Quit()", "If x Then End", "End", "End Sub"}, "Quit 1-4 cc2 | declares 0 | lines 0 0 0 0 4"},
        {"a line of 72,000 bytes counts whole wherever the reads cut it", LongLine(false),
         "L 1-3 cc12001 | declares 0 | lines 0 0 0 0 3"},
        {"... also when more lines follow it", LongLine(true), "L 1-4 cc12001 | declares 0 | lines 0 0 0 0 4"},
        {"a UTF-8 byte order mark is skipped: a class header stays designer",
         {"\xEF\xBB\xBFVERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END", "Attribute VB_Name = \"C\""},
         " | declares 0 | lines 4 1 0 0 0"},
        {"... and a module's Attribute line stays attribute",
         {"\xEF\xBB\xBF" "Attribute VB_Name = \"M\"", "Sub A()", "End Sub"}, "A 2-3 cc1 | declares 0 | lines 0 1 0 0 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(Summary(Read(c.lines)), c.summary);
    }
}

TEST(SourceReader, ProjectConstantsChooseTheBranches) {
    const std::vector<std::string> lines{"Sub A()", "#If DEBUG Then", "If a Or b Then Stop", "#End If", "End Sub"};
    EXPECT_EQ(Read(lines).procedures[0].complexity, 1);
    syntax::Constants debug;
    debug.AddProjectConstants("DEBUG = -1");
    EXPECT_EQ(ReadSource(Joined(lines), CodePage{}, debug).procedures[0].complexity, 3);
}

struct ComplexityCase {
    std::vector<std::string> body;
    Figure complexity;
    Figure nesting;
};

TEST(SourceReader, ComplexityCountsDecisionsOutsideStringsAndComments) {
    const ComplexityCase cases[] = {
        {{}, 1, 0},
        {{"If a Then", "End If"}, 2, 1},
        {{"If a Then b = 1"}, 2, 0},
        {{"If a Then b = 1 Else c = 2"}, 2, 0},
        {{"If a Then: b = 1"}, 2, 0},
        {{"If a Then ' a block If still", "End If"}, 2, 1},
        {{"If a Then", "ElseIf b Then", "Else", "End If"}, 3, 1},
        {{"If a Then", "  If b Then", "    x = 1", "  End If", "End If"}, 3, 2},
        {{"Select Case a", "Case 1", "Case 2, 3", "Case Else", "End Select"}, 3, 1},
        {{"For i = 1 To 2", "Next"}, 2, 1},
        {{"For Each x In c", "Next x"}, 2, 1},
        {{"For i = 1 To 2", "For j = 1 To 2", "Next j, i", "With x", "End With"}, 3, 2},
        {{"Exit For", "Exit Do"}, 1, 0},
        {{"Open f For Input As #1"}, 1, 0},
        {{"Do While a", "Loop"}, 2, 1},
        {{"Do", "Loop Until a Or b"}, 3, 1},
        {{"While a", "Wend"}, 2, 1},
        {{"With x", "  .y = 1", "End With"}, 1, 1},
        {{"x = a And b Or c"}, 3, 0},
        {{"x = a _", "    And b"}, 2, 0},
        {{"x = \"If And Or While\""}, 1, 0},
        {{"x = 1 ' If And Or", "Rem If And"}, 1, 0},
        {{"#If A Then", "#ElseIf B Then", "#End If"}, 1, 0},
        {{"x = Band + Orange + Forth + IfX"}, 1, 0},
        {{"10 If a Then", "20 End If"}, 2, 1},
        // More closing than opening words: the depth stays at 0.
        {{"End If", "Loop", "If a Then", "End If"}, 2, 1},
    };
    for (const ComplexityCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.body));
        std::vector<std::string> lines{"Sub X()"};
        lines.insert(lines.end(), c.body.begin(), c.body.end());
        lines.push_back("End Sub");
        lines.push_back("If outside Then");  // after End Sub: no procedure's
        const MemberModel model = Read(lines);
        ASSERT_EQ(model.procedures.size(), 1u);
        EXPECT_EQ(model.procedures[0].complexity, c.complexity);
        EXPECT_EQ(model.procedures[0].nesting, c.nesting);
    }
}

TEST(SourceReader, DeclareStatements) {
    struct Case {
        std::vector<std::string> lines;
        std::string name, library, alias;
        bool isFunction;
        Scope scope;
    };
    const Case cases[] = {
        {{"Private Declare Function GetTickCount Lib \"kernel32\" () As Long"}, "GetTickCount", "kernel32", "", true,
         Scope::Private},
        {{"Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)"}, "Sleep", "kernel32", "", false, Scope::Public},
        {{"Public Declare Function Beep Lib \"kernel32.dll\" Alias \"Beep\" (ByVal f As Long) As Long"}, "Beep",
         "kernel32.dll", "Beep", true, Scope::Public},
        {{"Private Declare Function Count& Lib \"k\" ()"}, "Count", "k", "", true, Scope::Private},
        {{"Private Declare Function Find Lib _", "    \"user32\" Alias \"FindWindowA\" ()"}, "Find", "user32",
         "FindWindowA", true, Scope::Private},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lines));
        const MemberModel model = Read(c.lines);
        ASSERT_EQ(model.declares.size(), 1u);
        const Declare& d = model.declares[0];
        EXPECT_EQ(d.name, c.name);
        EXPECT_EQ(d.library, c.library);
        EXPECT_EQ(d.alias, c.alias);
        EXPECT_EQ(d.isFunction, c.isFunction);
        EXPECT_EQ(d.scope, c.scope);
        EXPECT_EQ(d.line, 1);
    }
    EXPECT_TRUE(Read({"Private Declare Function NoLibrary Lib kernel32 ()"}).declares.empty());
}

TEST(SourceReader, EventHandlersNameAnObjectOfTheMember) {
    const MemberModel form = Read({"VERSION 5.00", "Begin VB.Form F", "   Begin VB.CommandButton cmd", "   End",
                                   "   Begin VB.CommandButton cmd_OK", "   End", "End",
                                   "Dim WithEvents Conn As Connection", "Private Sub cmd_OK_Click()", "End Sub",
                                   "Private Sub conn_Open()", "End Sub", "Private Sub Form_Load()", "End Sub",
                                   "Private Sub Other_Click()", "End Sub", "Private Function cmd_Value()",
                                   "End Function", "Private Sub cmd_()", "End Sub"});
    std::vector<std::string> handlers;
    for (const Procedure& p : form.procedures) handlers.push_back(p.handler ? p.handlerObject : "-");
    EXPECT_EQ(handlers, (std::vector<std::string>{"cmd_OK", "Conn", "Form", "-", "-", "-"}));
    // A module has no object of its own.
    EXPECT_FALSE(Read({"Sub Form_Load()", "End Sub"}).procedures[0].handler);
}

TEST(SourceReader, DoubleByteCharactersHideTheirTrailBytes) {
    const CodePage shiftJis = *CodePageFromNumber(932);
    // 0x82 0x4F is one character, so "Or" is no word here; in Windows-1252
    // it is.
    const std::vector<std::string> lines{"Sub X()", "    y = \x82Or 1", "End Sub"};
    EXPECT_EQ(Read(lines, shiftJis).procedures[0].complexity, 1);
    EXPECT_EQ(Read(lines).procedures[0].complexity, 2);
    // A name made of double-byte characters whose trail bytes look like "\" and "_".
    EXPECT_EQ(Read({"Sub \x95\x5C\x83\x5F()", "End Sub"}, shiftJis).procedures[0].name, "\x95\x5C\x83\x5F");
}

TEST(SourceReader, FileFactsTellLineBreaksAndBytesTheIdeRefuses) {
    struct Case {
        std::string text;
        int codePage;
        std::string facts;  // as Describe writes them
    };
    const Case cases[] = {
        {"a\r\nb\nc\rd", 1252, "facts 1 1 1 2 3 1 0 0 0 0 0\n"},
        {"a\r", 1252, "facts 0 0 1 0 1 0 0 0 0 0 0\n"},
        {"\xEF\xBB\xBFx\r\n", 1252, "facts 1 0 0 0 0 0 0 0 1 0 0\n"},
        {std::string("a\0b\r\nc\0", 7), 1252, "facts 1 0 0 0 0 1 2 1 0 0 0\n"},
        // A lead byte without its trail byte: before a line break, before a
        // byte that is no trail byte, at the end of the file.
        {"ok \x81\x40\r\nx\x81\r\ny\x81 \r\nz\x81", 932, "facts 3 0 0 0 0 1 0 0 0 3 2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CodePage codePage = *CodePageFromNumber(c.codePage);
        for (std::size_t piece : {1, 2, 100}) {
            const std::string described = Describe(ReadInPieces(c.text, piece, codePage));
            EXPECT_EQ(described.substr(described.find("facts")), c.facts) << "in pieces of " << piece;
        }
    }
}

#ifndef _WIN32
TEST(SourceReader, AGigabyteLineInBoundedMemory) {
    // A comment line of 2 GiB continued at its very end, then one more
    // comment line and a procedure: all read as if the line were short.
    SourceReader reader{CodePage{}};
    const std::string start = "' ";
    std::string piece(256 * 1024, 'x');
    const long before = quibex::test::PeakKiB();
    reader.Feed(start.data(), start.size());
    for (int i = 0; i < 8 * 1024; ++i) reader.Feed(piece.data(), piece.size());
    const std::string rest = " _\r\ngoes on\r\nSub A()\r\nEnd Sub\r\n";
    reader.Feed(rest.data(), rest.size());
    const MemberModel model = reader.Finish();
    EXPECT_LT(quibex::test::PeakKiB() - before, 16 * 1024) << "KiB of peak memory grown while reading";
    EXPECT_EQ(model.lines, Counts(0, 0, 0, 2, 2));
    ASSERT_EQ(model.procedures.size(), 1u);
    EXPECT_EQ(model.procedures[0].firstLine, 3);
}
#endif

}  // namespace
}  // namespace quibex::vb6
