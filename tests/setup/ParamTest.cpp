#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "setup/mdlParam.h"
#include "tests/setup/TextCases.h"

namespace quibex::mdlParam {

void PrintTo(const CommandParameter& p, std::ostream* os) {
    *os << "(" << ::testing::PrintToString(p.Name) << ", " << ::testing::PrintToString(p.Value) << ")";
}

namespace {

using Params = std::vector<CommandParameter>;

TEST(ParseParameters, SplitsPiecesAtSlashes) {
    test::ExpectEachText(&ParseParameters, {
        {L"", {}},
        {L"/", {}},
        {L"///", {}},
        {L"/Setup", {{L"setup", L""}}},
        {L"/setup", {{L"setup", L""}}},
        {L"/SETUP", {{L"setup", L""}}},
        // The blank before the first slash is a piece of its own.
        {L" /Setup ", {{L"", L""}, {L"setup", L""}}},
        {L"   ", {{L"", L""}}},
        {L"/ /setup", {{L"", L""}, {L"setup", L""}}},
        {L"//setup", {{L"setup", L""}}},
        {L"/setup/", {{L"setup", L""}}},
        {L"/x   ", {{L"x", L""}}},
        {L"Setup", {{L"", L"Setup"}}},
        {L"-setup", {{L"", L"-setup"}}},
        {L"project.vbp /setup", {{L"", L"project.vbp"}, {L"setup", L""}}},
        {L"/a /B=1 /c:Two", {{L"a", L""}, {L"b", L"1"}, {L"c", L"Two"}}},
        {L"/setup /SETUP:x", {{L"setup", L""}, {L"setup", L"x"}}},
        // Only the space is trimmed; a tab belongs to the name.
        {L"/\tSetup", {{L"\tsetup", L""}}},
        // Quotation marks mean nothing: a slash inside them still separates.
        {L"\"a/b\" /x", {{L"", L"\"a"}, {L"b\"", L""}, {L"x", L""}}},
    });
}

TEST(ParseParameters, FirstColonOrEqualsSeparatesNameFromValue) {
    test::ExpectEachText(&ParseParameters, {
        {L"/setup:no", {{L"setup", L"no"}}},
        {L"/Setup=0", {{L"setup", L"0"}}},
        {L"/Mode:Fast", {{L"mode", L"Fast"}}},
        {L"/a=b:c", {{L"a", L"b:c"}}},
        {L"/a:b=c", {{L"a", L"b=c"}}},
        {L"/Key:", {{L"key", L""}}},
        {L"/=v", {{L"", L"v"}}},
        {L"/:", {{L"", L""}}},
        // Name and value are not trimmed again after the split.
        {L"/name = x", {{L"name ", L" x"}}},
        {L"/Path:C:\\My Files\\", {{L"path", L"C:\\My Files\\"}}},
        // The rule holds before the first slash too, drive letters included.
        {L"Key=Value", {{L"key", L"Value"}}},
        {L"\"C:\\My Files\\P.vbp\" /setup", {{L"\"c", L"\\My Files\\P.vbp\""}, {L"setup", L""}}},
    });
}

TEST(HasParameter, MatchesTrimmedLowerCaseNamesOnly) {
    struct Case {
        std::wstring text;
        std::wstring name;
        bool expected;
    };
    const Case cases[] = {
        {L"", L"Setup", false},
        {L"/Setup", L"Setup", true},
        {L"/setup", L"SETUP", true},
        {L"/SETUP:anything", L"setup", true},
        {L"/setup:no", L"Setup", true},
        {L"/Setup=0", L"Setup", true},
        {L"/Setup", L"  Setup  ", true},
        {L"/Setup", L"\tSetup", false},
        {L" /Setup ", L"Setup", true},
        {L"Setup", L"Setup", false},
        {L"-setup", L"Setup", false},
        {L"Project1.vbp", L"Setup", false},
        {L"Project1.vbp /setup", L"Setup", true},
        {L"/setupx", L"Setup", false},
        {L"/set", L"Setup", false},
        {L"/name = x", L"name", false},
        {L"/a /b /setup", L"Setup", true},
        {L"/\u00C4rger", L"\u00E4RGER", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasParameter(ParseParameters(c.text), c.name), c.expected)
            << ::testing::PrintToString(c.text) << " asked for " << ::testing::PrintToString(c.name);
    }
}

TEST(ParseCommandLine, EachParseReplacesTheStoredParameters) {
    ParseCommandLine(L"Project1.vbp /setup");
    EXPECT_EQ(CommandParameters(), (Params{{L"", L"Project1.vbp"}, {L"setup", L""}}));
    EXPECT_TRUE(HasParameter(L"Setup"));

    ParseCommandLine(L"/other");
    EXPECT_EQ(CommandParameters(), (Params{{L"other", L""}}));
    EXPECT_FALSE(HasParameter(L"Setup"));

    ParseCommandLine(L"");
    EXPECT_TRUE(CommandParameters().empty());
    EXPECT_FALSE(HasParameter(L"other"));
}

TEST(ArgumentText, DropsTheProgramPathAndTheBlanksAfterIt) {
    test::ExpectEachText(&ArgumentText, {
        {L"", L""},
        {L"Quibex.exe", L""},
        {L"Quibex.exe   ", L""},
        {L"Quibex.exe /Setup", L"/Setup"},
        {L"C:\\Tools\\Quibex.exe \t /a \"b c\" ", L"/a \"b c\" "},
        {L"\"C:\\Program Files\\Quibex.exe\" /Setup", L"/Setup"},
        {L"\"C:\\Program Files\\Quibex.exe\"/Setup", L"/Setup"},
        {L"\"C:\\Program Files\\Quibex.exe\"", L""},
        {L"\"C:\\unterminated /Setup", L""},
    });
}

TEST(LowerCase, FoldsCapitalsOfTheCommonAlphabets) {
    test::ExpectEachText(&LowerCase, {
        {L"", L""},
        {L"SETUP", L"setup"},
        {L"MiXeD 1:=/@[`{", L"mixed 1:=/@[`{"},
        // Latin-1: the multiplication sign and sharp s have no other case.
        {L"\u00C0\u00C4\u00D6\u00D7\u00D8\u00DE\u00DF\u00E4", L"\u00E0\u00E4\u00F6\u00D7\u00F8\u00FE\u00DF\u00E4"},
        // Latin Extended-A: pairs on even codes, then odd ones, and the odd ones out.
        {L"\u0100\u0101\u0130\u0131\u0138\u0139\u014A\u0178\u0179\u017F", L"\u0101\u0101i\u0131\u0138\u013A\u014B\u00FF\u017A\u017F"},
        {L"\u0391\u03A3\u03A9\u03AB\u03C3", L"\u03B1\u03C3\u03C9\u03CB\u03C3"},
        {L"\u0401\u0416\u042F\u0436", L"\u0451\u0436\u044F\u0436"},
        {L"\u65E5\u672C", L"\u65E5\u672C"},
    });
}

TEST(OwnLocationOf, FolderEndsInOneBackslashAndTheExtensionIsExe) {
    struct Case {
        std::wstring modulePath;
        std::wstring exePath;
        std::wstring exeFolder;
    };
    const Case cases[] = {
        {L"C:\\Tools\\Quibex.exe", L"C:\\Tools\\Quibex.exe", L"C:\\Tools\\"},
        {L"C:\\Quibex.exe", L"C:\\Quibex.exe", L"C:\\"},
        {L"C:\\Tools\\Quibex.bin", L"C:\\Tools\\Quibex.exe", L"C:\\Tools\\"},
        {L"C:\\Tools\\Quibex", L"C:\\Tools\\Quibex.exe", L"C:\\Tools\\"},
        {L"C:\\My.Tools\\Quibex", L"C:\\My.Tools\\Quibex.exe", L"C:\\My.Tools\\"},
        {L"C:\\Tools\\quibex.v2.EXE", L"C:\\Tools\\quibex.v2.exe", L"C:\\Tools\\"},
        {L"\\\\server\\share\\Quibex.exe", L"\\\\server\\share\\Quibex.exe", L"\\\\server\\share\\"},
        {L"Quibex.exe", L"Quibex.exe", L""},
    };
    for (const Case& c : cases) {
        const OwnLocation location = OwnLocationOf(c.modulePath);
        EXPECT_EQ(location.exePath, c.exePath) << ::testing::PrintToString(c.modulePath);
        EXPECT_EQ(location.exeFolder, c.exeFolder) << ::testing::PrintToString(c.modulePath);
    }
}

}  // namespace
}  // namespace quibex::mdlParam
