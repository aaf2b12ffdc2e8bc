#include "report/model/Findings.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>

#include <nlohmann/json.hpp>

#include "engine/CodePage.h"

namespace quibex::report {

std::string_view SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

const std::vector<CheckRule>& CheckRules() {
    static const std::vector<CheckRule> rules = {
        {"missing-member", "a member file, or a project of a group, that cannot be read"},
        {"line-endings", "a member, project or group file whose lines do not all end in CR LF"},
        {"encoding", "a NUL byte, a UTF-8 byte order mark or an invalid double-byte sequence"},
        {"case-mismatch", "a member or project path whose letter case differs from the file's"},
        {"vb6-limits", "a member over the IDE's limits of lines, control names, control nesting or declares"},
        {"companion", "a form or user control that refers to a missing .frx or .ctx"},
        {"threshold", "a figure over a limit given with --fail-on"},
    };
    return rules;
}

bool IsCheckRule(std::string_view name) {
    const auto& rules = CheckRules();
    return std::any_of(rules.begin(), rules.end(), [&](const CheckRule& r) { return r.name == name; });
}

std::string FindingPathKey(std::string_view path) {
    std::string key = AsciiLower(path);
    for (char& c : key) {
        if (c == '\\') c = '/';
    }
    return key;
}

std::vector<Finding> ReadFindingsJson(std::istream& in) {
    nlohmann::json doc = nlohmann::json::parse(in, nullptr, false);
    if (doc.is_discarded() || !doc.is_object() || !doc.contains("findings") || !doc["findings"].is_array()) {
        throw std::runtime_error("not a report of 'quibex-report check --format json'");
    }
    std::vector<Finding> findings;
    for (const nlohmann::json& item : doc["findings"]) {
        if (!item.is_object()) throw std::runtime_error("a finding that is not an object");
        Finding f;
        f.rule = item.value("rule", "");
        f.severity = item.value("level", "error") == "warning" ? Severity::Warning : Severity::Error;
        f.path = item.value("path", "");
        f.line = item.value("line", Figure{0});
        f.message = item.value("message", "");
        f.subject = item.value("subject", "");
        findings.push_back(std::move(f));
    }
    return findings;
}

std::vector<Finding> NewSince(const std::vector<Finding>& findings, const std::vector<Finding>& baseline) {
    using Key = std::tuple<std::string, std::string, std::string, Severity>;
    auto keyOf = [](const Finding& f) { return Key{f.rule, FindingPathKey(f.path), f.subject, f.severity}; };
    std::map<Key, int> known;
    for (const Finding& f : baseline) ++known[keyOf(f)];
    std::vector<Finding> fresh;
    for (const Finding& f : findings) {
        int& left = known[keyOf(f)];
        if (left > 0) {
            --left;
        } else {
            fresh.push_back(f);
        }
    }
    return fresh;
}

}  // namespace quibex::report
