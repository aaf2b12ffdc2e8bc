#pragma once
// Table-driven checks of the set-up module's functions of one text.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace quibex::test {

// A text and what the function under test should make of it.
template <class Result>
struct TextCase {
    std::wstring text;
    Result expected;
};

// Expects function(text) == expected for every case; a failure names the
// case by its text.
template <class Result>
void ExpectEachText(Result (*function)(std::wstring_view),
                    std::initializer_list<TextCase<std::type_identity_t<Result>>> cases) {
    for (const TextCase<Result>& c : cases) {
        EXPECT_EQ(function(c.text), c.expected) << ::testing::PrintToString(c.text);
    }
}

}  // namespace quibex::test
