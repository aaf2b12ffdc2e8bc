#pragma once
// The rules of "quibex-report check": what a VB6 project's files must be for
// the IDE to load them and for a checkout on another system to build them,
// and the limits a team sets itself with --fail-on.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/MemberStatistics.h"
#include "report/model/Analysis.h"
#include "report/model/FileInspection.h"
#include "report/model/Findings.h"
#include "vb6/SourceModel.h"

namespace quibex::report {

// "procedure.complexity>40": a figure of every member or procedure and the
// value it may not pass (">") or reach (">=").
struct Threshold {
    std::string metric;
    Figure limit = 0;
    bool orEqual = false;
    std::string text;  // as given
};
// The figures a threshold may name, "member.lines" to "procedure.nesting",
// in the one order --help and error messages list them.
std::vector<std::string> ThresholdFigures();
// One threshold; nothing, with the reason in `error`, when `text` is none.
std::optional<Threshold> ParseThreshold(std::string_view text, std::string& error);

struct CheckSettings {
    std::vector<std::string> select;  // empty: every rule
    std::vector<std::string> ignore;
    std::vector<Threshold> thresholds;

    bool Runs(std::string_view rule) const;
};

// Every finding of the rules `settings` runs, ordered by path and line.
// Paths are shown relative to `currentFolder` where they lie below it;
// `codePage` is the number the double-byte check used (0: none).
std::vector<Finding> RunChecks(const Analysis& analysis, const FileInspection& inspection,
                               const CheckSettings& settings, int codePage, const std::string& currentFolder);

// The IDE's limits.
inline constexpr Figure kMaxMemberLines = 65534;
inline constexpr Figure kMaxControlNames = 254;
inline constexpr Figure kMaxControlDepth = 25;
inline constexpr Figure kMaxDeclares = 1500;

}  // namespace quibex::report
