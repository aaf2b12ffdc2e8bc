#pragma once
// What "quibex-report check" finds, how a finding is known again (the
// baseline of earlier findings a run is compared with, and the
// fingerprints of code-scanning formats). The rules are in Rules.h; the
// writers of findings in writers/ (CheckFormats.h).

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

// One fingerprint per finding (64 hex digits), the same however the lines
// around it move: a hash of rule, path (any letter case, either separator)
// and subject, or of the message without its figures where a finding has
// no subject. Findings that share all three are told apart by their order.
std::vector<std::string> FindingFingerprints(const std::vector<Finding>& findings);

}  // namespace quibex::report
