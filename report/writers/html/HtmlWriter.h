#pragma once
// The HTML report: one self-contained page that opens from disk with
// nothing loaded from elsewhere. A header with the project figures in the
// window's text forms, the problems of the run, a treemap of the members
// (area = lines, colour = kind, a group's projects nested), the member
// table built by the page's script from an embedded data block, and with
// the source model the line split, the most complex procedures, the
// controls of each form, the Declare statements and the references.

#include <ostream>
#include <string>
#include <string_view>

#include "report/model/Detail.h"
#include "report/model/Report.h"

namespace quibex::report {

// `detail` may be null: the sections of the source model are left out.
// `generatedAt` is shown as the report's date.
void WriteHtml(const ReportData& report, const DetailData* detail, std::string_view generatedAt, std::ostream& out);

}  // namespace quibex::report
