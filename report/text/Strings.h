#pragma once
// Small pieces of text handling that commands, rules and writers share.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quibex::report {

// A whole non-negative decimal number, nothing around it.
std::optional<long long> WholeNumber(std::string_view text);

// `text` without the spaces and tabs around it.
std::string Trim(std::string_view text);

// "a,b , c" as {"a", "b", "c"}: items trimmed, empty ones left out.
std::vector<std::string> SplitList(std::string_view text);

// `text` broken into lines of at most `width` characters at its spaces,
// "\n" between them (a word longer than `width` stands on a line alone).
std::string Wrapped(std::string_view text, std::size_t width);

// "65,534": a figure with its thousands grouped, as a reader takes it in at a glance.
std::string GroupedDigits(long long n);

}  // namespace quibex::report
