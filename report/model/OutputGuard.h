#pragma once
// The file -o names, watched against every file a run reads: a report must
// never take the place of its own project, a member, a baseline or the
// settings it was made from. Files are compared by identity, not by name,
// so a link or another letter case (on Windows) is caught too.

#include <optional>
#include <string>

#include "report/platform/Platform.h"

namespace quibex::report {

class OutputGuard {
public:
    // `output` as -o gave it; empty or "-" for standard output. A file that
    // is not there yet can be none of the inputs, and is not watched.
    explicit OutputGuard(const std::string& output);

    // Notes that the run reads `path` (named as the platform takes it,
    // relative to the current directory); true when that is the output.
    // The first such input is kept for the message.
    bool Reads(const std::string& path);

    bool Clashed() const { return !clash_.empty(); }
    // One line: what -o names and the input it is.
    std::string Message() const;

private:
    std::string output_;
    std::optional<FileIdentity> identity_;
    std::string clash_;
};

}  // namespace quibex::report
