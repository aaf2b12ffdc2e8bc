#pragma once
// What "quibex-report check" finds, and the two forms of it every other
// format builds on: compiler-style lines and JSON (which is also the form
// of a baseline). The formats of CI systems are in report/writers/.

#include <istream>
#include <ostream>
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

// "path:line: rule: message", one a line; "warning: " before the message of a warning.
void WriteFindingsText(const std::vector<Finding>& findings, std::ostream& out);
// {"file": ..., "errors": n, "warnings": n, "findings": [...]}
void WriteFindingsJson(const std::string& file, const std::vector<Finding>& findings, std::ostream& out);

// The findings of a report written by WriteFindingsJson. Throws
// std::runtime_error with the reason when `in` holds no such report.
std::vector<Finding> ReadFindingsJson(std::istream& in);

// The findings that the baseline does not hold: each baseline finding
// stands for one finding of the same rule, path (in any letter case, either
// separator), subject and severity.
std::vector<Finding> NewSince(const std::vector<Finding>& findings, const std::vector<Finding>& baseline);

// One fingerprint per finding (64 hex digits), the same however the lines
// around it move: a hash of rule, path (any letter case, either separator)
// and subject, or of the message without its figures where a finding has
// no subject. Findings that share all three are told apart by their order.
std::vector<std::string> FindingFingerprints(const std::vector<Finding>& findings);

// A path as a relative URI reference: "/" between folders, and every byte
// other than letters, digits and -._~/ percent-encoded.
std::string UriPath(std::string_view path);

}  // namespace quibex::report
