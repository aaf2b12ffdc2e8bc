// Reading a git revision through libgit2: blobs and trees looked up from the
// revision's root tree, never a file of the working tree. Each file comes
// as a checkout on Windows gives it: libgit2 applies the revision's own
// .gitattributes (text, eol, -text, binary), with a configuration of ours
// that says what Git for Windows says, so a `text` file gets CR LF.
//
// libgit2 and the score of libraries it needs are loaded when a revision is
// first read, not at every start: most runs read no revision, and loading
// them would cost every report the time of their relocations.

#include <dlfcn.h>
#include <git2.h>
#include <git2/sys/config.h>
#include <git2/sys/repository.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "report/platform/GitFileSystem.h"

namespace quibex::report {

namespace {

// The libgit2 functions this file calls, looked up by name.
#define QUIBEX_GIT_FUNCTIONS(X) \
    X(git_blob_filter) X(git_blob_free) X(git_blob_lookup) X(git_buf_dispose) X(git_config_add_backend) \
    X(git_config_free) X(git_config_new) X(git_error_last) \
    X(git_libgit2_init) X(git_object_free) X(git_object_id) X(git_object_peel) X(git_repository_free) \
    X(git_repository_open_ext) X(git_repository_set_config) X(git_repository_workdir) X(git_revparse_single) \
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

struct BlobFree {
    void operator()(git_blob* b) const { Git().git_blob_free(b); }
};
struct ConfigFree {
    void operator()(git_config* c) const { Git().git_config_free(c); }
};
using BlobPtr = std::unique_ptr<git_blob, BlobFree>;
using ConfigPtr = std::unique_ptr<git_config, ConfigFree>;

// A buffer libgit2 filled, given back to it at the end.
class Buffer {
public:
    Buffer() = default;
    ~Buffer() { Git().git_buf_dispose(&buf_); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    git_buf* Get() { return &buf_; }
    const char* Data() const { return buf_.ptr; }
    std::size_t Size() const { return buf_.size; }

private:
    git_buf buf_{};
};

// A file's bytes as the checkout gives them.
class FilteredSource : public ByteSource {
public:
    explicit FilteredSource(std::unique_ptr<Buffer> content) : content_(std::move(content)) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, content_->Size() - pos_);
        if (n > 0) std::memcpy(buffer, content_->Data() + pos_, n);
        pos_ += n;
        return n;
    }

private:
    std::unique_ptr<Buffer> content_;
    std::size_t pos_ = 0;
};

// The configuration a checkout on Windows reads: core.autocrlf false, as
// Git for Windows leaves it for a repository that says what it wants in
// .gitattributes, and core.eol crlf, the line end of that system, for
// `text` files that name none. Held in memory and read only; the user's
// own configuration does not change what a revision holds.
namespace windows_checkout {

constexpr std::pair<const char*, const char*> kValues[] = {{"core.autocrlf", "false"}, {"core.eol", "crlf"}};

// An entry for libgit2, which frees it through its `free`; the texts are ours.
git_config_entry* NewEntry(const char* name, const char* value) {
    auto* entry = new git_config_entry{};
    entry->name = name;
    entry->value = value;
    entry->level = GIT_CONFIG_LEVEL_APP;
    entry->free = [](git_config_entry* e) { delete e; };
    return entry;
}

int Get(git_config_backend*, const char* key, git_config_entry** out) {
    for (const auto& [name, value] : kValues) {
        if (std::strcmp(key, name) == 0) {
            *out = NewEntry(name, value);
            return 0;
        }
    }
    return GIT_ENOTFOUND;
}

// The entries one by one; each belongs to the iterator until the next.
struct Iterator {
    git_config_iterator base{};  // first: libgit2 hands this pointer back
    std::size_t next = 0;
    git_config_entry* current = nullptr;

    void Drop() {
        if (current) current->free(current);
        current = nullptr;
    }
};

int Iterate(git_config_iterator** out, git_config_backend* backend) {
    auto* it = new Iterator();
    it->base.backend = backend;
    it->base.next = [](git_config_entry** entry, git_config_iterator* base) {
        auto* self = reinterpret_cast<Iterator*>(base);
        self->Drop();
        if (self->next == std::size(kValues)) return static_cast<int>(GIT_ITEROVER);
        const auto& [name, value] = kValues[self->next++];
        *entry = self->current = NewEntry(name, value);
        return 0;
    };
    it->base.free = [](git_config_iterator* base) {
        auto* self = reinterpret_cast<Iterator*>(base);
        self->Drop();
        delete self;
    };
    *out = &it->base;
    return 0;
}

// A new backend; libgit2 owns it once added and frees it through `free`.
git_config_backend* Make() {
    auto* backend = new git_config_backend{};
    backend->version = GIT_CONFIG_BACKEND_VERSION;
    backend->readonly = 1;
    backend->open = [](git_config_backend*, git_config_level_t, const git_repository*) { return 0; };
    backend->get = &Get;
    backend->set = [](git_config_backend*, const char*, const char*) { return -1; };
    backend->set_multivar = [](git_config_backend*, const char*, const char*, const char*) { return -1; };
    backend->del = [](git_config_backend*, const char*) { return -1; };
    backend->del_multivar = [](git_config_backend*, const char*, const char*) { return -1; };
    backend->iterator = &Iterate;
    backend->snapshot = [](git_config_backend** out, git_config_backend*) {
        *out = Make();
        return 0;
    };
    backend->lock = [](git_config_backend*) { return 0; };
    backend->unlock = [](git_config_backend*, int) { return 0; };
    backend->free = [](git_config_backend* b) { delete b; };
    return backend;
}

}  // namespace windows_checkout

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
        git_config* config = nullptr;
        if (Git().git_config_new(&config) != 0) throw FileError("cannot set up git's settings: " + LastGitError());
        const ConfigPtr owned(config);
        if (Git().git_config_add_backend(config, windows_checkout::Make(), GIT_CONFIG_LEVEL_APP, repository, 0) != 0 ||
            Git().git_repository_set_config(repository, config) != 0) {
            throw FileError("cannot set up git's settings: " + LastGitError());
        }
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
        // The attributes come from the revision's commit; a bare tree has none of its own.
        git_object* commit = nullptr;
        if (Git().git_object_peel(&commit, object, GIT_OBJECT_COMMIT) == 0) {
            commitId_ = *Git().git_object_id(commit);
            Git().git_object_free(commit);
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
        std::unique_ptr<Buffer> content = Checkout(*found);
        if (!content) throw FileError("cannot read '" + path + "': " + LastGitError());
        sizes_[found->path] = static_cast<Figure>(content->Size());
        return std::make_unique<FilteredSource>(std::move(content));
    }

    std::optional<Figure> RegularFileSize(const std::string& path) override {
        const std::optional<Entry> found = Find(path);
        if (!found || found->type != GIT_OBJECT_BLOB) return std::nullopt;
        if (const auto known = sizes_.find(found->path); known != sizes_.end()) return known->second;
        const std::unique_ptr<Buffer> content = Checkout(*found);
        if (!content) return std::nullopt;
        return sizes_[found->path] = static_cast<Figure>(content->Size());
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

    // The blob of `entry` as a checkout gives it; null when it cannot be read.
    std::unique_ptr<Buffer> Checkout(const Entry& entry) const {
        git_blob* raw = nullptr;
        if (Git().git_blob_lookup(&raw, repository_.get(), &entry.id) != 0) return nullptr;
        const BlobPtr blob(raw);
        git_blob_filter_options options{};
        options.version = GIT_BLOB_FILTER_OPTIONS_VERSION;
        // Not CHECK_FOR_BINARY: git converts a `text` file whatever it holds,
        // and `text=auto` looks at the content itself.
        options.flags = GIT_BLOB_FILTER_NO_SYSTEM_ATTRIBUTES;
        if (commitId_) {
            options.flags |= GIT_BLOB_FILTER_ATTRIBUTES_FROM_COMMIT;
            options.attr_commit_id = *commitId_;
        }
        auto content = std::make_unique<Buffer>();
        // libgit2 names the file from the repository's top, without the leading "/".
        if (Git().git_blob_filter(content->Get(), blob.get(), entry.path.c_str() + 1, &options) != 0) return nullptr;
        return content;
    }

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
    std::optional<git_oid> commitId_;
    std::map<std::string, Figure> sizes_;  // by path below the working tree, as checked out
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
