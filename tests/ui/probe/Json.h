// Just enough JSON for the probe: writing its answer, and reading the
// "labels" object back out of its own and the reporter's output.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quibex::probe {

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

// The members of the object stored under `key` at the top level of the JSON
// document `json`, whose values must all be strings. Nothing when the
// document is not valid JSON or has no such object; `error` then says why.
std::optional<std::map<std::string, std::string>> StringObject(std::string_view json, std::string_view key,
                                                               std::string* error = nullptr);

}  // namespace quibex::probe
