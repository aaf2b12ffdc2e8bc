#pragma once
// cloc's JSON layouts: the line counts of a run, and the added, same,
// modified and removed lines of a diff. cloc counts as comment lines what
// the source model calls comment, attribute and designer lines.

#include <ostream>
#include <string>

#include "report/model/Detail.h"
#include "report/model/Diff.h"
#include "report/model/Report.h"

namespace quibex::report {

// A header, the language "Visual Basic 6" (or one entry per file with
// `byFile`) and SUM. Every file read is counted once, however often it is
// listed. Paths are relative to `baseFolder` where they lie below it.
void WriteClocJson(const ReportData& report, const DetailData& detail, bool byFile, const std::string& baseFolder,
                   double elapsedSeconds, std::ostream& out);

// cloc --diff's layout of `diff`.
void WriteClocDiff(const Snapshot& before, const Snapshot& after, const DiffResult& diff, std::ostream& out);

}  // namespace quibex::report
