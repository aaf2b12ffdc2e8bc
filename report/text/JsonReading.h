#pragma once
// JSON read back: saved reports and baselines, which a user may have cut
// short or edited by hand, so a text that is not JSON says where it stops
// being JSON.

#include <istream>
#include <string_view>

#include <nlohmann/json.hpp>

namespace quibex::report {

// `text` parsed. A text that is not JSON throws std::runtime_error with
// the place: "it ends early at line 7, column 3" when the text stops in the
// middle, "it is not JSON at line 2, column 9" otherwise.
nlohmann::json ParseJson(std::string_view text);

// The same for everything `in` holds.
nlohmann::json ParseJson(std::istream& in);

}  // namespace quibex::report
