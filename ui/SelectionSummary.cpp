#include "ui/SelectionSummary.h"

#include <string_view>

namespace quibex {

namespace {

// The first text stands; a later one that differs turns it into "Multi"
// for good (a later "Multi" path compares equal and keeps it so).
void Merge(std::string& merged, const std::string& next) {
    if (merged.empty()) {
        merged = next;
    } else if (merged != next) {
        merged = "Multi";
    }
}

}  // namespace

SelectionTexts SummarizeSelection(const StatisticsModel& statistics, const std::vector<Figure>& selectedEntries) {
    std::string name;
    std::string kind;
    Figure fileSum = 0, binarySum = 0;
    Figure interfaceLines = 0, interfaceBytes = 0, codeLines = 0, codeBytes = 0;

    for (Figure entry : selectedEntries) {
        // A list that somehow holds more entries than there are records must
        // not read past the records.
        if (entry < 0 || entry + 1 > statistics.RecordCount()) continue;
        const MemberRecord& r = statistics.Members(entry + 1);
        Merge(name, r.Path);
        Merge(kind, r.TypeName);
        fileSum += r.FileSize;
        binarySum += r.BinarySize;
        interfaceLines += r.InterfaceLines;
        interfaceBytes += r.InterfaceBytes;
        codeLines += r.CodeLines;
        codeBytes += r.CodeBytes;
    }

    return {{
        {Label::LabelFileT, name},
        {Label::LabelTypeT, kind},
        {Label::LabelSizeT, SizeText(fileSum)},
        {Label::LabelBinaryT, SizeText(binarySum)},
        {Label::LabelTotalT, SizeText(fileSum + binarySum)},
        {Label::LabelInterfaceT, LineFigureText(interfaceLines, interfaceBytes)},
        {Label::LabelCodeT, LineFigureText(codeLines, codeBytes)},
        {Label::LabelLineT, LineFigureText(interfaceLines + codeLines, interfaceBytes + codeBytes)},
    }};
}

}  // namespace quibex
