#pragma once
// What changed between two versions of a project or group: each side the
// figures of its members (read now, or from a saved --detail JSON report),
// and the members and procedures of both paired. The writers of a diff are
// in writers/ (text, JSON, cloc-json).

#include <istream>
#include <utility>
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

// The figures the diff compares, of a member or of a side's totals, by name.
struct DiffFigure {
    const char* name;
    Figure (*of)(const MemberFigures&);
};
const std::vector<DiffFigure>& DiffFigures();

struct ProcedureChange {
    const ProcedureFigures* before = nullptr;  // null: added
    const ProcedureFigures* after = nullptr;   // null: removed
};

struct MemberChange {
    const MemberFigures* before = nullptr;  // null: added
    const MemberFigures* after = nullptr;   // null: removed
    std::vector<ProcedureChange> procedures;  // only those added, removed or changed

    const MemberFigures& Either() const { return after ? *after : *before; }
    bool Changed() const;
};

struct DiffResult {
    std::vector<MemberChange> added, removed, changed;
    std::vector<std::pair<const MemberFigures*, const MemberFigures*>> same;
};

// The members of both sides paired by path (in any letter case), and the
// procedures of each pair by kind and name, the n-th of a name with the n-th.
// The result points into `before` and `after`.
DiffResult CompareSnapshots(const Snapshot& before, const Snapshot& after);

// A side's figures summed over its members.
MemberFigures Totals(const Snapshot& side);

}  // namespace quibex::report
