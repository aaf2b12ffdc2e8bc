#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/LineScanner.h"

namespace quibex {
namespace {

struct Line {
    Figure chars;
    bool code;
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
    return os << "{" << l.chars << (l.code ? ", code}" : ", interface}");
}

// Scans `text` fed in pieces of `chunk` bytes.
std::vector<Line> Scan(const std::string& text, std::size_t chunk = 4096, const CodePage& codePage = CodePage{}) {
    std::vector<Line> lines;
    LineScanner scanner(codePage);
    auto onLine = [&](Figure chars, bool code) { lines.push_back({chars, code}); };
    for (std::size_t i = 0; i < text.size(); i += chunk) {
        std::size_t n = std::min(chunk, text.size() - i);
        scanner.Feed(text.data() + i, n, onLine);
    }
    scanner.Finish(onLine);
    return lines;
}

std::vector<Figure> Lengths(const std::string& text) {
    std::vector<Figure> out;
    for (const Line& l : Scan(text)) out.push_back(l.chars);
    return out;
}

TEST(LineScanner, TerminatorsEndLines) {
    using V = std::vector<Figure>;
    EXPECT_EQ(Lengths(""), V{});
    EXPECT_EQ(Lengths("abc"), V{3});            // no terminator: still a line
    EXPECT_EQ(Lengths("abc\r\n"), V{3});
    EXPECT_EQ(Lengths("abc\r"), V{3});
    EXPECT_EQ(Lengths("abc\n"), V{3});
    EXPECT_EQ(Lengths("\r\n"), V{0});
    EXPECT_EQ(Lengths("a\r\nbb\rccc\ndddd"), (V{1, 2, 3, 4}));
    EXPECT_EQ(Lengths("a\r\r\nb"), (V{1, 0, 1}));  // CR, then CR LF
    EXPECT_EQ(Lengths("a\n\rb"), (V{1, 0, 1}));    // LF, then a lone CR
    EXPECT_EQ(Lengths("\n\n"), (V{0, 0}));
    EXPECT_EQ(Lengths("tab\there\x01\xff"), V{10});
}

TEST(LineScanner, SameFiguresWhateverTheLineEnds) {
    const std::vector<std::string> lines = {"Attribute VB_Name = \"m\"", "", "Public Sub Main()", "  x = 1", "End Sub"};
    std::vector<Line> reference;
    for (const char* nl : {"\r\n", "\n", "\r"}) {
        std::string text;
        for (const std::string& l : lines) text += l + nl;
        std::vector<Line> got = Scan(text);
        if (reference.empty()) reference = got;
        EXPECT_EQ(got, reference) << "line end " << (nl[0] == '\r' ? (nl[1] ? "CRLF" : "CR") : "LF");
    }
    EXPECT_EQ(reference.size(), 5u);
}

TEST(LineScanner, FirstKeywordLineStartsTheCode) {
    struct Case {
        const char* line;
        bool code;
    } cases[] = {
        {"Private mCount As Long", true},
        {"PUBLIC SUB X()", true},              // any letter case
        {"' handles the public interface", true},  // inside a comment
        {"x = \"const \"", true},              // inside a string
        {"ReDim a(10)", true},                 // inside a longer word
        {"Friend Function F()", true},
        {"Property Get Name()", true},
        {"Property Let Name(v)", true},
        {"Property Set Obj(v)", true},
        {"Dim\tx As Long", false},             // a tab is not the space
        {"End Sub", false},
        {"Private", false},                    // no space after it
        {"Option Explicit", false},
        {"Implements IThing", false},
        {"Event Changed()", false},
        {"Type TPoint", false},
        {"Attribute VB_Name = \"x\"", false},
        {"Property  Get X()", false},          // two spaces
    };
    for (const Case& c : cases) {
        std::vector<Line> lines = Scan(std::string("Option Explicit\r\n") + c.line + "\r\nAttribute X\r\n");
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_FALSE(lines[0].code) << c.line;
        EXPECT_EQ(lines[1].code, c.code) << c.line;
        // Once the code has started, every later line is code.
        EXPECT_EQ(lines[2].code, c.code) << c.line;
    }
}

TEST(LineScanner, WorkedExampleModule) {
    std::string text = "Attribute VB_Name = \"mdlMain\"\r\nOption Explicit\r\n\r\nPublic Sub Main()\r\nEnd Sub\r\n";
    std::vector<Line> expected = {{29, false}, {15, false}, {0, false}, {17, true}, {7, true}};
    EXPECT_EQ(Scan(text), expected);
}

TEST(LineScanner, ChunkBoundariesChangeNothing) {
    // Keywords, CR LF pairs and the interface/code border fall on every
    // possible chunk boundary in turn.
    std::string text =
        "VERSION 5.00\r\nBegin VB.Form f\r\nEnd\rOption Explicit\n\r\n  ' notes\r\n"
        "Private Sub Form_Load()\r\n  x = 1\rEnd Sub\r\nlast";
    std::vector<Line> reference = Scan(text, text.size());
    ASSERT_EQ(reference.size(), 10u);
    for (std::size_t chunk = 1; chunk < 40; ++chunk) EXPECT_EQ(Scan(text, chunk), reference) << "chunk " << chunk;
}

TEST(LineScanner, KeywordStraddlingAHugeLine) {
    // A long line is never held: a keyword after 3 MB of text, split across
    // two feeds, is still found, and the length is exact.
    std::string filler(3 * 1024 * 1024 + 5, 'x');
    LineScanner scanner(CodePage{});
    std::vector<Line> lines;
    auto onLine = [&](Figure chars, bool code) { lines.push_back({chars, code}); };
    for (std::size_t i = 0; i < filler.size(); i += 65536) {
        scanner.Feed(filler.data() + i, std::min<std::size_t>(65536, filler.size() - i), onLine);
    }
    scanner.Feed(" prop", 5, onLine);
    scanner.Feed("erty get x\r\nnext", 16, onLine);
    scanner.Finish(onLine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (Line{static_cast<Figure>(filler.size()) + 15, true}));
    EXPECT_EQ(lines[1], (Line{4, true}));
}

TEST(LineScanner, DoubleByteCodePageCountsCharacters) {
    CodePage shiftJis;
    shiftJis.AddLeadRange(0x81, 0x9F);
    shiftJis.AddLeadRange(0xE0, 0xFC);
    // Two double-byte characters and "ab": four characters in six bytes.
    EXPECT_EQ(Scan("\x82\xa0\x82\xa2" "ab\r\n", 4096, shiftJis), (std::vector<Line>{{4, false}}));
    // The trail byte 's' belongs to a double-byte character: no "sub " here.
    EXPECT_EQ(Scan("\x81sub x\r\n", 4096, shiftJis), (std::vector<Line>{{5, false}}));
    EXPECT_EQ(Scan("\x81sub x\r\n", 4096, CodePage{}), (std::vector<Line>{{6, true}}));
    // A lead byte right before the line end is a character of its own.
    EXPECT_EQ(Scan("a\x81\r\nb", 4096, shiftJis), (std::vector<Line>{{2, false}, {1, false}}));
    // A pair split between two feeds, in the code part too.
    std::string text = "Dim x\r\n\x82\xa0\x82\xa0\r\n";
    for (std::size_t chunk = 1; chunk < 10; ++chunk) {
        EXPECT_EQ(Scan(text, chunk, shiftJis), (std::vector<Line>{{5, true}, {2, true}})) << chunk;
    }
}

// Figures per part, as a record holds them.
struct PartTotals {
    Figure interfaceLines = 0, interfaceChars = 0, codeLines = 0, codeChars = 0;
    bool operator==(const PartTotals&) const = default;
};

std::ostream& operator<<(std::ostream& os, const PartTotals& t) {
    return os << t.interfaceLines << "/" << t.interfaceChars << " + " << t.codeLines << "/" << t.codeChars;
}

// A sink that takes runs of code lines, wanting every `every`-th line of
// the file on its own, as the run's refresh does.
struct BatchSink {
    explicit BatchSink(Figure every) : every(every), until(every) {}
    Figure every;
    Figure until;
    PartTotals totals;
    Figure linesSeen = 0;
    bool runCrossedABoundary = false;

    void OnLine(Figure chars, bool code) {
        (code ? totals.codeLines : totals.interfaceLines) += 1;
        (code ? totals.codeChars : totals.interfaceChars) += chars;
        ++linesSeen;
        if (--until == 0) until = every;
    }
    void OnCodeLines(Figure lines, Figure chars) {
        if (lines >= until) runCrossedABoundary = true;
        totals.codeLines += lines;
        totals.codeChars += chars;
        linesSeen += lines;
        until -= lines;
    }
    Figure CodeLineBudget() const { return until; }
};

TEST(LineScanner, CodeRunsCountLikeSingleLines) {
    // Long stretches of code lines with every kind of line end, empty lines
    // and CR LF pairs split between feeds.
    std::string text = "VERSION 5.00\r\nAttribute VB_Name = \"m\"\r\nPrivate x As Long\r\n";
    for (int i = 0; i < 700; ++i) {
        text += std::string(static_cast<std::size_t>(i % 37), 'a' + i % 26);
        text += (i % 5 == 0) ? "\n" : (i % 7 == 0) ? "\r" : (i % 11 == 0) ? "\r\n\r\n" : "\r\n";
    }
    text += "last line";
    PartTotals expected;
    for (const Line& l : Scan(text)) {
        (l.code ? expected.codeLines : expected.interfaceLines) += 1;
        (l.code ? expected.codeChars : expected.interfaceChars) += l.chars;
    }
    ASSERT_GT(expected.codeLines, 700);
    for (Figure every : {1, 2, 9, 10, 221}) {
        for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{64}, std::size_t{1000}, text.size()}) {
            LineScanner scanner(CodePage{});
            BatchSink sink(every);
            for (std::size_t i = 0; i < text.size(); i += chunk) {
                scanner.Feed(text.data() + i, std::min(chunk, text.size() - i), sink);
            }
            scanner.Finish(sink);
            EXPECT_EQ(sink.totals, expected) << "every " << every << ", chunk " << chunk;
            EXPECT_FALSE(sink.runCrossedABoundary) << "every " << every << ", chunk " << chunk;
        }
    }
}

}  // namespace
}  // namespace quibex
