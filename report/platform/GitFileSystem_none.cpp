// Builds without libgit2 (the Windows cross builds): --git says so.

#include "report/platform/GitFileSystem.h"

namespace quibex::report {

std::unique_ptr<IFileSystem> MakeGitFileSystem(const std::string&, const std::string&, const CodePage*) {
    throw FileError("--git is not available in this build of quibex-report (it has no libgit2)");
}

bool GitAvailable() { return false; }

}  // namespace quibex::report
