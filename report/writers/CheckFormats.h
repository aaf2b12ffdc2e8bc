#pragma once
// The forms "quibex-report check" writes its findings in, one writer per
// file beside this one, and the table the command line picks them from.

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "report/model/Findings.h"

namespace quibex::report {

// GitHub code scanning takes at most this many results of a run.
inline constexpr std::size_t kDefaultMaxResults = 25000;

// What a writer may need besides the findings.
struct CheckRun {
    std::string file;                        // the project or group, as given
    std::vector<std::string_view> rulesRun;  // in the order of CheckRules()
    std::string baseFolder;                  // absolute, UTF-8; relative paths lie below it
    std::vector<std::string> files;          // every file checked, its path as findings show it
    bool complete = true;                    // every project and group file could be read
    std::size_t maxResults = kDefaultMaxResults;  // SARIF: the results written at most
};

using CheckWriter = void (*)(const std::vector<Finding>& findings, const CheckRun& run, std::ostream& out);

struct CheckFormat {
    std::string_view name;  // --format NAME
    CheckWriter write;
};
// Every format, text first (the default).
const std::vector<CheckFormat>& CheckFormats();
const CheckFormat* FindCheckFormat(std::string_view name);
// "text, json, sarif, ...", for messages.
std::string CheckFormatNames();

// SARIF 2.1.0: one run with the metadata of every rule that ran, relative
// paths below %SRCROOT% (the base folder), and at most run.maxResults
// results (errors first), saying so when some were left out.
void WriteFindingsSarif(const std::vector<Finding>& findings, const CheckRun& run, std::ostream& out);
// SonarQube's generic issue import (10.3 and later): rules and issues.
void WriteFindingsSonarQube(const std::vector<Finding>& findings, const CheckRun& run, std::ostream& out);
// Code Climate issues as GitLab's code quality report reads them.
void WriteFindingsCodeClimate(const std::vector<Finding>& findings, const CheckRun& run, std::ostream& out);
// JUnit XML: a test suite per rule that ran, a test case per rule and file
// checked, failing when the rule found an error in the file.
void WriteFindingsJUnit(const std::vector<Finding>& findings, const CheckRun& run, std::ostream& out);

// check --list-rules: each rule with its level, whether it runs by default
// and its parameters, as a table or as JSON.
void WriteRuleListText(std::ostream& out);
void WriteRuleListJson(std::ostream& out);

}  // namespace quibex::report
