#include "ui/PacedDisplay.h"

namespace quibex {

PacedDisplay::PacedDisplay(IDisplay& shown) : shown_(shown), shownCount_(shown.ListCount()) {
    for (Label label : AllLabels()) captions_[static_cast<int>(label)] = shown_.Caption(label);
}

void PacedDisplay::SetCaption(Label label, std::string_view text) {
    const int i = static_cast<int>(label);
    if (captions_[i] == text) return;
    captions_[i].assign(text);
    changed_[i] = true;
}

std::string PacedDisplay::Caption(Label label) { return captions_[static_cast<int>(label)]; }

void PacedDisplay::AddItem(std::string_view text) { newItems_.emplace_back(text); }

Figure PacedDisplay::ListCount() { return shownCount_ + static_cast<Figure>(newItems_.size()); }

void PacedDisplay::SetListIndex(Figure index) {
    // Checked against the entries as they are now: an index past the end is
    // refused here as the list would refuse it, not taken up by entries that
    // arrive later.
    if (index >= ListCount()) return;
    listIndex_ = index;
    indexChanged_ = true;
}

void PacedDisplay::Flush() {
    if (!newItems_.empty()) shown_.AddItems(newItems_);
    newItems_.clear();
    shownCount_ = shown_.ListCount();
    if (indexChanged_) {
        indexChanged_ = false;
        shown_.SetListIndex(listIndex_);
    }
    for (Label label : AllLabels()) {
        const int i = static_cast<int>(label);
        if (!changed_[i]) continue;
        changed_[i] = false;
        shown_.SetCaption(label, captions_[i]);
    }
}

}  // namespace quibex
