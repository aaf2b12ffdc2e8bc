#include "report/model/SettingsFile.h"

#include <algorithm>
#include <stdexcept>

#include "engine/MemberStatistics.h"
#include "report/text/Strings.h"

namespace quibex::report {

namespace {

// A TOML reader for what the settings file holds: tables, bare or quoted
// keys, strings (basic and literal) and arrays of strings over any lines.
class ConfigParser {
public:
    explicit ConfigParser(std::string_view text) : text_(text) {}

    std::optional<CheckConfig> Parse(std::string& error) {
        CheckConfig config;
        std::string table;
        try {
            while (SkipBlank(true), pos_ < text_.size()) {
                if (text_[pos_] == '[') {
                    ++pos_;
                    const std::size_t close = text_.find(']', pos_);
                    if (close == std::string_view::npos) Fail("a table name without ']'");
                    table = Trim(text_.substr(pos_, close - pos_));
                    pos_ = close + 1;
                    EndOfLine();
                    continue;
                }
                const std::string key = Key();
                SkipBlank(false);
                if (pos_ >= text_.size() || text_[pos_] != '=') Fail("'=' expected after '" + key + "'");
                ++pos_;
                SkipBlank(false);
                std::vector<std::string> values;
                bool isArray = false;
                if (pos_ < text_.size() && text_[pos_] == '[') {
                    isArray = true;
                    ++pos_;
                    while (SkipBlank(true), pos_ < text_.size() && text_[pos_] != ']') {
                        values.push_back(String());
                        SkipBlank(true);
                        if (pos_ < text_.size() && text_[pos_] == ',') ++pos_;
                    }
                    if (pos_ >= text_.size()) Fail("an array without ']'");
                    ++pos_;
                } else {
                    values.push_back(String());
                }
                EndOfLine();
                if (!table.empty() && table != "check") continue;
                if (key == "select" || key == "ignore" || key == "fail-on") {
                    std::vector<std::string> items;
                    for (const std::string& v : values) {
                        for (std::string& item : SplitList(v)) items.push_back(std::move(item));
                    }
                    (key == "select" ? config.select : key == "ignore" ? config.ignore : config.failOn) = items;
                } else if (key == "baseline" || key == "format") {
                    if (isArray || values.size() != 1) Fail("'" + key + "' takes one string");
                    (key == "baseline" ? config.baseline : config.format) = values[0];
                } else {
                    Fail("unknown setting '" + key + "': use select, ignore, fail-on, baseline or format");
                }
            }
        } catch (const std::runtime_error& e) {
            error = "line " + std::to_string(Line()) + ": " + e.what();
            return std::nullopt;
        }
        return config;
    }

private:
    [[noreturn]] static void Fail(const std::string& why) { throw std::runtime_error(why); }

    Figure Line() const {
        return 1 + static_cast<Figure>(std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(std::min(pos_, text_.size())), '\n'));
    }

    // Spaces, tabs and comments; line breaks too with `lines`.
    void SkipBlank(bool lines) {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t' || (lines && (c == '\r' || c == '\n'))) {
                ++pos_;
            } else if (c == '#') {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    void EndOfLine() {
        SkipBlank(false);
        if (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n') Fail("unexpected text after a value");
    }

    std::string Key() {
        if (pos_ < text_.size() && (text_[pos_] == '"' || text_[pos_] == '\'')) return String();
        const std::size_t start = pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_')) break;
            ++pos_;
        }
        if (pos_ == start) Fail("a setting name expected");
        return std::string(text_.substr(start, pos_ - start));
    }

    std::string String() {
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) Fail("a quoted string expected");
        const char quote = text_[pos_++];
        std::string value;
        while (pos_ < text_.size() && text_[pos_] != quote) {
            char c = text_[pos_++];
            if (c == '\n') Fail("a string without its closing quote");
            if (c == '\\' && quote == '"' && pos_ < text_.size()) {
                const char e = text_[pos_++];
                switch (e) {
                    case 'n': c = '\n'; break;
                    case 't': c = '\t'; break;
                    case '"': case '\\': c = e; break;
                    default: Fail(std::string("unknown escape '\\") + e + "'");
                }
            }
            value += c;
        }
        if (pos_ >= text_.size()) Fail("a string without its closing quote");
        ++pos_;
        return value;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<CheckConfig> ParseCheckConfig(std::string_view text, std::string& error) {
    return ConfigParser(text).Parse(error);
}

}  // namespace quibex::report
