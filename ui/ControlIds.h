#pragma once
// Which control shows which value label, for the window and for anything that
// reads the window from outside. Portable: no <windows.h>.

#include <optional>

#include "engine/Display.h"

namespace quibex {

// The control number of a value label (IDC_LABELFILET for LabelFileT).
int ValueLabelId(Label label);

// The value label with that control number, if any.
std::optional<Label> LabelOfControlId(int id);

}  // namespace quibex
