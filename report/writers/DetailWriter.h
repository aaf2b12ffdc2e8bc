#pragma once
// The reports that show the source model: --detail in text, CSV and JSON,
// CSV rows of procedures, and the cloc-json layout.

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "report/model/Detail.h"
#include "report/model/PathRoot.h"
#include "report/text/JsonWriter.h"
#include "report/writers/ReportWriter.h"

namespace quibex::report {

// The text report's sections after the project figures: lines by class per
// member, and the `top` most complex procedures.
void WriteDetailText(const ReportData& report, const DetailData& detail, std::size_t top, std::ostream& out);

// The CSV report with the member rows' source figures appended.
void WriteDetailCsv(const ReportData& report, const DetailData& detail, std::ostream& out);
// One CSV row per procedure.
void WriteProceduresCsv(const ReportData& report, const DetailData& detail, std::ostream& out);

// The JSON report with each member's source model and the projects' facts;
// with `mostComplex`, that many of the most complex procedures in a list.
void WriteDetailJson(const ReportData& report, const DetailData& detail, std::ostream& out,
                     std::optional<std::size_t> mostComplex = std::nullopt);

// cloc's JSON layout: a header, the language "Visual Basic 6" (or one entry
// per file with `byFile`) and SUM; comment lines are comment, attribute and
// designer lines. Every file read is counted once, however often it is
// listed. Paths start at `root`.
void WriteClocJson(const ReportData& report, const DetailData& detail, bool byFile, const PathRoot& root,
                   double elapsedSeconds, std::ostream& out);

// The parts of the model as JSON, for every writer that shows them.
void WriteLineCounts(JsonWriter& json, const vb6::LineCounts& lines);
void WriteProcedure(JsonWriter& json, const vb6::Procedure& procedure);
void WriteMemberModel(JsonWriter& json, const vb6::MemberModel& model);
void WriteProjectFacts(JsonWriter& json, const vb6::ProjectFacts& project);

// The `top` procedures of the run, most complex first: by complexity, then
// nesting, then length, then where they stand.
struct RankedProcedure {
    std::size_t member;
    const vb6::Procedure* procedure;
};
std::vector<RankedProcedure> MostComplex(const DetailData& detail, std::size_t top);

// "frmMain.frm:12-40": where a procedure is.
std::string ProcedurePlace(const MemberRow& member, const vb6::Procedure& procedure);

}  // namespace quibex::report
