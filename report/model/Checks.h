#pragma once
// The rules of "quibex-report check": what a VB6 project's files must be for
// the IDE to load them and for a checkout on another system to build them,
// and the limits a team sets itself with --fail-on.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"
#include "report/model/Analysis.h"
#include "report/model/Findings.h"
#include "report/model/Rules.h"
#include "report/text/Utf8.h"
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
// The figures a threshold may name, for --help and error messages.
std::string_view ThresholdMetrics();
// One threshold; nothing, with the reason in `error`, when `text` is none.
std::optional<Threshold> ParseThreshold(std::string_view text, std::string& error);

struct CheckSettings {
    std::vector<std::string> select;  // empty: every rule
    std::vector<std::string> ignore;
    std::vector<Threshold> thresholds;

    bool Runs(std::string_view rule) const;
};

// What the checks need to know of the files beyond the source model,
// gathered while the file system that read them is at hand.
struct FileInspection {
    struct Member {
        std::vector<std::string> missingCompanions;  // as the layout names them
        std::string writtenName, diskName;           // differing in letter case only; empty when they agree
    };
    struct ListFile {  // a project or group file
        std::string fullPath;
        bool read = false;
        vb6::FileFacts facts;
        std::string writtenName, diskName;  // a group's project path against the project file
        std::vector<std::pair<Figure, std::string>> projects;  // a group's project lines: line, path
    };
    std::vector<Member> members;       // one per member record
    std::vector<ListFile> projects;    // one per project read
    std::optional<ListFile> group;     // when a group was read
};

// Looks at the files of a finished run: companions, letter case, and the
// bytes of the project and group files. Texts stay as the file system has them.
FileInspection InspectFiles(const StatisticsModel& stats, const DetailData& detail, IFileSystem& files,
                            const std::string& groupFullPath);
void ConvertToUtf8(FileInspection& inspection, const TextConverter& toUtf8);

// Every finding of the rules `settings` runs, ordered by path and line.
// Paths are shown relative to `currentFolder` where they lie below it;
// `codePage` is the number the double-byte check used (0: none).
std::vector<Finding> RunChecks(const Analysis& analysis, const FileInspection& inspection,
                               const CheckSettings& settings, int codePage, const std::string& currentFolder);

// Every file the checks looked at: the group file, the project files and
// the members read, each as RunChecks shows paths.
std::vector<std::string> CheckedFiles(const Analysis& analysis, const FileInspection& inspection,
                                      const std::string& currentFolder);

// The IDE's limits.
inline constexpr Figure kMaxMemberLines = 65534;
inline constexpr Figure kMaxControlNames = 254;
inline constexpr Figure kMaxControlDepth = 25;
inline constexpr Figure kMaxDeclares = 1500;

// The settings file beside a project: ".quibex.toml".
inline constexpr std::string_view kConfigFileName = ".quibex.toml";

// Its [check] table; a key that is not given stays empty.
struct CheckConfig {
    std::optional<std::vector<std::string>> select, ignore, failOn;
    std::optional<std::string> baseline, format;
};
// Parses the settings file: a [check] table (or keys before any table) of
// select, ignore and fail-on (strings or arrays of strings), baseline and
// format (strings). Other tables are left alone. Nothing, with the reason
// and line in `error`, on a text it cannot read.
std::optional<CheckConfig> ParseCheckConfig(std::string_view text, std::string& error);

// "a,b , c" as {"a", "b", "c"}.
std::vector<std::string> SplitList(std::string_view text);

}  // namespace quibex::report
