#include "engine/Display.h"

namespace quibex {

namespace {

struct LabelInfo {
    std::string_view name;
    std::string_view resetText;
};

// In the order of enum Label.
constexpr LabelInfo kLabels[kLabelCount] = {
    {"LabelFileT", ""},
    {"LabelTypeT", ""},
    {"LabelSizeT", "0b"},
    {"LabelBinaryT", "0b"},
    {"LabelTotalT", "0b"},
    {"LabelInterfaceT", "0 (0b)"},
    {"LabelCodeT", "0 (0b)"},
    {"LabelLineT", "0 (0b)"},
    {"LabelFormT", "0"},
    {"LabelMDIFormT", "0"},
    {"LabelModuleT", "0"},
    {"LabelClassModuleT", "0"},
    {"LabelUserControlT", "0"},
    {"LabelPropertyPageT", "0"},
    {"LabelUserDocumentT", "0"},
    // A bare "0" until the first member's binary size replaces it.
    {"LabelBinaryTotalT", "0"},
    {"LabelInterfaceTotalT", "0 (0b)"},
    {"LabelCodeTotalT", "0 (0b)"},
    {"LabelTotalFileT", "0 (0b)"},
};

}  // namespace

std::array<Label, kLabelCount> AllLabels() {
    std::array<Label, kLabelCount> all{};
    for (int i = 0; i < kLabelCount; ++i) all[i] = static_cast<Label>(i);
    return all;
}

std::string_view LabelName(Label label) { return kLabels[static_cast<int>(label)].name; }

std::optional<Label> LabelFromName(std::string_view name) {
    for (int i = 0; i < kLabelCount; ++i) {
        if (kLabels[i].name == name) return static_cast<Label>(i);
    }
    return std::nullopt;
}

std::string_view ResetText(Label label) { return kLabels[static_cast<int>(label)].resetText; }

void WriteResetTexts(IDisplay& display) {
    // The count labels first, then the project figures, then the file frame:
    // the order in which the window's reset writes them.
    for (int i = static_cast<int>(Label::LabelFormT); i < kLabelCount; ++i) {
        display.SetCaption(static_cast<Label>(i), kLabels[i].resetText);
    }
    for (int i = 0; i < static_cast<int>(Label::LabelFormT); ++i) {
        display.SetCaption(static_cast<Label>(i), kLabels[i].resetText);
    }
}

void MemoryDisplay::SetCaption(Label label, std::string_view text) {
    labels_[static_cast<int>(label)].assign(text);
}

std::string MemoryDisplay::Caption(Label label) { return labels_[static_cast<int>(label)]; }

void MemoryDisplay::AddItem(std::string_view text) { items_.emplace_back(text); }

Figure MemoryDisplay::ListCount() { return static_cast<Figure>(items_.size()); }

void MemoryDisplay::SetListIndex(Figure index) {
    if (index >= -1 && index < ListCount()) listIndex_ = index;
}

void MemoryDisplay::ResetFigures() {
    items_.clear();
    listIndex_ = -1;
    WriteResetTexts(*this);
}

}  // namespace quibex
