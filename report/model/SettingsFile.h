#pragma once
// The settings file beside a project, ".quibex.toml": check's settings
// kept with the project.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quibex::report {

// The settings file beside a project: ".quibex.toml".
inline constexpr std::string_view kConfigFileName = ".quibex.toml";

// Its [check] table; a key that is not given stays empty.
struct CheckConfig {
    std::optional<std::vector<std::string>> select, ignore, failOn;
    std::optional<std::string> baseline, format;
};
// Parses the settings file: a [check] table (or keys before any table) of
// select, ignore and fail-on (strings or arrays of strings), baseline and
// format (strings). Other tables are left alone. Nothing, with the reason
// and line in `error`, on a text it cannot read.
std::optional<CheckConfig> ParseCheckConfig(std::string_view text, std::string& error);

}  // namespace quibex::report
