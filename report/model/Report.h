#pragma once
// The figures of a finished run as every report shows them: the members'
// records with their list entries, the projects read, the members that
// could not be read and the window's labels, every text in UTF-8.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Display.h"
#include "engine/MemberStatistics.h"
#include "report/text/Utf8.h"

namespace quibex::report {

struct MemberRow {
    MemberRecord record;  // Path and TypeName in UTF-8
    std::string name;     // the member's list entry
};

// A project file that was opened, and the member records it listed:
// [firstMember, firstMember + memberCount).
struct ProjectSpan {
    std::string path;  // as the user or the group named it, UTF-8
    std::size_t firstMember = 0;
    std::size_t memberCount = 0;
};

// A member whose file could not be read: its figures stay zero.
struct UnreadableMember {
    std::size_t member = 0;  // its record, from 0
    std::string reason;      // UTF-8, as the warning gives it
};

struct ReportData {
    std::string file;  // as the user gave it
    std::vector<MemberRow> members;
    std::vector<ProjectSpan> projects;        // in reading order
    std::vector<UnreadableMember> unreadable;  // in reading order
    std::array<std::string, kLabelCount> labels;  // every value label's text
    Figure binaryTotal = 0;
    Figure interfaceLinesTotal = 0;
    Figure interfaceBytesTotal = 0;
    Figure codeLinesTotal = 0;
    Figure codeBytesTotal = 0;
    std::string error;  // why reading stopped early; empty when it did not

    const std::string& Text(Label label) const { return labels[static_cast<int>(label)]; }
};

// The report of a finished run: the model's records with the display's list
// entries, the display's labels and the model's totals, texts converted
// with `toUtf8`.
ReportData CollectReport(const std::string& file, const StatisticsModel& stats, const MemoryDisplay& display,
                        const std::string& error, const TextConverter& toUtf8);

}  // namespace quibex::report
