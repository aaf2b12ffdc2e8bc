#pragma once
// What set-up leaves on disk, read back for its Windows tests: files,
// folder listings, and links through the shell's link object, as the Start
// menu reads them.

#include <set>
#include <string>

namespace quibex::test {

bool IsFile(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// The names in `folder`, without "." and "..".
std::set<std::wstring> Listing(const std::wstring& folder);

struct LinkProperties {
    std::string target, workingFolder, arguments, iconFile, description;
    int iconIndex = -1;
    int showCommand = -1;
};

// Loads `linkFile`; the calling thread must have the component object library.
// A step that fails is a failure of the running test, and what it would have
// read keeps its value above.
LinkProperties ReadLink(const std::wstring& linkFile);

}  // namespace quibex::test
