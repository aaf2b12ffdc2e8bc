#pragma once
// Files as they are in one revision of a git repository, read from its
// object store without a checkout: "quibex-report diff --git main --git HEAD
// App.vbp" compares two revisions in a CI job whose working tree holds a
// third.

#include <memory>
#include <string>

#include "engine/FileSystem.h"

namespace quibex::report {

// The tree of `revision` ("HEAD", "main", "v1.2~3", a commit id) in the
// repository that holds `file` (an absolute path inside its working tree).
// Paths name files as they would be in the working tree, so that reports
// show the same paths as for the checkout; names match in any letter case,
// as on Windows. Throws FileError when the repository or the revision
// cannot be read, or where this build has no git support.
std::unique_ptr<IFileSystem> MakeGitFileSystem(const std::string& file, const std::string& revision,
                                               const CodePage* textCodePage = nullptr);

// Whether this build reads git revisions.
bool GitAvailable();

}  // namespace quibex::report
