#pragma once
// The folder every path of a report starts at, so that findings, baselines,
// SARIF and per-file figures read the same from any folder and on any
// machine: the top of the git repository that holds the project, else the
// folder of the project or group file; --root names another.

#include <string>

namespace quibex::report {

class PathRoot {
public:
    PathRoot() = default;  // none: paths are shown as they are
    // `folder` absolute; `physical` the same with links resolved, when the
    // file system names files that way (POSIX names a folder it entered so).
    explicit PathRoot(std::string folder, std::string physical = {});

    const std::string& Folder() const { return folder_; }

    // `full` (absolute) from the root: "app/m.bas", "../shared/s.bas", with
    // the separator `full` uses. `full` itself when it has no start in
    // common with the root (another drive) or there is no root. Names are
    // compared in any letter case, as Windows compares them.
    std::string Shown(const std::string& full) const;

    // The same root with both texts passed through `convert` (into UTF-8).
    template <typename Convert>
    PathRoot Converted(const Convert& convert) const {
        return PathRoot(folder_.empty() ? folder_ : convert(folder_), physical_.empty() ? physical_ : convert(physical_));
    }

private:
    std::string folder_;
    std::string physical_;
};

// The root of a run over `absoluteFile` (as the platform names it):
// `given` (--root, made absolute) when there is one, else the top of the
// git repository holding the file, else its folder.
PathRoot FindPathRoot(const std::string& absoluteFile, const std::string& given);

}  // namespace quibex::report
