#pragma once
// The inventory as a CycloneDX 1.5 software bill of materials: the
// projects, the type libraries and ActiveX components they use, the
// projects they reference, and what depends on what.

#include <ostream>
#include <string>

#include "vb6/Inventory.h"

namespace quibex::report {

// What a bill of materials carries about its own making.
struct BomStamp {
    std::string serialNumber;  // "urn:uuid:..."
    std::string timestamp;     // "2026-12-07T23:59:00Z"
};

// A fresh random serial number and the current time in UTC.
BomStamp NewBomStamp();

void WriteInventoryCycloneDx(const vb6::InventoryInput& input, const vb6::Inventory& inventory, const BomStamp& stamp,
                             std::ostream& out);

}  // namespace quibex::report
