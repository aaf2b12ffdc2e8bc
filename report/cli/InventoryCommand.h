#pragma once
// quibex-report inventory FILE: its command line, read from strings.

#include <string>
#include <vector>

#include "report/cli/OptionParser.h"

namespace quibex::report {

enum class InventoryFormat { Text, Csv, Json, CycloneDx };

struct InventoryOptions : CommonOptions {
    InventoryFormat format = InventoryFormat::Text;
    bool orphans = false;
    std::string file;
};

Parsed<InventoryOptions> ParseInventoryArguments(const std::vector<std::string>& args);

}  // namespace quibex::report
