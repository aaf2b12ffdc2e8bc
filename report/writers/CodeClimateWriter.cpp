// check --format codeclimate: Code Climate issues, the layout of GitLab's
// code quality report (artifacts:reports:codequality).

#include "report/writers/CodeClimateWriter.h"

#include <algorithm>

#include "report/model/Rules.h"
#include "report/text/JsonWriter.h"

namespace quibex::report {

namespace {

std::string_view CategoryOf(RuleKind kind) {
    switch (kind) {
        case RuleKind::Breakage: return "Bug Risk";
        case RuleKind::Portability: return "Compatibility";
        case RuleKind::Complexity: return "Complexity";
        case RuleKind::Clarity: return "Clarity";
        case RuleKind::Convention: return "Style";
        case RuleKind::Formatting: return "Style";
        case RuleKind::Pitfall: return "Bug Risk";
        case RuleKind::Security: return "Security";
    }
    return "Bug Risk";
}

}  // namespace

void WriteFindingsCodeClimate(const std::vector<Finding>& findings, const FindingsContext&, std::ostream& out) {
    const std::vector<std::string> fingerprints = FindingFingerprints(findings);
    std::string text;
    JsonWriter json(text);
    json.BeginArray();
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& f = findings[i];
        const CheckRule* rule = FindCheckRule(f.rule);
        // GitLab wants paths from the repository's root, "/" between folders.
        std::string path = f.path;
        std::replace(path.begin(), path.end(), '\\', '/');
        json.BeginObject();
        json.Field("type", "issue").Field("check_name", f.rule).Field("description", f.message);
        json.Key("categories").BeginArray(true).String(CategoryOf(rule ? rule->kind : RuleKind::Breakage)).EndArray();
        json.Field("severity", f.severity == Severity::Error ? "major" : "minor");
        json.Field("fingerprint", fingerprints[i]);
        json.Key("location").BeginObject(true).Field("path", path);
        json.Key("lines").BeginObject(true).Field("begin", std::max<Figure>(f.line, 1)).EndObject();
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.Finish();
    out << text;
}

}  // namespace quibex::report
