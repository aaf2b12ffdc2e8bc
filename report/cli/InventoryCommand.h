#pragma once
// quibex-report inventory: the references, components, declares, shared,
// identical and orphaned files of a project or group.

#include <ostream>
#include <string>
#include <vector>

namespace quibex::report {

int RunInventory(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal);

}  // namespace quibex::report
