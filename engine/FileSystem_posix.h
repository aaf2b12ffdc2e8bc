#pragma once
// The file system on POSIX. Project files come from Windows: "\" separates
// folders and names match in any letter case. A path that does not exist as
// written is looked up one folder at a time, ignoring case.

#include <string>
#include <unordered_map>

#include "engine/FileSystem.h"

namespace quibex {

class PosixFileSystem : public IFileSystem {
public:
    // `textCodePage`: the code page of names and texts; single-byte when null.
    explicit PosixFileSystem(const CodePage* textCodePage = nullptr);

    std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
    std::optional<Figure> RegularFileSize(const std::string& path) override;
    bool ChangeDirectory(const std::string& folder) override;
    const CodePage& TextCodePage() const override { return codePage_; }
    bool SlashSeparatesFolders() const override { return true; }
    std::string FullPath(const std::string& path) override;

    // The path as it names a file on this disk: "\" turned into "/", and
    // each component that does not exist as written replaced by an entry
    // of its folder that matches it in any letter case.
    std::string Resolve(const std::string& path);

private:
    // Resolve() for a path with "/" separators known not to exist as written.
    std::string ResolveMissing(const std::string& written);
    // The entry of `folder` whose name equals `name` in any letter case, or
    // empty. Folder listings are cached by absolute folder path.
    std::string FindIgnoringCase(const std::string& folder, const std::string& name);
    std::string Absolute(const std::string& folder) const;

    CodePage codePage_;
    std::string cwd_;
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> listings_;
};

}  // namespace quibex
