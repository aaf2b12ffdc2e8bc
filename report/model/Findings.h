#pragma once
// What "quibex-report check" finds, the rules that find it, and the
// baseline of earlier findings a run is compared with. The writers of
// findings are in writers/ (text, JSON, SARIF).

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/MemberStatistics.h"

namespace quibex::report {

enum class Severity { Warning, Error };
std::string_view SeverityName(Severity severity);  // "warning", "error"

struct Finding {
    std::string rule;  // "line-endings"
    Severity severity = Severity::Error;
    std::string path;  // UTF-8; relative to the current folder where it lies below it
    Figure line = 0;   // from 1; 0 when the finding is about the file as a whole
    std::string message;
    // What the finding is about, in words that stay when lines move ("lf",
    // "member.codeLines Form_Load"): a baseline knows a finding again by
    // rule, path, subject and severity.
    std::string subject;
};

struct CheckRule {
    std::string_view name;
    std::string_view summary;
};
// Every rule "check" knows, in the order --help lists them.
const std::vector<CheckRule>& CheckRules();
bool IsCheckRule(std::string_view name);

// The findings of a report written by WriteFindingsJson. Throws
// std::runtime_error with the reason when `in` holds no such report.
std::vector<Finding> ReadFindingsJson(std::istream& in);

// The findings that the baseline does not hold: each baseline finding
// stands for one finding of the same rule, path (in any letter case, either
// separator), subject and severity.
std::vector<Finding> NewSince(const std::vector<Finding>& findings, const std::vector<Finding>& baseline);

// A finding's path as a baseline and a fingerprint compare it: in any
// letter case and with either separator.
std::string FindingPathKey(std::string_view path);

}  // namespace quibex::report
