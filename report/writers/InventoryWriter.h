#pragma once
// The inventory report in its four forms: text tables, CSV rows, JSON and
// a CycloneDX 1.6 (or 1.5) software bill of materials.

#include <ostream>
#include <string>

#include "vb6/Inventory.h"

namespace quibex::report {

// What a bill of materials carries about its own making.
struct BomStamp {
    std::string serialNumber;  // "urn:uuid:..."
    std::string timestamp;     // "2026-12-07T23:59:00Z"
    std::string specVersion = "1.6";  // of CycloneDX: "1.6", or "1.5" for older readers
};

void WriteInventoryText(const vb6::InventoryInput& input, const vb6::Inventory& inventory, std::ostream& out);
void WriteInventoryCsv(const vb6::InventoryInput& input, const vb6::Inventory& inventory, std::ostream& out);
void WriteInventoryJson(const vb6::InventoryInput& input, const vb6::Inventory& inventory, std::ostream& out);
void WriteInventoryCycloneDx(const vb6::InventoryInput& input, const vb6::Inventory& inventory, const BomStamp& stamp,
                             std::ostream& out);

// A fresh random serial number and the current time in UTC.
BomStamp NewBomStamp();

}  // namespace quibex::report
