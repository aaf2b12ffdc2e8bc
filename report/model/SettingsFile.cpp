// The settings file, read with toml++: any TOML a team keeps there for
// other tools is left alone; the [check] table must hold what "check"
// knows, each fault named with its line.

#include "report/model/SettingsFile.h"

#include <string>

#include <toml++/toml.h>

#include "report/text/Strings.h"

namespace quibex::report {

namespace {

class ConfigError {
public:
    ConfigError(const toml::source_region& where, std::string why)
        : text_("line " + std::to_string(where.begin.line) + ": " + std::move(why)) {}
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// A list setting: one string of comma-separated items, or an array of such strings.
std::vector<std::string> ListSetting(const toml::key& key, const toml::node& value) {
    std::vector<std::string> items;
    auto add = [&](const toml::node& node) {
        const std::optional<std::string_view> text = node.value<std::string_view>();
        if (!node.is_string() || !text) {
            throw ConfigError(node.source(), "'" + std::string(key.str()) + "' takes a string or an array of strings");
        }
        for (std::string& item : SplitList(*text)) items.push_back(std::move(item));
    };
    if (const toml::array* array = value.as_array()) {
        for (const toml::node& node : *array) add(node);
    } else {
        add(value);
    }
    return items;
}

void Setting(CheckConfig& config, const toml::key& key, const toml::node& value) {
    const std::string_view name = key.str();
    if (name == "select" || name == "ignore" || name == "fail-on") {
        (name == "select" ? config.select : name == "ignore" ? config.ignore : config.failOn) = ListSetting(key, value);
    } else if (name == "baseline" || name == "format") {
        if (!value.is_string()) throw ConfigError(value.source(), "'" + std::string(name) + "' takes one string");
        (name == "baseline" ? config.baseline : config.format) = std::string(*value.value<std::string_view>());
    } else {
        throw ConfigError(key.source(),
                          "unknown setting '" + std::string(name) + "': use select, ignore, fail-on, baseline or format");
    }
}

}  // namespace

std::optional<CheckConfig> ParseCheckConfig(std::string_view text, std::string& error) {
    toml::table document;
    try {
        document = toml::parse(text);
    } catch (const toml::parse_error& e) {
        error = ConfigError(e.source(), std::string(e.description())).Text();
        return std::nullopt;
    }
    CheckConfig config;
    try {
        for (const auto& [key, value] : document) {
            if (key.str() == "check" && value.is_table()) {
                for (const auto& [checkKey, checkValue] : *value.as_table()) Setting(config, checkKey, checkValue);
            } else if (!value.is_table() && !value.is_array_of_tables()) {
                // Keys before any table are the check's, as in a file of its own.
                Setting(config, key, value);
            }
        }
    } catch (const ConfigError& e) {
        error = e.Text();
        return std::nullopt;
    }
    return config;
}

}  // namespace quibex::report
