#pragma once
// What changed between two versions of a project or group: each side the
// figures of its members (read now, or from a saved --detail JSON report),
// paired by path, and the changes written as text, JSON or in cloc's
// --diff layout.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "engine/MemberStatistics.h"
#include "report/model/Analysis.h"
#include "vb6/SourceModel.h"

namespace quibex::report {

struct ProcedureFigures {
    std::string name;
    std::string kind;  // "Sub", "Property Get", ...
    Figure lines = 0;
    Figure complexity = 1;
};

struct MemberFigures {
    std::string path;  // below the project's or group's folder, "\" between folders
    std::string type;  // "Form", "Module", ...
    bool read = false;
    Figure fileSize = 0, binarySize = 0;
    vb6::LineCounts lines;
    std::vector<ProcedureFigures> procedures;
};

// One side of a diff: every member once, in the order first listed.
struct Snapshot {
    std::string file;  // as the user named it
    std::vector<MemberFigures> members;
};

// The members of a run with the source model. In a group each member's
// path starts at the group's folder, so that members of two projects stay apart.
Snapshot SnapshotOf(const Analysis& analysis);
// The members of a report of "quibex-report --detail --format json". Throws
// std::runtime_error with the reason when `in` holds no such report.
Snapshot ReadSnapshotJson(std::istream& in);

enum class DiffFormat { Text, Json, ClocJson };

// The diff of `before` and `after`: members added, removed and changed,
// the change of every figure, and both sides' totals.
void WriteDiff(const Snapshot& before, const Snapshot& after, DiffFormat format, std::ostream& out);

}  // namespace quibex::report
