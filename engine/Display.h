#pragma once
// The display port: what the engine needs of the main window's member list
// and value labels. The window implements it on its real controls; the
// reporter and the tests keep the same state in memory (MemoryDisplay).

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/MemberStatistics.h"

namespace quibex {

// The value labels the engine and the selection summary write, named as on
// the main window.
enum class Label {
    // Frame "File": the current member during a run, the selection after it.
    LabelFileT,
    LabelTypeT,
    LabelSizeT,
    LabelBinaryT,
    LabelTotalT,
    LabelInterfaceT,
    LabelCodeT,
    LabelLineT,
    // Frame "Total": per-kind counts, then the project figures.
    LabelFormT,
    LabelMDIFormT,
    LabelModuleT,
    LabelClassModuleT,
    LabelUserControlT,
    LabelPropertyPageT,
    LabelUserDocumentT,
    LabelBinaryTotalT,
    LabelInterfaceTotalT,
    LabelCodeTotalT,
    LabelTotalFileT,
};
inline constexpr int kLabelCount = static_cast<int>(Label::LabelTotalFileT) + 1;

// Every label, in the order above.
std::array<Label, kLabelCount> AllLabels();

// "LabelFileT" for Label::LabelFileT, and back.
std::string_view LabelName(Label label);
std::optional<Label> LabelFromName(std::string_view name);

// The text a value label shows right after a reset, before a run.
std::string_view ResetText(Label label);

class IDisplay {
public:
    virtual ~IDisplay() = default;
    // Sets the caption of a value label.
    virtual void SetCaption(Label label, std::string_view text) = 0;
    // Reads the caption of a value label (the engine reads the count labels).
    virtual std::string Caption(Label label) = 0;
    // Appends an entry at the end of the member list.
    virtual void AddItem(std::string_view text) = 0;
    // Appends several entries, in order, as AddItem one by one would; a
    // display may do it in one go.
    virtual void AddItems(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) AddItem(text);
    }
    // The number of entries in the member list.
    virtual Figure ListCount() = 0;
    // Makes entry `index` (from 0) the list's current entry.
    virtual void SetListIndex(Figure index) = 0;
};

// Writes the reset texts into every value label (emptying the list is the
// display's own business).
void WriteResetTexts(IDisplay& display);

// A display that keeps the list and the labels in memory. Labels start empty,
// as on a newly created main window.
class MemoryDisplay : public IDisplay {
public:
    void SetCaption(Label label, std::string_view text) override;
    std::string Caption(Label label) override;
    void AddItem(std::string_view text) override;
    Figure ListCount() override;
    void SetListIndex(Figure index) override;

    // Empties the list and writes the reset texts, as the window's reset does.
    void ResetFigures();

    const std::string& Text(Label label) const { return labels_[static_cast<int>(label)]; }
    const std::vector<std::string>& Items() const { return items_; }
    Figure ListIndex() const { return listIndex_; }

private:
    std::array<std::string, kLabelCount> labels_;
    std::vector<std::string> items_;
    Figure listIndex_ = -1;
};

}  // namespace quibex
