#include <gtest/gtest.h>

#include <set>
#include <string>

#include "setup/mdlPath.h"
#include "tests/setup/TextCases.h"

namespace quibex::mdlPath {
namespace {

TEST(WithTrailingBackslash, AppendsOneUnlessThereIsOne) {
    test::ExpectEachText(&WithTrailingBackslash, {
        {L"", L"\\"},
        {L"C:", L"C:\\"},
        {L"C:\\", L"C:\\"},
        {L"C:\\Start Menu\\Programs", L"C:\\Start Menu\\Programs\\"},
        {L"C:\\a\\\\", L"C:\\a\\\\"},
        {L"C:\\a/", L"C:\\a/\\"},
    });
}

TEST(FolderAnswer, TakesTextUpToTheFirstNulAndEndsItInABackslash) {
    using namespace std::string_literals;
    test::ExpectEachText(&FolderAnswer, {
        {std::wstring(260, L'\0'), L""},
        {L""s, L""},
        {L"C:\\Programs\0\0\0"s, L"C:\\Programs\\"},
        {L"C:\\Programs\\\0\0"s, L"C:\\Programs\\"},
        {L"C:\\Programs\0C:\\Old\\Junk"s, L"C:\\Programs\\"},
        {L"\0C:\\Programs"s, L""},
        {L"C:\\Programs"s, L"C:\\Programs\\"},  // a buffer filled to its end
    });
}

bool IsTestFileName(const std::wstring& name) {
    if (name.size() != 12 || name.substr(8) != L".tmp") return false;
    for (int i = 0; i < 8; ++i) {
        if (name[i] < L'A' || name[i] > L'Z') return false;
    }
    return true;
}

TEST(TestFileNames, EightCapitalsFromTheWholeAlphabet) {
    for (std::uint32_t seed : {0u, 1u, 43200u, 86399u}) {
        TestFileNames names(seed);
        std::set<wchar_t> letters;
        std::set<std::wstring> seen;
        for (int i = 0; i < 500; ++i) {
            const std::wstring name = names.Next();
            ASSERT_TRUE(IsTestFileName(name)) << ::testing::PrintToString(name) << " from seed " << seed;
            letters.insert(name.begin(), name.begin() + 8);
            seen.insert(name);
        }
        // Every letter turns up, "Z" included: the scaling neither loses the
        // last letter nor goes past it.
        EXPECT_EQ(letters.size(), 26u) << "seed " << seed;
        EXPECT_EQ(seen.size(), 500u) << "seed " << seed;
    }
}

TEST(TestFileNames, SameSeedSameNamesOtherSeedOtherNames) {
    TestFileNames a(43200), b(43200), c(43201);
    for (int i = 0; i < 20; ++i) {
        const std::wstring name = a.Next();
        EXPECT_EQ(name, b.Next());
        EXPECT_NE(name, c.Next());
    }
}

}  // namespace
}  // namespace quibex::mdlPath
