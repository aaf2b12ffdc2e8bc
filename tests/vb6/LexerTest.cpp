// The lexer's rules, one table of cases, each read whole and in pieces of
// 1, 2, 3, 7 and 4096 bytes, which must give the same tokens; the same for
// every fixture member file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/TestSupport.h"
#include "tests/vb6/TokenText.h"

namespace quibex::vb6 {
namespace {

using test::Tokens;

constexpr std::size_t kPieces[] = {1, 2, 3, 7, 4096};

// The tokens of `source`, checked to be the same in pieces of every size.
std::string Lexed(std::string_view source, const CodePage& codePage = CodePage{}, const std::string& raw = {}) {
    const std::string whole = Tokens(source, source.size() + 1, codePage, raw);
    for (std::size_t piece : kPieces) EXPECT_EQ(Tokens(source, piece, codePage, raw), whole) << "in pieces of " << piece;
    return whole;
}

// The tokens without the line breaks' summary.
std::string Body(const std::string& tokens) { return tokens.substr(0, tokens.rfind("breaks ")); }

struct Case {
    const char* rule;
    std::string source;
    std::string tokens;
};

TEST(Lexer, EachKindOfTokenWithItsPlace) {
    const Case cases[] = {
        {"names, keywords in any case, type characters, [bracketed] names",
         "Dim s$, n% : REDIM [a b](1)\r\n",
         "1:1 kw Dim /3\n1:5 id s$ /2\n1:7 op , /1\n1:9 id n% /2\n1:12 op : /1\n1:14 kw REDIM /5\n"
         "1:20 id a b /5 []\n1:25 op ( /1\n1:26 num 1 /1\n1:27 op ) /1\n1:28 eol\n"},
        {"\"\" inside a string; a string ends with its line",
         "x = \"a\"\"b\" & \"open\r\n",
         "1:1 id x /1\n1:3 op = /1\n1:5 str a\"\"b /6\n1:12 op & /1\n1:14 str open /5 open\n1:19 eol\n"},
        {"numbers: decimals, exponents, &H and &O, type characters, .5",
         "a = 1.5E+3 + &HFF& + &O17 + 2# + .5\n",
         "1:1 id a /1\n1:3 op = /1\n1:5 num 1.5E+3 /6\n1:12 op + /1\n1:14 num &HFF& /5\n1:20 op + /1\n"
         "1:22 num &O17 /4\n1:27 op + /1\n1:29 num 2# /2\n1:32 op + /1\n1:34 num .5 /2\n1:36 eol\n"},
        {"date literals; # before a file number is no date",
         "d = #1/2/2000 3:04:05 PM#: Print #1, x#\n",
         "1:1 id d /1\n1:3 op = /1\n1:5 date 1/2/2000 3:04:05 PM /21\n1:26 op : /1\n1:28 kw Print /5\n"
         "1:34 op # /1\n1:35 num 1 /1\n1:36 op , /1\n1:38 id x# /2\n1:40 eol\n"},
        {"comments: ', Rem where a statement starts, not Remark or Rem inside one",
         "Remark = 1 ' it's\nRem x: y\nz = 1: Rem q\nIf a Then Rem r\n",
         "1:1 id Remark /6\n1:8 op = /1\n1:10 num 1 /1\n1:12 com  it's /6\n1:18 eol\n"
         "2:1 rem  x: y /8\n2:9 eol\n"
         "3:1 id z /1\n3:3 op = /1\n3:5 num 1 /1\n3:6 op : /1\n3:8 rem  q /5\n3:13 eol\n"
         "4:1 kw If /2\n4:4 id a /1\n4:6 kw Then /4\n4:11 rem  r /5\n4:16 eol\n"},
        {"\" _\" continues a statement; \"_\" without a blank before it does not",
         "x = a _\n  + b_\n",
         "1:1 id x /1\n1:3 op = /1\n1:5 id a /1\n1:8 eol +\n2:3 op + /1\n2:5 id b_ /2\n2:7 eol\n"},
        {"\" _\" continues a comment, not over a blank line",
         "' a _\nb _\n\nc\n",
         "1:1 com  a _ /5 '+\n1:6 eol '+\n2:1 com b _ /3 '+\n2:4 eol '+\n3:1 eol\n4:1 id c /1\n4:2 eol\n"},
        {"\" _\" inside a string continues nothing",
         "x = \"a _\"\ny\n",
         "1:1 id x /1\n1:3 op = /1\n1:5 str a _ /5\n1:10 eol\n2:1 id y /1\n2:2 eol\n"},
        {"operators of two bytes, named arguments, bang member access",
         "If a <= b And c <> d Then f x:=1, rs!Name, v!\n",
         "1:1 kw If /2\n1:4 id a /1\n1:6 op <= /2\n1:9 id b /1\n1:11 kw And /3\n1:15 id c /1\n1:17 op <> /2\n"
         "1:20 id d /1\n1:22 kw Then /4\n1:27 id f /1\n1:29 id x /1\n1:30 op := /2\n1:32 num 1 /1\n1:33 op , /1\n"
         "1:35 id rs /2\n1:37 op ! /1\n1:38 id Name /4\n1:42 op , /1\n1:44 id v! /2\n1:46 eol\n"},
        {"CR LF, lone LF and lone CR end lines; a last line without a break counts",
         "a\r\nb\nc\rd",
         "1:1 id a /1\n1:2 eol\n2:1 id b /1\n2:2 eol\n3:1 id c /1\n3:2 eol\n4:1 id d /1\n4:2 eol\n"},
        {"accented letters of a single-byte code page are letters of a name",
         "A\xF1o = 1\n", "1:1 id A\xF1o /3\n1:5 op = /1\n1:7 num 1 /1\n1:8 eol\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(Body(Lexed(c.source)), c.tokens);
    }
}

TEST(Lexer, DoubleByteTrailBytesAreNeverPunctuation) {
    const CodePage shiftJis = *CodePageFromNumber(932);
    // 0x95 0x5C and 0x83 0x5F: trail bytes that look like "\" and "_"; in
    // 0x82 0x4F one that looks like "O"; [0x83 0x5D] one that looks like "]".
    EXPECT_EQ(Body(Lexed("\x95\x5C\x83\x5F = \x82Or _\n[\x83\x5D] 1\n", shiftJis)),
              "1:1 id \x95\x5C\x83\x5F /4\n1:6 op = /1\n1:8 id \x82Or /3\n1:13 eol +\n"
              "2:1 id \x83\x5D /4 []\n2:6 num 1 /1\n2:7 eol\n");
    // A lead byte without its trail byte stands alone; the quote after it
    // still opens a string.
    EXPECT_EQ(Body(Lexed("a\x81\"b\"\n", shiftJis)), "1:1 id a\x81 /2\n1:3 str b /3\n1:6 eol\n");
}

TEST(Lexer, RawLinesAreWholeAndHoldNoTokens) {
    EXPECT_EQ(Body(Lexed("Begin VB.Form F\r\n   Caption = \"it's\" ' x _\r\nEnd\r\n", CodePage{}, "110")),
              "1:1 raw Begin VB.Form F /15\n1:16 eol\n2:1 raw    Caption = \"it's\" ' x _ /25\n2:26 eol\n"
              "3:1 kw End /3\n3:4 eol\n");
}

TEST(Lexer, LineBreaksAreCountedAsTheEngineCountsLines) {
    EXPECT_EQ(Lexed("a\r\nb\nc\rd").substr(Lexed("a\r\nb\nc\rd").rfind("breaks")), "breaks 1 1 1 2 3 1\n");
    EXPECT_EQ(Lexed("\r\r\n\n").substr(Lexed("\r\r\n\n").rfind("breaks")), "breaks 1 1 1 3 1 0\n");
}

TEST(Lexer, ALongLineCostsABoundedTokenAndKeepsItsLength) {
    // 100,000 bytes of a name, a string and a comment: the text is cut, the
    // length and the next token's column are whole.
    const std::string name(100000, 'n');
    const std::string source = name + " = \"" + std::string(100000, 's') + "\" ' " + std::string(100000, 'c') + "\nx\n";
    const std::string tokens = Lexed(source);
    EXPECT_NE(tokens.find("1:1 id " + std::string(lex::kMaxNameText, 'n') + " /100000\n"), std::string::npos);
    EXPECT_NE(tokens.find("1:100004 str " + std::string(lex::kMaxStringText, 's') + " /100002\n"), std::string::npos);
    EXPECT_NE(tokens.find("1:200007 com  " + std::string(lex::kMaxCommentText - 1, 'c') + " /100002\n"),
              std::string::npos);
    EXPECT_NE(tokens.find("2:1 id x /1\n"), std::string::npos);
}

TEST(Lexer, EveryFixtureGivesTheSameTokensInPiecesOfAnySize) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(quibex::test::DataDir())) {
        if (!entry.is_regular_file()) continue;
        const std::string extension = entry.path().extension().string();
        if (extension != ".bas" && extension != ".cls" && extension != ".frm" && extension != ".ctl" &&
            extension != ".pag" && extension != ".dob") {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        std::ifstream file(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        const CodePage codePage =
            entry.path().parent_path().filename() == "Japan" ? *CodePageFromNumber(932) : CodePage{};
        Lexed(text.str(), codePage);
        ++files;
    }
    EXPECT_GT(files, 20);
}

}  // namespace
}  // namespace quibex::vb6
