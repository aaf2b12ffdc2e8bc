#pragma once
// The inventory report as text tables, CSV rows and JSON. Its bill of
// materials is in CycloneDxWriter.h.

#include <ostream>

#include "vb6/Inventory.h"

namespace quibex::report {

void WriteInventoryText(const vb6::InventoryInput& input, const vb6::Inventory& inventory, std::ostream& out);
void WriteInventoryCsv(const vb6::InventoryInput& input, const vb6::Inventory& inventory, std::ostream& out);
void WriteInventoryJson(const vb6::InventoryInput& input, const vb6::Inventory& inventory, std::ostream& out);

}  // namespace quibex::report
