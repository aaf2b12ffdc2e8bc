#pragma once
// check's findings as Code Climate issues as GitLab's code quality report reads them.

#include <ostream>
#include <vector>

#include "report/model/Findings.h"
#include "report/writers/CheckFormats.h"

namespace quibex::report {

void WriteFindingsCodeClimate(const std::vector<Finding>& findings, const FindingsContext& context, std::ostream& out);

}  // namespace quibex::report
