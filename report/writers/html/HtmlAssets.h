#pragma once
// The HTML report's style sheet and script, embedded in every page.

#include <string_view>

namespace quibex::report {

extern const std::string_view kHtmlStyle;
// Reads the page's data block, builds the member table, sorts and filters
// it, shows the treemap's tooltips. With "#selftest" in the address it also
// sorts once by a column head's click and writes what it saw (script
// errors, the sort, a treemap tile clicked and the row that click brought
// up) into an element "selftest", for the browser tests.
extern const std::string_view kHtmlScript;

}  // namespace quibex::report
