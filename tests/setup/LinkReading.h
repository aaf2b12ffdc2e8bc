#pragma once
// A link file read back through the shell's link object, as the Start menu
// reads it, for the tests of the links set-up writes.

#include <string>

namespace quibex::test {

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
