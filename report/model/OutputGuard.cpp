#include "report/model/OutputGuard.h"

namespace quibex::report {

OutputGuard::OutputGuard(const std::string& output) : output_(output) {
    if (!output.empty() && output != "-") identity_ = IdentityOf(output);
}

bool OutputGuard::Reads(const std::string& path) {
    if (!identity_) return false;
    const std::optional<FileIdentity> input = IdentityOf(path);
    if (!input || *input != *identity_) return false;
    if (clash_.empty()) clash_ = path;
    return true;
}

std::string OutputGuard::Message() const {
    return "-o '" + output_ + "' names a file this run reads ('" + clash_ + "'): choose another output file";
}

}  // namespace quibex::report
