#include "ui/ControlIds.h"

#include "ui/resource.h"

namespace quibex {

namespace {

// In the order of enum Label.
constexpr int kValueLabelIds[kLabelCount] = {
    IDC_LABELFILET,        IDC_LABELTYPET,          IDC_LABELSIZET,        IDC_LABELBINARYT,
    IDC_LABELTOTALT,       IDC_LABELINTERFACET,     IDC_LABELCODET,        IDC_LABELLINET,
    IDC_LABELFORMT,        IDC_LABELMDIFORMT,       IDC_LABELMODULET,      IDC_LABELCLASSMODULET,
    IDC_LABELUSERCONTROLT, IDC_LABELPROPERTYPAGET,  IDC_LABELUSERDOCUMENTT, IDC_LABELBINARYTOTALT,
    IDC_LABELINTERFACETOTALT, IDC_LABELCODETOTALT, IDC_LABELTOTALFILET,
};

}  // namespace

int ValueLabelId(Label label) { return kValueLabelIds[static_cast<int>(label)]; }

std::optional<Label> LabelOfControlId(int id) {
    for (int i = 0; i < kLabelCount; ++i) {
        if (kValueLabelIds[i] == id) return static_cast<Label>(i);
    }
    return std::nullopt;
}

}  // namespace quibex
