#include "engine/FileSystem_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace quibex {

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

class FdSource : public ByteSource {
public:
    FdSource(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~FdSource() override { ::close(fd_); }
    FdSource(const FdSource&) = delete;
    FdSource& operator=(const FdSource&) = delete;

    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno == EINTR) continue;
            throw FileError("cannot read " + Quoted(path_) + ": " + std::strerror(errno));
        }
    }

private:
    int fd_;
    std::string path_;
};

}  // namespace

namespace {

std::string WithSlashes(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

bool NotFound(int err) { return err == ENOENT || err == ENOTDIR; }

}  // namespace

PosixFileSystem::PosixFileSystem(const CodePage* textCodePage) {
    if (textCodePage) codePage_ = *textCodePage;
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr && errno == ERANGE) buf.resize(buf.size() * 2);
    cwd_ = buf.data();
}

std::string PosixFileSystem::Absolute(const std::string& folder) const {
    if (!folder.empty() && folder[0] == '/') return folder;
    if (folder.empty() || folder == ".") return cwd_;
    return cwd_ + "/" + folder;
}

std::string PosixFileSystem::FindIgnoringCase(const std::string& folder, const std::string& name) {
    std::string key = Absolute(folder);
    auto it = listings_.find(key);
    if (it == listings_.end()) {
        std::unordered_map<std::string, std::string> entries;
        if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                // The first of several names that differ only in case wins,
                // in whatever order the folder lists them.
                entries.emplace(AsciiLower(entry->d_name), entry->d_name);
            }
            ::closedir(dir);
        }
        it = listings_.emplace(std::move(key), std::move(entries)).first;
    }
    auto found = it->second.find(AsciiLower(name));
    return found == it->second.end() ? std::string() : found->second;
}

std::string PosixFileSystem::Resolve(const std::string& path) {
    std::string written = path;
    std::replace(written.begin(), written.end(), '\\', '/');
    struct stat st;
    if (written.empty() || ::stat(written.c_str(), &st) == 0) return written;
    return ResolveMissing(written);
}

std::string PosixFileSystem::ResolveMissing(const std::string& written) {
    struct stat st;
    // Walk up to the nearest folder that exists as written (usually the
    // file's own), then down again, matching each missing component in its
    // folder's listing. Iterative: a hostile path may have thousands of parts.
    std::vector<std::string> missing;  // nearest to the file first
    std::string head = written;
    for (;;) {
        while (head.size() > 1 && head.back() == '/') head.pop_back();
        if (head.empty() || head == "/") break;
        std::size_t slash = head.rfind('/');
        missing.push_back(head.substr(slash == std::string::npos ? 0 : slash + 1));
        head = slash == std::string::npos ? std::string() : head.substr(0, slash == 0 ? 1 : slash);
        // A folder already listed exists; no need to ask the disk again.
        if (head.empty() || listings_.count(Absolute(head)) || ::stat(head.c_str(), &st) == 0) break;
    }
    std::string resolved = head;
    bool matching = true;  // once a component is not found, the rest stays as written
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        std::string name = *it;
        if (matching && name != "." && name != "..") {
            std::string actual = FindIgnoringCase(resolved.empty() ? "." : resolved, name);
            if (actual.empty()) {
                matching = false;
            } else {
                name = std::move(actual);
            }
        }
        resolved = resolved.empty() ? name : resolved.back() == '/' ? resolved + name : resolved + "/" + name;
    }
    return resolved;
}


std::unique_ptr<ByteSource> PosixFileSystem::OpenForReading(const std::string& path) {
    // Names as written are tried first; the case-insensitive lookup costs
    // folder listings and is only needed when they miss. O_NONBLOCK: opening
    // a FIFO must not wait for a writer (it is refused below); reads from a
    // regular file ignore it.
    int fd = ::open(WithSlashes(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && NotFound(errno)) fd = ::open(ResolveMissing(WithSlashes(path)).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw FileError("cannot open " + Quoted(path) + ": " + std::strerror(errno));
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        throw FileError("cannot open " + Quoted(path) + ": " + std::strerror(err));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError("cannot open " + Quoted(path) + ": " +
                        (S_ISDIR(st.st_mode) ? "it is a folder" : "not a regular file"));
    }
    return std::make_unique<FdSource>(fd, path);
}

std::optional<Figure> PosixFileSystem::RegularFileSize(const std::string& path) {
    struct stat st;
    int rc = ::stat(WithSlashes(path).c_str(), &st);
    if (rc != 0 && NotFound(errno)) rc = ::stat(ResolveMissing(WithSlashes(path)).c_str(), &st);
    if (rc != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<Figure>(st.st_size);
}

std::string PosixFileSystem::FullPath(const std::string& path) {
    std::string resolved = Resolve(path);
    if (resolved.empty() || resolved[0] != '/') resolved = cwd_ + "/" + resolved;
    return std::filesystem::path(resolved).lexically_normal().string();
}

bool PosixFileSystem::ChangeDirectory(const std::string& folder) {
    std::string native = Resolve(folder);
    if (::chdir(native.c_str()) != 0) return false;
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr && errno == ERANGE) buf.resize(buf.size() * 2);
    cwd_ = buf.data();
    return true;
}

std::unique_ptr<IFileSystem> MakePlatformFileSystem(const CodePage* textCodePage) {
    return std::make_unique<PosixFileSystem>(textCodePage);
}

}  // namespace quibex
