#include "report/model/Findings.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>

#include <nlohmann/json.hpp>

#include "engine/CodePage.h"
#include "report/text/JsonReading.h"
#include "report/text/Sha256.h"

namespace quibex::report {

std::string_view SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

std::string FindingPathKey(std::string_view path) {
    std::string key = AsciiLower(path);
    for (char& c : key) {
        if (c == '\\') c = '/';
    }
    return key;
}

std::vector<Finding> ReadFindingsJson(std::istream& in) {
    constexpr std::string_view kWhat = "not a report of 'quibex-report check --format json'";
    nlohmann::json doc;
    try {
        doc = ParseJson(in);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(std::string(kWhat) + ": " + e.what());
    }
    if (!doc.is_object() || !doc.contains("findings") || !doc["findings"].is_array()) {
        throw std::runtime_error(std::string(kWhat) + ": it has no \"findings\" list");
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

std::vector<std::string> FindingFingerprints(const std::vector<Finding>& findings) {
    static const char* hex = "0123456789abcdef";
    std::map<std::string, int> seen;
    std::vector<std::string> prints;
    prints.reserve(findings.size());
    for (const Finding& f : findings) {
        std::string what = f.subject;
        if (what.empty()) {
            // Messages carry line numbers and counts that change with every edit.
            for (char c : f.message) {
                if (c < '0' || c > '9') what += c;
            }
        }
        std::string key = f.rule + '\n' + FindingPathKey(f.path) + '\n' + what;
        const int n = ++seen[key];
        if (n > 1) key += '\n' + std::to_string(n);
        std::string print;
        for (std::uint8_t byte : Sha256(key)) {
            print += hex[byte >> 4];
            print += hex[byte & 15];
        }
        prints.push_back(std::move(print));
    }
    return prints;
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
