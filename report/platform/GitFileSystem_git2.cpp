// Reading a git revision through libgit2: blobs and trees looked up from the
// revision's root tree, never a file of the working tree.
//
// libgit2 and the score of libraries it needs are loaded when a revision is
// first read, not at every start: most runs read no revision, and loading
// them would cost every report the time of their relocations.

#include <dlfcn.h>
#include <git2.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "report/platform/GitFileSystem.h"

namespace quibex::report {

namespace {

// The libgit2 functions this file calls, looked up by name.
#define QUIBEX_GIT_FUNCTIONS(X) \
    X(git_blob_free) X(git_blob_lookup) X(git_blob_rawcontent) X(git_blob_rawsize) X(git_error_last) \
    X(git_libgit2_init) X(git_object_free) X(git_object_peel) X(git_repository_free) \
    X(git_repository_open_ext) X(git_repository_workdir) X(git_revparse_single) \
    X(git_tree_entry_byindex) X(git_tree_entry_byname) X(git_tree_entry_id) X(git_tree_entry_name) \
    X(git_tree_entry_type) X(git_tree_entrycount) X(git_tree_free) X(git_tree_id) X(git_tree_lookup)

struct GitApi {
#define QUIBEX_GIT_POINTER(name) decltype(&::name) name = nullptr;
    QUIBEX_GIT_FUNCTIONS(QUIBEX_GIT_POINTER)
#undef QUIBEX_GIT_POINTER
    std::string error;  // why the library could not be loaded; empty once it is
};

GitApi LoadGit() {
    GitApi api;
    void* library = dlopen(QUIBEX_LIBGIT2_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library) library = dlopen("libgit2.so", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        api.error = std::string("cannot load libgit2 (" QUIBEX_LIBGIT2_SONAME "): ") + (why ? why : "not found");
        return api;
    }
#define QUIBEX_GIT_LOOKUP(name)                                                        \
    api.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name));             \
    if (!api.name) {                                                                   \
        api.error = "cannot use libgit2: it has no " #name;                            \
        return api;                                                                    \
    }
    QUIBEX_GIT_FUNCTIONS(QUIBEX_GIT_LOOKUP)
#undef QUIBEX_GIT_LOOKUP
    // Set up once for the process and left so until it ends; the library
    // stays loaded as long.
    api.git_libgit2_init();
    return api;
}

// The loaded library; throws FileError when it cannot be loaded.
const GitApi& Git() {
    static const GitApi api = LoadGit();
    if (!api.error.empty()) throw FileError(api.error);
    return api;
}

std::string LastGitError() {
    const git_error* e = Git().git_error_last();
    return e && e->message ? e->message : "unknown error";
}

struct TreeFree {
    void operator()(git_tree* t) const { Git().git_tree_free(t); }
};
struct RepositoryFree {
    void operator()(git_repository* r) const { Git().git_repository_free(r); }
};
using TreePtr = std::unique_ptr<git_tree, TreeFree>;
using RepositoryPtr = std::unique_ptr<git_repository, RepositoryFree>;

class BlobSource : public ByteSource {
public:
    explicit BlobSource(git_blob* blob) : blob_(blob) {}
    ~BlobSource() override { Git().git_blob_free(blob_); }
    BlobSource(const BlobSource&) = delete;
    BlobSource& operator=(const BlobSource&) = delete;

    std::size_t Read(char* buffer, std::size_t size) override {
        const auto total = static_cast<std::size_t>(Git().git_blob_rawsize(blob_));
        const std::size_t n = std::min(size, total - pos_);
        std::memcpy(buffer, static_cast<const char*>(Git().git_blob_rawcontent(blob_)) + pos_, n);
        pos_ += n;
        return n;
    }

private:
    git_blob* blob_;
    std::size_t pos_ = 0;
};

class GitFileSystem : public IFileSystem {
public:
    GitFileSystem(const std::string& file, const std::string& revision, const CodePage* textCodePage)
        : revision_(revision) {
        if (textCodePage) codePage_ = *textCodePage;
        Git();  // throws here when libgit2 cannot be loaded
        const std::size_t slash = file.find_last_of('/');
        const std::string folder = slash == std::string::npos || slash == 0 ? "/" : file.substr(0, slash);
        git_repository* repository = nullptr;
        if (Git().git_repository_open_ext(&repository, folder.c_str(), 0, nullptr) != 0) {
            throw FileError("cannot read '" + folder + "' as a git repository: " + LastGitError());
        }
        repository_.reset(repository);
        const char* workdir = Git().git_repository_workdir(repository);
        if (!workdir) throw FileError("cannot read '" + folder + "': the git repository has no working tree");
        workdir_ = workdir;
        while (workdir_.size() > 1 && workdir_.back() == '/') workdir_.pop_back();
        // libgit2 names the working tree with links resolved; paths are
        // matched as the user names them, through the same links.
        std::error_code ec;
        const std::filesystem::path realFolder = std::filesystem::canonical(folder, ec);
        if (!ec) {
            const std::filesystem::path up = std::filesystem::path(workdir_).lexically_relative(realFolder);
            if (!up.empty()) {
                std::string named = (std::filesystem::path(folder) / up).lexically_normal().string();
                while (named.size() > 1 && named.back() == '/') named.pop_back();
                workdir_ = named;
            }
        }
        git_object* object = nullptr;
        if (Git().git_revparse_single(&object, repository, revision.c_str()) != 0) {
            throw FileError("unknown git revision '" + revision + "': " + LastGitError());
        }
        git_object* tree = nullptr;
        const int peeled = Git().git_object_peel(&tree, object, GIT_OBJECT_TREE);
        Git().git_object_free(object);
        if (peeled != 0) throw FileError("git revision '" + revision + "' has no tree: " + LastGitError());
        root_.reset(reinterpret_cast<git_tree*>(tree));
        cwd_ = workdir_;
    }

    std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
        const std::optional<Entry> found = Find(path);
        if (!found || found->type != GIT_OBJECT_BLOB) {
            throw FileError("cannot open '" + path + "': no such file in git revision " + revision_);
        }
        git_blob* blob = nullptr;
        if (Git().git_blob_lookup(&blob, repository_.get(), &found->id) != 0) {
            throw FileError("cannot read '" + path + "': " + LastGitError());
        }
        return std::make_unique<BlobSource>(blob);
    }

    std::optional<Figure> RegularFileSize(const std::string& path) override {
        const std::optional<Entry> found = Find(path);
        if (!found || found->type != GIT_OBJECT_BLOB) return std::nullopt;
        git_blob* blob = nullptr;
        if (Git().git_blob_lookup(&blob, repository_.get(), &found->id) != 0) return std::nullopt;
        const auto size = static_cast<Figure>(Git().git_blob_rawsize(blob));
        Git().git_blob_free(blob);
        return size;
    }

    bool ChangeDirectory(const std::string& folder) override {
        const std::optional<Entry> found = Find(folder);
        if (!found || found->type != GIT_OBJECT_TREE) return false;
        cwd_ = workdir_ + found->path;
        return true;
    }

    const CodePage& TextCodePage() const override { return codePage_; }
    bool SlashSeparatesFolders() const override { return true; }

    std::string FullPath(const std::string& path) override {
        const std::optional<Entry> found = Find(path);
        return found ? workdir_ + found->path : Normal(path);
    }

private:
    struct Entry {
        std::string path;  // below the working tree, "/a/b" in the tree's letter case; "" for the root
        git_oid id;
        git_object_t type;
    };

    // `path` absolute, with "/" between folders and "." and ".." folded.
    std::string Normal(const std::string& path) const {
        std::string p;
        p.reserve(path.size());
        for (std::size_t i = 0; i < path.size(); ++i) {
            const auto c = static_cast<unsigned char>(path[i]);
            if (codePage_.doubleByte && codePage_.IsLeadByte(c) && i + 1 < path.size()) {
                p += path[i];
                p += path[++i];  // a trail byte may look like "\" but is not one
                continue;
            }
            p += c == '\\' ? '/' : path[i];
        }
        if (p.empty() || p[0] != '/') p = cwd_ + "/" + p;
        std::vector<std::string> parts;
        std::size_t pos = 0;
        while (pos <= p.size()) {
            std::size_t next = p.find('/', pos);
            if (next == std::string::npos) next = p.size();
            std::string part = p.substr(pos, next - pos);
            pos = next + 1;
            if (part.empty() || part == ".") continue;
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
                continue;
            }
            parts.push_back(std::move(part));
        }
        std::string out;
        for (const std::string& part : parts) out += "/" + part;
        return out.empty() ? "/" : out;
    }

    // The entry that `path` names in the revision, each name matched as
    // written or else in any letter case.
    std::optional<Entry> Find(const std::string& path) const {
        const std::string full = Normal(path);
        if (full == workdir_) return Entry{"", *Git().git_tree_id(root_.get()), GIT_OBJECT_TREE};
        if (full.size() <= workdir_.size() || full.compare(0, workdir_.size(), workdir_) != 0 ||
            (workdir_ != "/" && full[workdir_.size()] != '/')) {
            return std::nullopt;
        }
        const std::string below = full.substr(workdir_ == "/" ? 1 : workdir_.size() + 1);
        std::vector<TreePtr> held;  // the subtrees walked through
        const git_tree* tree = root_.get();
        Entry entry{"", {}, GIT_OBJECT_TREE};
        std::size_t pos = 0;
        while (true) {
            std::size_t next = below.find('/', pos);
            const bool last = next == std::string::npos;
            const std::string name = below.substr(pos, last ? std::string::npos : next - pos);
            const git_tree_entry* e = Git().git_tree_entry_byname(tree, name.c_str());
            for (std::size_t i = 0, n = Git().git_tree_entrycount(tree); !e && i < n; ++i) {
                const git_tree_entry* candidate = Git().git_tree_entry_byindex(tree, i);
                if (EqualsIgnoringCase(Git().git_tree_entry_name(candidate), name)) e = candidate;
            }
            if (!e) return std::nullopt;
            entry.path += "/";
            entry.path += Git().git_tree_entry_name(e);
            entry.id = *Git().git_tree_entry_id(e);
            entry.type = Git().git_tree_entry_type(e);
            if (last) return entry;
            if (entry.type != GIT_OBJECT_TREE) return std::nullopt;
            git_tree* sub = nullptr;
            if (Git().git_tree_lookup(&sub, repository_.get(), &entry.id) != 0) return std::nullopt;
            held.emplace_back(sub);
            tree = sub;
            pos = next + 1;
        }
    }

    std::string revision_;
    CodePage codePage_;
    RepositoryPtr repository_;
    TreePtr root_;
    std::string workdir_;  // without a trailing "/"
    std::string cwd_;
};

}  // namespace

std::unique_ptr<IFileSystem> MakeGitFileSystem(const std::string& file, const std::string& revision,
                                               const CodePage* textCodePage) {
    return std::make_unique<GitFileSystem>(file, revision, textCodePage);
}

bool GitAvailable() { return true; }

}  // namespace quibex::report
