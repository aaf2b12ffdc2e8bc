#pragma once
// The plain report as an aligned text table, CSV and JSON, from the
// figures of a finished run with every text already UTF-8.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "report/model/Report.h"

namespace quibex::report {

void WriteJson(const ReportData& report, std::ostream& out);
void WriteCsv(const ReportData& report, std::ostream& out);
void WriteText(const ReportData& report, std::ostream& out);

}  // namespace quibex::report
