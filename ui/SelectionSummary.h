#pragma once
// The figures of the members selected in the main window's list, as the
// "File" frame shows them once a run is over. Portable: no <windows.h>.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "engine/Display.h"
#include "engine/MemberStatistics.h"

namespace quibex {

// Each "File" frame value label with its text, in the order they are written.
using SelectionTexts = std::array<std::pair<Label, std::string>, 8>;

// Sums the records of the selected list entries (counted from 0; entry i is
// record i + 1). The name and kind are those of the selected records when
// they all agree, "Multi" when any two differ, and empty when nothing is
// selected. Entries without a record are passed over.
SelectionTexts SummarizeSelection(const StatisticsModel& statistics, const std::vector<Figure>& selectedEntries);

}  // namespace quibex
