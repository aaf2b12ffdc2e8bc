#pragma once
// The reports as JSON documents, all written through JsonWriter: the plain
// report, the report with the source model, check's findings (also the form
// of a baseline) and a diff; and the parts of the source model that the
// HTML page embeds too.

#include <ostream>
#include <string>
#include <vector>

#include "report/model/Detail.h"
#include "report/model/Diff.h"
#include "report/model/Findings.h"
#include "report/model/Report.h"
#include "report/text/JsonWriter.h"

namespace quibex::report {

// members, counts, totals, the window's labels and the error.
void WriteJson(const ReportData& report, std::ostream& out);

// The JSON report with each member's source model and the projects' facts.
void WriteDetailJson(const ReportData& report, const DetailData& detail, std::ostream& out);

// {"file": ..., "errors": n, "warnings": n, "findings": [...]}
void WriteFindingsJson(const std::string& file, const std::vector<Finding>& findings, std::ostream& out);

// The members added, removed and changed, and both sides' totals.
void WriteDiffJson(const Snapshot& before, const Snapshot& after, const DiffResult& diff, std::ostream& out);

// The parts of the model as JSON, for every writer that shows them.
void WriteLineCounts(JsonWriter& json, const vb6::LineCounts& lines);
void WriteProcedure(JsonWriter& json, const vb6::Procedure& procedure);
void WriteMemberModel(JsonWriter& json, const vb6::MemberModel& model);
void WriteProjectFacts(JsonWriter& json, const vb6::ProjectFacts& project);

}  // namespace quibex::report
