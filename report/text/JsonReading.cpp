#include "report/text/JsonReading.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>

namespace quibex::report {

nlohmann::json ParseJson(std::string_view text) {
    try {
        return nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        // e.byte counts from 1 and lies one past the text when it ran out.
        const std::size_t at = std::min<std::size_t>(e.byte == 0 ? 0 : e.byte - 1, text.size());
        const std::string_view before = text.substr(0, at);
        const std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
        const std::size_t lineStart = before.find_last_of('\n');
        const std::size_t column = at - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
        const std::string place = "line " + std::to_string(line) + ", column " + std::to_string(column);
        throw std::runtime_error(e.byte > text.size() ? "it ends early at " + place : "it is not JSON at " + place);
    }
}

nlohmann::json ParseJson(std::istream& in) {
    const std::string text(std::istreambuf_iterator<char>(in), {});
    return ParseJson(text);
}

}  // namespace quibex::report
