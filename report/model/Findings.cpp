#include "report/model/Findings.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>

#include <nlohmann/json.hpp>

#include "report/text/JsonWriter.h"
#include "report/text/Sha256.h"

namespace quibex::report {

std::string_view SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

void WriteFindingsText(const std::vector<Finding>& findings, std::ostream& out) {
    for (const Finding& f : findings) {
        out << f.path;
        if (f.line > 0) out << ':' << f.line;
        out << ": " << f.rule << ": ";
        if (f.severity == Severity::Warning) out << "warning: ";
        out << f.message << '\n';
    }
}

namespace {

std::pair<Figure, Figure> Tally(const std::vector<Finding>& findings) {
    Figure errors = 0, warnings = 0;
    for (const Finding& f : findings) ++(f.severity == Severity::Error ? errors : warnings);
    return {errors, warnings};
}

// Paths of one file compare equal in any letter case and with either separator.
std::string PathKey(std::string_view path) {
    std::string key(path);
    for (char& c : key) {
        if (c == '\\') c = '/';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    }
    return key;
}

}  // namespace

void WriteFindingsJson(const std::string& file, const std::vector<Finding>& findings, std::ostream& out) {
    const auto [errors, warnings] = Tally(findings);
    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Field("file", file).Field("errors", errors).Field("warnings", warnings);
    json.Key("findings").BeginArray();
    for (const Finding& f : findings) {
        json.BeginObject(true);
        json.Field("rule", f.rule).Field("level", SeverityName(f.severity)).Field("path", f.path);
        json.Field("line", f.line).Field("message", f.message).Field("subject", f.subject);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.Finish();
    out << text;
}

std::string UriPath(std::string_view path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri;
    for (char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\' || c == '/') {
            uri += '/';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                   c == '.' || c == '_' || c == '~') {
            uri += ch;
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
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
        std::string key = f.rule + '\n' + PathKey(f.path) + '\n' + what;
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
    auto keyOf = [](const Finding& f) { return Key{f.rule, PathKey(f.path), f.subject, f.severity}; };
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
