#pragma once
// The statistics of one analysis: a record per member file, in reading order,
// the index of the record being filled, the project totals, and the two text
// forms in which every figure is shown.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quibex {

// Sizes, line counts and totals. 64 bits, so that figures stay exact past
// 2 GiB and no sum of them can overflow in practice.
using Figure = std::int64_t;

// One member file's figures.
struct MemberRecord {
    std::string Path;      // as written in the project file, never normalised
    std::string TypeName;  // "Form", "MDI Form", "Module", ...
    Figure FileSize = 0;
    Figure BinarySize = 0;
    Figure InterfaceLines = 0;
    Figure InterfaceBytes = 0;
    Figure CodeLines = 0;
    Figure CodeBytes = 0;
};

class StatisticsModel {
public:
    // Record `index`, counted from 1 like the list entries it belongs to
    // (entry i shows record i + 1). Precondition: 1 <= index <= RecordCount().
    MemberRecord& Members(Figure index);
    const MemberRecord& Members(Figure index) const;

    // How many records exist. Unlike MemberCount, this survives the end of a run.
    Figure RecordCount() const { return static_cast<Figure>(records_.size()); }
    const std::vector<MemberRecord>& Records() const { return records_; }

    // Starts the next member: MemberCount grows by one and a zero record is
    // appended; earlier records are kept unchanged.
    void GrowMembers();

    // Back to the empty state: no records, MemberCount and every total 0.
    void Reset();

    // While a run adds members: the number of records, i.e. the index of the
    // current one. The run driver sets it to 0 at the end of a run, which
    // tells the selection summary that no run is going on.
    Figure MemberCount = 0;

    Figure BinaryTotal = 0;
    Figure InterfaceLinesTotal = 0;
    Figure InterfaceBytesTotal = 0;
    Figure CodeLinesTotal = 0;
    Figure CodeBytesTotal = 0;

private:
    std::vector<MemberRecord> records_;
};

// A byte count as "1023b", "1.46Kb" or "2047.99Mb": the value in the largest
// unit up to Mb, truncated (never rounded) to two decimals, shortest form.
std::string SizeText(Figure bytes);

// "57 (1.5Kb)": the line count, then the size text of the byte count.
std::string LineFigureText(Figure lines, Figure bytes);

// The number at the start of a caption, as the count labels hold it: leading
// blanks skipped, an optional sign, then digits; 0 when there are none.
// Saturates instead of overflowing.
Figure LeadingNumber(std::string_view text);

}  // namespace quibex
