#include "report/model/PathRoot.h"

#include <filesystem>
#include <vector>

#include "engine/CodePage.h"
#include "report/platform/Platform.h"

namespace quibex::report {

namespace {

// The names of an absolute path, "." dropped and ".." folded.
std::vector<std::string> Parts(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    auto end = [&] {
        if (part == "..") {
            const bool drive = parts.size() == 1 && parts[0].size() == 2 && parts[0][1] == ':';
            if (!parts.empty() && !drive) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (char c : path) {
        if (c == '/' || c == '\\') {
            end();
        } else {
            part += c;
        }
    }
    end();
    return parts;
}

// `full` from `root`, or nothing when the two share no first part.
std::optional<std::string> Relative(const std::string& root, const std::string& full, char separator) {
    const std::vector<std::string> r = Parts(root), f = Parts(full);
    // A POSIX path starts at "/", a Windows one at its drive or server.
    if (r.empty() || f.empty() || !EqualsIgnoringCase(r[0], f[0]) || (root[0] == '/') != (full[0] == '/')) {
        return std::nullopt;
    }
    std::size_t same = 0;
    while (same < r.size() && same < f.size() && EqualsIgnoringCase(r[same], f[same])) ++same;
    std::string out;
    for (std::size_t i = same; i < r.size(); ++i) out += std::string("..") + separator;
    for (std::size_t i = same; i < f.size(); ++i) out += f[i] + (i + 1 < f.size() ? std::string(1, separator) : "");
    if (!out.empty() && out.back() == separator) out.pop_back();
    return out;
}

}  // namespace

PathRoot::PathRoot(std::string folder, std::string physical) : folder_(std::move(folder)), physical_(std::move(physical)) {
    if (physical_ == folder_) physical_.clear();
}

std::string PathRoot::Shown(const std::string& full) const {
    if (folder_.empty() || full.empty()) return full;
    const std::size_t firstSeparator = full.find_first_of("/\\");
    const char separator = firstSeparator == std::string::npos ? '/' : full[firstSeparator];
    const std::optional<std::string> logical = Relative(folder_, full, separator);
    if (!physical_.empty()) {
        // The file system may name the file through the resolved folder: the
        // shorter way from the root is the one it took.
        const std::optional<std::string> resolved = Relative(physical_, full, separator);
        if (resolved && (!logical || resolved->size() < logical->size())) return *resolved;
    }
    return logical ? *logical : full;
}

PathRoot FindPathRoot(const std::string& absoluteFile, const std::string& given) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder;
    if (!given.empty()) {
        folder = fs::path(AbsolutePath(given)).lexically_normal();
    } else {
        folder = fs::path(absoluteFile).lexically_normal().parent_path();
        // The repository's top holds ".git": a folder, or a file in a worktree.
        for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
            if (fs::exists(at / ".git", ec)) {
                folder = at;
                break;
            }
            if (at == at.root_path()) break;
        }
    }
    std::string text = folder.string();
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\') && text[text.size() - 2] != ':') text.pop_back();
    const fs::path physical = fs::weakly_canonical(folder, ec);
    return PathRoot(text, ec ? std::string() : physical.string());
}

}  // namespace quibex::report
