// check --list-rules: the rule table as a person or a script reads it.

#include "report/writers/RuleListWriter.h"

#include <algorithm>
#include <string>

#include "report/model/Rules.h"
#include "report/text/JsonWriter.h"

namespace quibex::report {

namespace {

std::string Padded(std::string text, std::size_t width) {
    text.append(text.size() < width ? width - text.size() : 1, ' ');
    return text;
}

std::string ParametersText(const CheckRule& rule) {
    std::string text;
    for (const RuleParameter& p : rule.parameters) {
        if (!text.empty()) text += ", ";
        text += std::string(p.name) + "=" + (p.defaultValue.empty() ? "(none)" : std::string(p.defaultValue));
    }
    return text.empty() ? "-" : text;
}

}  // namespace

void WriteRuleListText(std::ostream& out) {
    std::size_t nameWidth = 4, parameterWidth = 10;
    for (const CheckRule& rule : CheckRules()) {
        nameWidth = std::max(nameWidth, rule.name.size());
        parameterWidth = std::max(parameterWidth, ParametersText(rule).size());
    }
    out << Padded("RULE", nameWidth + 2) << "LEVEL    DEFAULT  " << Padded("PARAMETERS", parameterWidth + 2)
        << "FINDS\n";
    for (const CheckRule& rule : CheckRules()) {
        out << Padded(std::string(rule.name), nameWidth + 2) << Padded(std::string(SeverityName(rule.level)), 9)
            << Padded(rule.onByDefault ? "on" : "off", 9) << Padded(ParametersText(rule), parameterWidth + 2)
            << rule.summary << '\n';
    }
}

void WriteRuleListJson(std::ostream& out) {
    std::string text;
    JsonWriter json(text);
    json.BeginObject().Key("rules").BeginArray();
    for (const CheckRule& rule : CheckRules()) {
        json.BeginObject();
        json.Field("name", rule.name).Field("level", SeverityName(rule.level)).Field("onByDefault", rule.onByDefault);
        json.Field("kind", RuleKindName(rule.kind)).Field("summary", rule.summary);
        json.Field("description", rule.description).Field("bad", rule.bad).Field("good", rule.good);
        json.Field("effortMinutes", static_cast<Figure>(rule.effortMinutes)).Field("helpUri", RuleHelpUri(rule));
        json.Key("parameters").BeginArray();
        for (const RuleParameter& p : rule.parameters) {
            json.BeginObject(true).Field("name", p.name).Key("default").StringOrNull(p.defaultValue);
            json.Field("description", p.description).EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray().EndObject();
    json.Finish();
    out << text;
}

}  // namespace quibex::report
