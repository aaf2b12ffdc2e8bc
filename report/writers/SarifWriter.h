#pragma once
// check's findings as SARIF 2.1.0, the form code-scanning tools read.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "report/model/Findings.h"
#include "report/writers/CheckFormats.h"

namespace quibex::report {

// One run with the metadata of every rule that ran, relative paths below
// %SRCROOT% (the context's base folder), and at most context.maxResults
// results (errors first), saying so when some were left out.
void WriteFindingsSarif(const std::vector<Finding>& findings, const FindingsContext& context, std::ostream& out);

// A path as a relative URI reference: "/" between folders, and every byte
// other than letters, digits and -._~/ percent-encoded.
std::string UriPath(std::string_view path);

}  // namespace quibex::report
