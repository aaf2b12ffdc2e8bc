#include "report/text/Strings.h"

#include <charconv>

namespace quibex::report {

std::optional<long long> WholeNumber(std::string_view text) {
    long long n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n < 0) return std::nullopt;
    return n;
}

std::string Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(',', pos);
        if (comma == std::string_view::npos) comma = text.size();
        std::string item = Trim(text.substr(pos, comma - pos));
        if (!item.empty()) items.push_back(std::move(item));
        pos = comma + 1;
    }
    return items;
}

std::string Wrapped(std::string_view text, std::size_t width) {
    std::string wrapped;
    std::size_t lineLength = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', pos);
        if (start == std::string_view::npos) break;
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view word = text.substr(start, end - start);
        if (lineLength > 0 && lineLength + 1 + word.size() > width) {
            wrapped += '\n';
            lineLength = 0;
        } else if (lineLength > 0) {
            wrapped += ' ';
            ++lineLength;
        }
        wrapped += word;
        lineLength += word.size();
        pos = end;
    }
    return wrapped;
}

std::string GroupedDigits(long long n) {
    const std::string digits = std::to_string(n < 0 ? -n : n);
    std::string grouped = n < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace quibex::report
