#pragma once
// The forms "quibex-report check" writes its findings in, and the table
// the command line picks them from: a new format is a writer in a file of
// its own and a row here.

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
struct FindingsContext {
    std::string file;                             // the project or group, as given
    std::vector<std::string_view> rulesRun;       // in the order of CheckRules()
    std::string baseFolder;                       // absolute, UTF-8; relative paths lie below it
    std::vector<std::string> files;               // every file checked, its path as findings show it
    bool complete = true;                         // every project and group file could be read
    std::size_t maxResults = kDefaultMaxResults;  // SARIF: the results written at most
};

using CheckWriter = void (*)(const std::vector<Finding>& findings, const FindingsContext& context, std::ostream& out);

struct CheckFormat {
    std::string_view name;  // --format NAME
    CheckWriter write;
};
// Every format, text first (the default).
const std::vector<CheckFormat>& CheckFormats();
const CheckFormat* FindCheckFormat(std::string_view name);
// "text, json, sarif, ...", for messages.
std::string CheckFormatNames();

}  // namespace quibex::report
