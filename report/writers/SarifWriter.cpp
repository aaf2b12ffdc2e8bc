// check --format sarif: SARIF 2.1.0 as code-scanning services read it.

#include "report/writers/SarifWriter.h"

#include <algorithm>
#include <numeric>

#include "common/Version.h"
#include "report/model/Rules.h"
#include "report/text/JsonWriter.h"

namespace quibex::report {

namespace {

// An absolute path as a file URI: "file:///C:/a%20b/x.frm", "file:///home/x.frm".
std::string FileUri(std::string_view path) {
    std::string uri = UriPath(path);
    if (uri.size() >= 4 && uri.compare(1, 3, "%3A") == 0) uri.replace(1, 3, ":");  // a drive letter
    return "file://" + std::string(uri.empty() || uri[0] != '/' ? "/" : "") + uri;
}

bool IsAbsolute(const std::string& path) {
    return !path.empty() && (path[0] == '/' || path[0] == '\\' || (path.size() > 1 && path[1] == ':'));
}

void WriteRule(JsonWriter& json, std::string_view name) {
    json.BeginObject().Field("id", name);
    if (const CheckRule* rule = FindCheckRule(name)) {
        json.Field("name", RuleIdentifier(*rule));
        json.Key("shortDescription").BeginObject(true).Field("text", rule->summary).EndObject();
        json.Key("fullDescription").BeginObject(true).Field("text", rule->description).EndObject();
        json.Key("defaultConfiguration").BeginObject(true);
        json.Field("level", SeverityName(rule->level)).Field("enabled", true).EndObject();
        json.Key("help").BeginObject();
        json.Field("text", RuleHelpText(*rule)).Field("markdown", RuleHelpMarkdown(*rule));
        json.EndObject();
        json.Field("helpUri", RuleHelpUri(*rule));
        json.Key("properties").BeginObject(true);
        json.Key("tags").BeginArray(true).String("vb6").String(RuleKindName(rule->kind)).EndArray();
        json.EndObject();
    }
    json.EndObject();
}

// The findings written: all, or the first `limit` of them by level (errors
// first) and then by position, in their own order.
std::vector<std::size_t> Kept(const std::vector<Finding>& findings, std::size_t limit) {
    std::vector<std::size_t> order(findings.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (findings.size() <= limit) return order;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return findings[a].severity == Severity::Error && findings[b].severity != Severity::Error;
    });
    order.resize(limit);
    std::sort(order.begin(), order.end());
    return order;
}

}  // namespace

std::string UriPath(std::string_view path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri;
    for (char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\' || c == '/') {
            uri += '/';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
                   c == '_' || c == '~') {
            uri += ch;
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

void WriteFindingsSarif(const std::vector<Finding>& findings, const FindingsContext& context, std::ostream& out) {
    std::vector<std::string_view> rules = context.rulesRun;
    for (const Finding& f : findings) {
        if (std::find(rules.begin(), rules.end(), f.rule) == rules.end()) rules.push_back(f.rule);
    }
    const std::vector<std::size_t> kept = Kept(findings, context.maxResults);
    const std::vector<std::string> fingerprints = FindingFingerprints(findings);

    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Field("$schema", "https://json.schemastore.org/sarif-2.1.0.json").Field("version", "2.1.0");
    json.Key("runs").BeginArray().BeginObject();
    json.Key("tool").BeginObject().Key("driver").BeginObject();
    json.Field("name", "quibex-report").Field("version", QUIBEX_VERSION_TEXT);
    json.Field("informationUri", QUIBEX_HOME_PAGE);
    json.Key("rules").BeginArray();
    for (std::string_view name : rules) WriteRule(json, name);
    json.EndArray();
    json.EndObject().EndObject();

    json.Key("invocations").BeginArray().BeginObject();
    json.Field("executionSuccessful", context.complete);
    if (kept.size() < findings.size()) {
        json.Key("toolExecutionNotifications").BeginArray().BeginObject();
        json.Field("level", "warning");
        json.Key("message").BeginObject(true);
        json.Field("text", std::to_string(findings.size()) + " findings, of which the first " +
                               std::to_string(kept.size()) + " by level and position are written (--max-results)");
        json.EndObject().EndObject().EndArray();
    }
    json.EndObject().EndArray();

    // The folder's file URI, with a trailing "/", as the base of every relative path.
    std::string base = FileUri(context.baseFolder);
    if (base.back() != '/') base += '/';
    json.Key("originalUriBaseIds").BeginObject();
    json.Key("SRCROOT").BeginObject(true).Field("uri", base).EndObject();
    json.EndObject();

    json.Key("results").BeginArray();
    for (std::size_t k : kept) {
        const Finding& f = findings[k];
        json.BeginObject();
        json.Field("ruleId", f.rule);
        const auto index = std::find(rules.begin(), rules.end(), f.rule);
        json.Field("ruleIndex", static_cast<Figure>(index - rules.begin()));
        json.Field("level", SeverityName(f.severity));
        json.Key("message").BeginObject(true).Field("text", f.message).EndObject();
        json.Key("locations").BeginArray().BeginObject().Key("physicalLocation").BeginObject();
        json.Key("artifactLocation").BeginObject(true);
        if (IsAbsolute(f.path)) {
            json.Field("uri", FileUri(f.path));
        } else {
            json.Field("uri", UriPath(f.path)).Field("uriBaseId", "SRCROOT");
        }
        json.EndObject();
        // Code-scanning tools show a finding on a line: one about the whole
        // file on its first.
        json.Key("region").BeginObject(true).Field("startLine", std::max<Figure>(f.line, 1)).EndObject();
        json.EndObject().EndObject().EndArray();
        json.Key("partialFingerprints").BeginObject(true).Field("quibexFinding/v1", fingerprints[k]).EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.Key("properties").BeginObject(true);
    json.Field("findings", static_cast<Figure>(findings.size()));
    json.Field("resultsWritten", static_cast<Figure>(kept.size()));
    json.Field("resultsCut", kept.size() < findings.size());
    json.EndObject();
    json.EndObject().EndArray();
    json.EndObject();
    json.Finish();
    out << text;
}

}  // namespace quibex::report
