#pragma once
// check's findings as SARIF 2.1.0, the form code-scanning tools read.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "report/model/Findings.h"

namespace quibex::report {

// One run of quibex-report with every rule that ran; relative paths are
// relative to `baseFolder` (absolute, UTF-8), given as the run's %SRCROOT%.
void WriteFindingsSarif(const std::vector<Finding>& findings, const std::vector<std::string_view>& rulesRun,
                        const std::string& baseFolder, std::ostream& out);

// A path as a relative URI reference: "/" between folders, and every byte
// other than letters, digits and -._~/ percent-encoded.
std::string UriPath(std::string_view path);

}  // namespace quibex::report
