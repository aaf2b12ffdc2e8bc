#pragma once
// The reports as CSV (RFC 4180, every record ending in CR LF): one row per
// member, with the source model's figures appended, or one row per procedure.

#include <ostream>

#include "report/model/Detail.h"
#include "report/model/Report.h"

namespace quibex::report {

void WriteCsv(const ReportData& report, std::ostream& out);
// The member rows with their source figures appended.
void WriteDetailCsv(const ReportData& report, const DetailData& detail, std::ostream& out);
// One row per procedure.
void WriteProceduresCsv(const ReportData& report, const DetailData& detail, std::ostream& out);

}  // namespace quibex::report
