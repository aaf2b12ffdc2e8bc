#pragma once
// Every rule "check" knows, and all that is said of it: one table that
// --help, --list-rules, the README's rule sections and every output format
// (SARIF, SonarQube, Code Climate, JUnit) read. A new rule is a new row.

#include <string>
#include <string_view>
#include <vector>

#include "report/model/Findings.h"

namespace quibex::report {

// The harm a finding does. Each format has its own words for it (SARIF
// tags, SonarQube's clean-code attribute and software quality, Code
// Climate's categories); the writers translate.
enum class RuleKind {
    Breakage,     // the project does not load or build: a missing file, the IDE's limits
    Portability,  // it builds on the developer's machine, not on another system or checkout
    Complexity,   // code harder to read and change than the team allows
    Clarity,      // code that says less plainly what it does than it could
    Convention,   // names and forms the team has agreed on
    Formatting,   // the layout of the text
    Pitfall,      // code that does not do what it seems to
    Security,     // a security hotspot
};
std::string_view RuleKindName(RuleKind kind);  // "breakage", "portability", ...

// A setting of a rule, as .quibex.toml and the command line name it.
struct RuleParameter {
    std::string_view name;          // "fail-on"
    std::string_view defaultValue;  // as .quibex.toml would hold it; empty when there is none
    std::string_view description;
};

struct CheckRule {
    std::string_view name;             // "line-endings": the id in every format and the README's anchor
    Severity level = Severity::Error;  // of its findings; a finding may be milder (a warning from 90% of a limit)
    bool onByDefault = true;           // runs without --select
    RuleKind kind = RuleKind::Breakage;
    std::string_view summary;      // one line, lower case, no full stop
    std::string_view description;  // what it finds and why that matters
    std::string_view bad, good;    // the README's two examples, as they appear there
    int effortMinutes = 5;         // to mend one finding, roughly
    std::vector<RuleParameter> parameters = {};
};

// Every rule, in the order --help, --list-rules and the README list them.
const std::vector<CheckRule>& CheckRules();
const CheckRule* FindCheckRule(std::string_view name);
bool IsCheckRule(std::string_view name);

// The README's section on the rule, as an absolute URI.
std::string RuleHelpUri(const CheckRule& rule);
// "line-endings" as "LineEndings": SARIF's name for a rule.
std::string RuleIdentifier(const CheckRule& rule);
// The description and the two examples as plain text, and as Markdown.
std::string RuleHelpText(const CheckRule& rule);
std::string RuleHelpMarkdown(const CheckRule& rule);

}  // namespace quibex::report
