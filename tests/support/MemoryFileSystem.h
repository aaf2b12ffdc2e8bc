#pragma once
// A file system held in memory, for fuzzing and for tests that need files
// the disk cannot hold (or should not). Paths are used as written: "\" and
// "/" both separate folders, and a relative path is joined to the current
// folder. Folders exist implicitly as prefixes of file paths.

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "engine/FileSystem.h"

namespace quibex::test {

class MemoryFileSystem : public IFileSystem {
public:
    // Adds or replaces a file. `path` is absolute ("\P\a.frm") or relative
    // to the root.
    void Add(const std::string& path, std::string content) { files_[Normal(path)] = std::move(content); }

    std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
        auto it = files_.find(Normal(path));
        if (it == files_.end()) throw FileError("cannot open '" + path + "': no such file");
        return std::make_unique<Source>(it->second);
    }
    std::optional<Figure> RegularFileSize(const std::string& path) override {
        auto it = files_.find(Normal(path));
        if (it == files_.end()) return std::nullopt;
        return static_cast<Figure>(it->second.size());
    }
    bool ChangeDirectory(const std::string& folder) override {
        std::string normal = Normal(folder);
        std::string prefix = normal == "/" ? normal : normal + "/";
        auto it = files_.lower_bound(prefix);
        if (it == files_.end() || it->first.compare(0, prefix.size(), prefix) != 0) return false;
        cwd_ = normal;
        return true;
    }
    const CodePage& TextCodePage() const override { return codePage_; }
    bool SlashSeparatesFolders() const override { return true; }
    std::string FullPath(const std::string& path) override { return Normal(path); }

    CodePage codePage_;
    std::string cwd_ = "/";

private:
    class Source : public ByteSource {
    public:
        explicit Source(const std::string& text) : text_(text) {}
        std::size_t Read(char* buffer, std::size_t size) override {
            std::size_t n = std::min(size, text_.size() - pos_);
            std::memcpy(buffer, text_.data() + pos_, n);
            pos_ += n;
            return n;
        }

    private:
        const std::string& text_;
        std::size_t pos_ = 0;
    };

    // An absolute path with "/" separators and "." and ".." folded.
    std::string Normal(const std::string& path) const {
        std::string p = path;
        std::replace(p.begin(), p.end(), '\\', '/');
        if (p.empty() || p[0] != '/') p = cwd_ + "/" + p;
        std::string out;
        std::size_t pos = 0;
        while (pos <= p.size()) {
            std::size_t next = p.find('/', pos);
            if (next == std::string::npos) next = p.size();
            std::string part = p.substr(pos, next - pos);
            pos = next + 1;
            if (part.empty() || part == ".") continue;
            if (part == "..") {
                out.erase(std::min(out.size(), out.rfind('/') == std::string::npos ? 0 : out.rfind('/')));
                continue;
            }
            out += "/" + part;
        }
        return out.empty() ? "/" : out;
    }

    std::map<std::string, std::string> files_;
};

}  // namespace quibex::test
