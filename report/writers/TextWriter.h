#pragma once
// Every report as text for a terminal: the plain report's member table and
// project figures, the source model's lines by class and most complex
// procedures, check's findings as compilers print them, and a diff.

#include <cstddef>
#include <ostream>
#include <vector>

#include "report/model/Detail.h"
#include "report/model/Diff.h"
#include "report/model/Findings.h"
#include "report/model/Report.h"

namespace quibex::report {

// The members as the window's "File" frame shows them, then the project
// figures as its "Total" frame does.
void WriteText(const ReportData& report, std::ostream& out);

// The text report's sections after the project figures: lines by class per
// member, and the `top` most complex procedures.
void WriteDetailText(const ReportData& report, const DetailData& detail, std::size_t top, std::ostream& out);

// "path:line: rule: message", one a line; "warning: " before the message of a warning.
void WriteFindingsText(const std::vector<Finding>& findings, std::ostream& out);

// The members added, removed and changed with the change of each figure,
// then both sides' totals.
void WriteDiffText(const Snapshot& before, const Snapshot& after, const DiffResult& diff, std::ostream& out);

}  // namespace quibex::report
