#pragma once
// Where a command's report goes: standard output, or a file that is
// replaced only by a whole report.

#include <functional>
#include <ostream>

#include "report/cli/OptionParser.h"

namespace quibex::report {

// Writes a report to standard output or, for `output`, to that file through
// a file beside it that takes its name only when the report is whole. The
// exit code: 0, or 1 with the reason on `err` when it cannot be written.
int WriteOutput(const CommonOptions& options, const std::function<void(std::ostream&)>& write, std::ostream& out,
                std::ostream& err);

}  // namespace quibex::report
