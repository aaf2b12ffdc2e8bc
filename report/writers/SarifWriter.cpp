#include "report/writers/SarifWriter.h"

#include <algorithm>

#include "common/Version.h"
#include "report/text/JsonWriter.h"

namespace quibex::report {

namespace {

// An absolute path as a file URI: "file:///C:/a%20b/x.frm", "file:///home/x.frm".
std::string FileUri(std::string_view path) {
    std::string uri = UriPath(path);
    if (uri.size() >= 4 && uri.compare(1, 3, "%3A") == 0) uri.replace(1, 3, ":");  // a drive letter
    return "file://" + std::string(uri.empty() || uri[0] != '/' ? "/" : "") + uri;
}

}  // namespace

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
        json.Field("quibexSubject/v1", f.rule + ":" + FindingPathKey(f.path) + ":" + f.subject);
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject().EndArray();
    json.EndObject();
    json.Finish();
    out << text;
}

}  // namespace quibex::report
