#pragma once
// check's findings as SonarQube's generic issue import (10.3 and later):
// the rules that ran and an issue per finding, for a server without a VB6
// plugin.

#include <ostream>
#include <vector>

#include "report/model/Findings.h"
#include "report/writers/CheckFormats.h"

namespace quibex::report {

void WriteFindingsSonarQube(const std::vector<Finding>& findings, const FindingsContext& context, std::ostream& out);

}  // namespace quibex::report
