#pragma once
// check --list-rules: each rule with its level, whether it runs by default
// and its parameters, as a table or as JSON.

#include <ostream>

namespace quibex::report {

void WriteRuleListText(std::ostream& out);
void WriteRuleListJson(std::ostream& out);

}  // namespace quibex::report
