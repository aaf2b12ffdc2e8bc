// check --format sonarqube: SonarQube's generic issue import in the layout
// of version 10.3 and later, so a server without a VB6 plugin shows the
// findings (sonar.externalIssuesReportPaths).

#include "report/writers/SonarQubeWriter.h"

#include <algorithm>

#include "report/model/Rules.h"
#include "report/text/JsonWriter.h"

namespace quibex::report {

namespace {

constexpr std::string_view kEngine = "quibex";

struct SonarKind {
    std::string_view attribute;  // the clean-code attribute
    std::string_view quality;    // the software quality it impacts
};

SonarKind SonarKindOf(RuleKind kind) {
    switch (kind) {
        case RuleKind::Breakage: return {"COMPLETE", "RELIABILITY"};
        case RuleKind::Portability: return {"CONVENTIONAL", "RELIABILITY"};
        case RuleKind::Complexity: return {"FOCUSED", "MAINTAINABILITY"};
        case RuleKind::Clarity: return {"CLEAR", "MAINTAINABILITY"};
        case RuleKind::Convention: return {"IDENTIFIABLE", "MAINTAINABILITY"};
        case RuleKind::Formatting: return {"FORMATTED", "MAINTAINABILITY"};
        case RuleKind::Pitfall: return {"LOGICAL", "RELIABILITY"};
        case RuleKind::Security: return {"TRUSTWORTHY", "SECURITY"};
    }
    return {"CONVENTIONAL", "MAINTAINABILITY"};
}

// "A member file ...": the summary as a title.
std::string Capitalised(std::string_view text) {
    std::string title(text);
    if (!title.empty() && title[0] >= 'a' && title[0] <= 'z') title[0] = static_cast<char>(title[0] - 'a' + 'A');
    return title;
}

// Paths as the scanner matches them against its project's files.
std::string SonarPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace

void WriteFindingsSonarQube(const std::vector<Finding>& findings, const FindingsContext& context, std::ostream& out) {
    // The server refuses an issue whose rule the report does not describe.
    std::vector<std::string_view> rules = context.rulesRun;
    for (const Finding& f : findings) {
        if (std::find(rules.begin(), rules.end(), f.rule) == rules.end()) rules.push_back(f.rule);
    }
    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Key("rules").BeginArray();
    for (std::string_view name : rules) {
        const CheckRule* rule = FindCheckRule(name);
        const SonarKind kind = SonarKindOf(rule ? rule->kind : RuleKind::Breakage);
        json.BeginObject();
        json.Field("id", name).Field("name", Capitalised(rule ? rule->summary : name));
        json.Field("description", rule ? RuleHelpText(*rule) : std::string(name));
        json.Field("engineId", kEngine).Field("cleanCodeAttribute", kind.attribute);
        // Impacts belong to the rule: its level, not that of each finding.
        const bool error = !rule || rule->level == Severity::Error;
        json.Key("impacts").BeginArray().BeginObject(true);
        json.Field("softwareQuality", kind.quality).Field("severity", error ? "HIGH" : "MEDIUM");
        json.EndObject().EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.Key("issues").BeginArray();
    for (const Finding& f : findings) {
        const CheckRule* rule = FindCheckRule(f.rule);
        json.BeginObject();
        json.Field("ruleId", f.rule).Field("effortMinutes", static_cast<Figure>(rule ? rule->effortMinutes : 0));
        json.Key("primaryLocation").BeginObject();
        json.Field("message", f.severity == Severity::Warning ? "warning: " + f.message : f.message);
        json.Field("filePath", SonarPath(f.path));
        // A finding about the whole file has no range: the server puts it on the file.
        if (f.line > 0) json.Key("textRange").BeginObject(true).Field("startLine", f.line).EndObject();
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.Finish();
    out << text;
}

}  // namespace quibex::report
