#pragma once
// quibex-report diff OLD NEW: its command line, read from strings.

#include <string>
#include <vector>

#include "report/cli/OptionParser.h"

namespace quibex::report {

enum class DiffFormat { Text, Json, ClocJson };

struct DiffOptions : CommonOptions {
    DiffFormat format = DiffFormat::Text;
    std::string oldFile, newFile;  // the same file with one FILE and --git
    std::string oldGit, newGit;    // revisions; empty: the file on disk
};

Parsed<DiffOptions> ParseDiffArguments(const std::vector<std::string>& args);

}  // namespace quibex::report
