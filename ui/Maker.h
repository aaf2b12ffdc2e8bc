#pragma once
// Who makes the program and where to find them. The main window's Help >
// Home Page and the About window both read these.

#include <string_view>

#include "common/Version.h"

namespace quibex {

// The maker's home page; it ends with "/" so that page paths can follow.
inline constexpr std::string_view kHomePage = QUIBEX_HOME_PAGE;
// The program's own page below it, opened by Help > Home Page.
inline constexpr std::string_view kProgramPage = "app/quibex.htm";

inline constexpr std::string_view kAuthorName = "Tomas Olvek";
inline constexpr std::string_view kAuthorEmail = "tom@q.example";  // short: the label is 1380 twips wide

}  // namespace quibex
