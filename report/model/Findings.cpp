#include "report/model/Findings.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>

#include <nlohmann/json.hpp>

#include "report/text/JsonReading.h"
#include "report/text/JsonWriter.h"
#include "ui/Version.h"

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

// An absolute path as a file URI: "file:///C:/a%20b/x.frm", "file:///home/x.frm".
std::string FileUri(std::string_view path) {
    std::string uri = UriPath(path);
    if (uri.size() >= 4 && uri.compare(1, 3, "%3A") == 0) uri.replace(1, 3, ":");  // a drive letter
    return "file://" + std::string(uri.empty() || uri[0] != '/' ? "/" : "") + uri;
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

void WriteFindingsSarif(const std::vector<Finding>& findings, const std::vector<std::string_view>& rulesRun,
                        const std::string& baseFolder, std::ostream& out) {
    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Field("$schema", "https://json.schemastore.org/sarif-2.1.0.json").Field("version", "2.1.0");
    json.Key("runs").BeginArray().BeginObject();
    json.Key("tool").BeginObject().Key("driver").BeginObject();
    json.Field("name", "quibex-report").Field("version", QUIBEX_VERSION_TEXT);
    json.Key("rules").BeginArray();
    for (std::string_view name : rulesRun) {
        const auto& rules = CheckRules();
        auto rule = std::find_if(rules.begin(), rules.end(), [&](const CheckRule& r) { return r.name == name; });
        json.BeginObject(true).Field("id", name);
        if (rule != rules.end()) json.Key("shortDescription").BeginObject(true).Field("text", rule->summary).EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject().EndObject();
    // The folder's file URI, with a trailing "/", as the base of every relative path.
    std::string base = FileUri(baseFolder);
    if (base.back() != '/') base += '/';
    json.Key("originalUriBaseIds").BeginObject();
    json.Key("SRCROOT").BeginObject(true).Field("uri", base).EndObject();
    json.EndObject();
    json.Key("results").BeginArray();
    for (const Finding& f : findings) {
        json.BeginObject();
        json.Field("ruleId", f.rule);
        auto index = std::find(rulesRun.begin(), rulesRun.end(), f.rule);
        if (index != rulesRun.end()) json.Field("ruleIndex", static_cast<Figure>(index - rulesRun.begin()));
        json.Field("level", SeverityName(f.severity));
        json.Key("message").BeginObject(true).Field("text", f.message).EndObject();
        json.Key("locations").BeginArray().BeginObject().Key("physicalLocation").BeginObject();
        const bool absolute = !f.path.empty() && (f.path[0] == '/' || (f.path.size() > 1 && f.path[1] == ':'));
        json.Key("artifactLocation").BeginObject(true);
        if (absolute) {
            json.Field("uri", FileUri(f.path));
        } else {
            json.Field("uri", UriPath(f.path)).Field("uriBaseId", "SRCROOT");
        }
        json.EndObject();
        // Code-scanning tools show a finding on a line: one about the whole
        // file on its first.
        json.Key("region").BeginObject(true).Field("startLine", std::max<Figure>(f.line, 1)).EndObject();
        json.EndObject().EndObject().EndArray();
        json.Key("partialFingerprints").BeginObject(true);
        json.Field("quibexSubject/v1", f.rule + ":" + PathKey(f.path) + ":" + f.subject);
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject().EndArray();
    json.EndObject();
    json.Finish();
    out << text;
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
