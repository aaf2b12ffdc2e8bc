#include "engine/Paths.h"

#include "engine/CodePage.h"

namespace quibex {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasExtension(std::string_view file, std::string_view extension) {
    return file.size() >= extension.size() &&
           EqualsIgnoringCase(file.substr(file.size() - extension.size()), extension);
}

}  // namespace

std::string FolderOf(std::string_view path) {
    const std::size_t sep = path.find_last_of("/\\");
    if (sep == std::string_view::npos) return std::string();
    return std::string(path.substr(0, sep == 0 ? 1 : sep));
}

std::string FileNameOf(std::string_view path) {
    const std::size_t sep = path.find_last_of("/\\");
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

bool IsGroupFile(std::string_view file) { return HasExtension(file, ".vbg"); }

bool HasProjectExtension(std::string_view file) { return HasExtension(file, ".vbp") || IsGroupFile(file); }

std::string PathBelow(std::string_view path, std::string_view folder) {
    if (folder.empty()) return std::string(path);
    // "C:\" and "/" end in the separator that the other folders leave off.
    const std::string_view base = IsSeparator(folder.back()) ? folder.substr(0, folder.size() - 1) : folder;
    if (path.size() <= base.size() + 1 || !EqualsIgnoringCase(path.substr(0, base.size()), base) ||
        !IsSeparator(path[base.size()])) {
        return std::string(path);
    }
    return std::string(path.substr(base.size() + 1));
}

}  // namespace quibex
