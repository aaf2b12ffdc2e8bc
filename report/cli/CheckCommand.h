#pragma once
// quibex-report check FILE: its command line, read from strings.

#include <optional>
#include <string>
#include <vector>

#include "report/cli/OptionParser.h"

namespace quibex::report {

// check's options as given; the settings file fills in what is not given.
struct CheckOptions : CommonOptions {
    std::string file;
    std::string git;         // --git REV; empty: the files on disk
    std::string configFile;  // --config FILE; empty: .quibex.toml beside the project
    bool noConfig = false;
    std::optional<std::string> format, baseline;
    std::optional<std::vector<std::string>> select, ignore, failOn;
};

Parsed<CheckOptions> ParseCheckArguments(const std::vector<std::string>& args);

}  // namespace quibex::report
