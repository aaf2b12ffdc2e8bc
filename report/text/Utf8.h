#pragma once
// Text for the reporter's output, which is UTF-8 in every format. Project
// and member files are ANSI code-page text, so paths and names arrive in
// whatever code page the project was written in.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quibex::report {

// Turns text as the engine holds it (a project's code page) into UTF-8.
using TextConverter = std::function<std::string(std::string_view)>;

// Valid UTF-8 passes unchanged; every byte that is not part of a valid
// UTF-8 sequence is taken as a Windows-1252 character instead (the code page
// of most VB6 projects), so the result is always valid UTF-8.
std::string Utf8OrWindows1252(std::string_view text);

// UTF-8 text with every control character (C0, DEL and C1) shown as "?",
// for a terminal: a name in a project file must not move the cursor or
// send escape sequences.
std::string PrintableText(std::string_view utf8);

// The number of characters of UTF-8 text, for lining up columns.
std::size_t CharacterCount(std::string_view utf8);

}  // namespace quibex::report
