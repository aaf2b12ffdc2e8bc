#pragma once
// check's findings as JUnit XML: a test suite per rule that ran, a test
// case per rule and file checked, failing when the rule found an error in
// the file.

#include <ostream>
#include <vector>

#include "report/model/Findings.h"
#include "report/writers/CheckFormats.h"

namespace quibex::report {

void WriteFindingsJUnit(const std::vector<Finding>& findings, const FindingsContext& context, std::ostream& out);

}  // namespace quibex::report
