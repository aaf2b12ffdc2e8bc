#include "vb6/Inventory.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "engine/CodePage.h"
#include "engine/Paths.h"

namespace quibex::vb6 {

namespace {

// Referenced images are read whole for their version; OCX and DLL files of
// VB6 projects are a few megabytes.
constexpr std::size_t kMaxImage = 64u << 20;

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c & ~0x20);
    }
    return out;
}

// Paths of one file differ only in letter case on Windows; on POSIX the
// file system has already given each file the case found on disk.
std::string FileKey(const std::string& fullPath) { return AsciiLower(fullPath); }

template <typename T>
void AddOnce(std::vector<T>& list, const T& value) {
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

// "MSComctlLib" of "MSComctlLib.ListView"; empty for a class without a library.
std::string_view ClassLibrary(std::string_view className) {
    const std::size_t dot = className.find('.');
    return dot == std::string_view::npos ? std::string_view() : className.substr(0, dot);
}

// The library names that the controls of Microsoft's own component files
// begin with: they settle the cases a project's forms leave open.
std::string_view KnownLibrary(std::string_view fileName) {
    static const std::pair<std::string_view, std::string_view> kKnown[] = {
        {"mscomctl.ocx", "MSComctlLib"},   {"mscomct2.ocx", "MSComCtl2"},
        {"comctl32.ocx", "ComctlLib"},     {"comct232.ocx", "ComCtl2"},
        {"comct332.ocx", "ComCtl3"},       {"comdlg32.ocx", "MSComDlg"},
        {"richtx32.ocx", "RichTextLib"},   {"tabctl32.ocx", "TabDlg"},
        {"msflxgrd.ocx", "MSFlexGridLib"}, {"mshflxgd.ocx", "MSHierarchicalFlexGridLib"},
        {"mswinsck.ocx", "MSWinsockLib"},  {"msinet.ocx", "InetCtlsObjects"},
        {"msmask32.ocx", "MSMask"},        {"mscomm32.ocx", "MSCommLib"},
        {"msdatgrd.ocx", "MSDataGridLib"}, {"msadodc.ocx", "MSAdodcLib"},
        {"msdatlst.ocx", "MSDataListLib"}, {"dblist32.ocx", "MSDBCtls"},
        {"dbgrid32.ocx", "MSDBGrid"},      {"mschrt20.ocx", "MSChart20Lib"},
        {"sysinfo.ocx", "SysInfoLib"},     {"picclp32.ocx", "PicClip"},
        {"mci32.ocx", "MCI"},              {"shdocvw.dll", "SHDocVwCtl"},
    };
    const std::string lower = AsciiLower(fileName);
    for (const auto& [file, library] : kKnown) {
        if (file == lower) return library;
    }
    return {};
}

bool IsSourceExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("/\\", dot) != std::string::npos) return false;
    const std::string ext = AsciiLower(std::string_view(path).substr(dot));
    return ext == ".frm" || ext == ".bas" || ext == ".cls" || ext == ".ctl" || ext == ".pag" || ext == ".dob";
}

// 64-bit FNV-1a: candidates of the same size are told apart by it, and
// equal hashes are confirmed byte by byte.
std::uint64_t Hash(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

class Builder {
public:
    Builder(const InventoryInput& input, InventoryFiles& files) : in_(input), files_(files) {}

    Inventory Build() {
        Projects();
        for (std::size_t p = 0; p < out_.projects.size(); ++p) References(p);
        Components();
        Declares();
        SharedAndTotals();
        Identical();
        if (in_.orphans) Orphans();
        return std::move(out_);
    }

private:
    void Projects() {
        const std::string base = FolderOf(in_.fullFile);
        out_.memberProject.assign(in_.records.size(), 0);
        std::unordered_map<std::string, std::size_t> byKey;
        for (std::size_t i = 0; i < in_.projects.size(); ++i) {
            const ProjectFacts& facts = in_.projects[i];
            const auto found = files_.Find(base, facts.path);
            const std::string full = found ? found->fullPath : facts.path;
            auto [it, added] = byKey.emplace(FileKey(full), out_.projects.size());
            if (added) {
                InventoryProject& p = out_.projects.emplace_back();
                // A project read alone was named by the user; the run holds it made absolute.
                p.path = in_.group ? facts.path : in_.file;
                p.fullPath = full;
                p.present = found.has_value();
                p.type = facts.type;
                p.name = facts.name;
                if (p.name.empty()) {
                    p.name = FileNameOf(facts.path);
                    if (const std::size_t dot = p.name.rfind('.'); dot != std::string::npos) p.name.resize(dot);
                }
                if (facts.majorVer || facts.minorVer || facts.revisionVer) {
                    p.version = std::to_string(facts.majorVer.value_or(0)) + "." +
                                std::to_string(facts.minorVer.value_or(0)) + "." +
                                std::to_string(facts.revisionVer.value_or(0));
                }
                facts_.push_back(&facts);
            }
            for (Figure r = facts.firstMember; r < facts.firstMember + facts.memberCount; ++r) {
                const auto record = static_cast<std::size_t>(r);
                if (record >= in_.records.size()) break;
                out_.memberProject[record] = it->second;
                out_.projects[it->second].members.push_back(record);
            }
        }
        for (std::size_t p = 0; p < out_.projects.size(); ++p) {
            projectByKey_.emplace(FileKey(out_.projects[p].fullPath), p);
            projectByName_.emplace(AsciiLower(out_.projects[p].name), p);
        }
    }

    FileState Probe(const std::string& folder, const std::string& path) {
        FileState state;
        if (path.empty()) return state;
        std::optional<InventoryFiles::Found> found = files_.Find(folder, path);
        if (!found) {
            // A type library inside an image is written with its resource
            // number after the image's name: "msvbvm60.dll\3".
            const std::size_t sep = path.find_last_of("/\\");
            if (sep != std::string::npos && sep + 1 < path.size() &&
                path.find_first_not_of("0123456789", sep + 1) == std::string::npos) {
                found = files_.Find(folder, path.substr(0, sep));
            }
        }
        if (!found) return state;
        state.present = true;
        state.fullPath = found->fullPath;
        state.size = found->size;
        if (found->size > 0 && static_cast<std::uint64_t>(found->size) <= kMaxImage) {
            if (const auto bytes = files_.Read(found->fullPath, kMaxImage)) state.version = ReadPeVersion(*bytes);
        }
        return state;
    }

    void SubProject(std::size_t from, const std::string& written, bool object) {
        // The controls of a user control project are written with its name,
        // which is the project file's name until the project is read.
        std::string stem = AsciiLower(FileNameOf(written));
        if (const std::size_t dot = stem.rfind('.'); dot != std::string::npos) stem.resize(dot);
        projectByName_.emplace(stem, from);
        InventorySubProject sub;
        sub.from = from;
        sub.written = written;
        sub.object = object;
        if (const auto found = files_.Find(FolderOf(out_.projects[from].fullPath), written)) {
            sub.fullPath = found->fullPath;
            const auto it = projectByKey_.find(FileKey(found->fullPath));
            if (it != projectByKey_.end()) {
                sub.project = it->second;
                if (it->second != from) AddOnce(out_.projects[from].dependsOn, it->second);
            }
        }
        out_.subProjects.push_back(std::move(sub));
    }

    void References(std::size_t p) {
        const ProjectFacts& facts = *facts_[p];
        const std::string folder = FolderOf(out_.projects[p].fullPath);
        for (const LibraryReference& ref : facts.references) {
            if (!ref.project.empty()) {
                SubProject(p, ref.project, false);
                continue;
            }
            const std::string key = ref.guid.empty() ? "raw:" + ref.raw : Upper(ref.guid) + "#" + ref.version;
            auto [it, added] = referenceByKey_.emplace(key, out_.references.size());
            if (added) {
                InventoryReference& entry = out_.references.emplace_back();
                entry.reference = ref;
                entry.file = Probe(folder, ref.path);
            }
            AddOnce(out_.references[it->second].projects, p);
        }
        for (const ObjectReference& object : facts.objects) {
            if (!object.project.empty()) {
                SubProject(p, object.project, true);
                continue;
            }
            AddComponent(p, object);
        }
    }

    std::size_t AddComponent(std::size_t p, const ObjectReference& object) {
        const std::string key = Upper(object.guid) + "#" + object.version;
        auto [it, added] = componentByKey_.emplace(key, out_.components.size());
        if (added) {
            InventoryComponent& entry = out_.components.emplace_back();
            entry.object = object;
            entry.file = Probe(FolderOf(out_.projects[p].fullPath), object.file);
        }
        AddOnce(out_.components[it->second].projects, p);
        return it->second;
    }

    // The component of GUID `guid` that the project of `record` uses: its
    // own Object line's version, else any version, else one made from the
    // member's Object line (a project file that does not list it).
    std::optional<std::size_t> ComponentFor(std::size_t record, const std::string& guid) {
        const std::size_t p = out_.memberProject[record];
        for (const ObjectReference& o : facts_[p]->objects) {
            if (o.project.empty() && Upper(o.guid) == guid) return componentByKey_.at(guid + "#" + o.version);
        }
        for (std::size_t c = 0; c < out_.components.size(); ++c) {
            if (Upper(out_.components[c].object.guid) == guid) return c;
        }
        for (const ObjectReference& o : in_.models[record].objects) {
            if (o.project.empty() && Upper(o.guid) == guid) return AddComponent(p, o);
        }
        return std::nullopt;
    }

    // Which component each library name of the controls' classes belongs
    // to. A form lists the components it places, so a library name belongs
    // to a GUID that every form placing it lists; names settled that way
    // rule their GUIDs out for the others.
    std::map<std::string, std::string> LibraryGuids() {
        std::map<std::string, std::set<std::string>> candidates;  // by lower-case library name
        std::map<std::string, std::string> fileOfGuid;
        for (const InventoryComponent& c : out_.components) fileOfGuid.emplace(Upper(c.object.guid), c.object.file);
        for (std::size_t r = 0; r < in_.models.size() && r < in_.records.size(); ++r) {
            const MemberModel& model = in_.models[r];
            std::set<std::string> guids;
            for (const ObjectReference& o : model.objects) {
                if (o.project.empty() && !o.guid.empty()) {
                    guids.insert(Upper(o.guid));
                    fileOfGuid.emplace(Upper(o.guid), o.file);
                }
            }
            std::set<std::string> libraries;
            for (const Control& control : model.controls) {
                const std::string library = AsciiLower(ClassLibrary(control.className));
                if (library.empty() || library == "vb" || projectByName_.count(library)) continue;
                libraries.insert(library);
                displayName_.emplace(library, std::string(ClassLibrary(control.className)));
            }
            for (const std::string& library : libraries) {
                auto [it, first] = candidates.emplace(library, guids);
                if (first || guids.empty()) continue;
                if (it->second.empty()) {
                    it->second = guids;
                    continue;
                }
                std::set<std::string> both;
                for (const std::string& g : it->second) {
                    if (guids.count(g)) both.insert(g);
                }
                // Forms that disagree leave the name open rather than empty.
                if (!both.empty()) it->second = std::move(both);
            }
        }
        std::map<std::string, std::string> result;
        for (bool changed = true; changed;) {
            changed = false;
            for (auto& [library, guids] : candidates) {
                if (result.count(library) || guids.size() != 1) continue;
                const std::string guid = *guids.begin();
                result.emplace(library, guid);
                for (auto& [other, otherGuids] : candidates) {
                    if (other != library && otherGuids.size() > 1) otherGuids.erase(guid);
                }
                changed = true;
            }
        }
        for (const auto& [library, guids] : candidates) {
            if (result.count(library)) continue;
            // Open or unlisted: the component whose file is known to hold it.
            for (const auto& [guid, file] : fileOfGuid) {
                if ((guids.empty() || guids.count(guid)) && AsciiLower(KnownLibrary(FileNameOf(file))) == library) {
                    result.emplace(library, guid);
                }
            }
        }
        return result;
    }

    void Components() {
        const std::map<std::string, std::string> guidOf = LibraryGuids();
        for (std::size_t r = 0; r < in_.models.size() && r < in_.records.size(); ++r) {
            std::map<std::size_t, Figure> placed;
            for (const Control& control : in_.models[r].controls) {
                const auto g = guidOf.find(AsciiLower(ClassLibrary(control.className)));
                if (g == guidOf.end()) continue;
                if (const auto c = ComponentFor(r, g->second)) {
                    ++placed[*c];
                    if (out_.components[*c].library.empty()) out_.components[*c].library = displayName_[g->first];
                }
            }
            for (const auto& [c, n] : placed) {
                out_.components[c].controls += n;
                out_.components[c].placedBy.push_back({r, n});
            }
            for (const ObjectReference& o : in_.models[r].objects) {
                if (!o.project.empty() || o.guid.empty()) continue;
                if (const auto c = ComponentFor(r, Upper(o.guid))) AddOnce(out_.components[*c].listedBy, r);
            }
        }
    }

    // The key of a record's file: its full path, or for a file that was not
    // read the path its project wrote.
    std::string RecordKey(std::size_t r) const {
        if (r < in_.fullPaths.size() && !in_.fullPaths[r].empty()) return FileKey(in_.fullPaths[r]);
        return "unread:" + std::to_string(out_.memberProject[r]) + ":" + AsciiLower(in_.records[r].Path);
    }

    void Declares() {
        std::map<std::pair<std::string, std::string>, std::size_t> byKey;
        std::vector<std::vector<std::string>> fileKeys;
        for (std::size_t r = 0; r < in_.models.size() && r < in_.records.size(); ++r) {
            for (const Declare& d : in_.models[r].declares) {
                std::string library = AsciiLower(d.library);
                if (library.size() > 4 && library.compare(library.size() - 4, 4, ".dll") == 0) library.resize(library.size() - 4);
                auto [it, added] = byKey.emplace(std::make_pair(library, AsciiLower(d.name)), out_.declares.size());
                if (added) {
                    out_.declares.push_back({d.library, d.name, d.alias, d.isFunction, {}});
                    fileKeys.emplace_back();
                }
                // A shared file's Declare is one Declare, however many projects list the file.
                const std::string key = RecordKey(r);
                auto& keys = fileKeys[it->second];
                if (std::find(keys.begin(), keys.end(), key) != keys.end()) continue;
                keys.push_back(key);
                out_.declares[it->second].members.push_back(r);
            }
        }
        std::vector<std::pair<std::pair<std::string, std::string>, std::size_t>> order(byKey.begin(), byKey.end());
        std::vector<InventoryDeclare> sorted;
        for (const auto& [key, index] : order) sorted.push_back(std::move(out_.declares[index]));
        out_.declares = std::move(sorted);
    }

    void SharedAndTotals() {
        std::map<std::string, std::vector<std::size_t>> byKey;
        std::vector<std::string> order;
        for (std::size_t r = 0; r < in_.records.size(); ++r) {
            const MemberRecord& m = in_.records[r];
            auto add = [&](InventoryTotals& t) {
                ++t.members;
                t.fileSize += m.FileSize;
                t.binarySize += m.BinarySize;
                t.interfaceLines += m.InterfaceLines;
                t.codeLines += m.CodeLines;
            };
            add(out_.summed);
            const std::string key = RecordKey(r);
            auto& records = byKey[key];
            if (records.empty()) {
                add(out_.once);
                order.push_back(key);
            }
            records.push_back(r);
        }
        for (const std::string& key : order) {
            const std::vector<std::size_t>& records = byKey[key];
            std::vector<std::size_t> projects;
            for (std::size_t r : records) AddOnce(projects, out_.memberProject[r]);
            if (projects.size() < 2 || key.rfind("unread:", 0) == 0) continue;
            out_.shared.push_back({in_.fullPaths[records[0]], records, projects});
        }
        for (const std::string& key : order) firstRecord_.emplace_back(key, byKey[key][0]);
    }

    void Identical() {
        std::map<Figure, std::vector<std::size_t>> bySize;
        for (const auto& [key, r] : firstRecord_) {
            if (key.rfind("unread:", 0) == 0 || in_.records[r].FileSize <= 0) continue;
            bySize[in_.records[r].FileSize].push_back(r);
        }
        for (const auto& [size, records] : bySize) {
            if (records.size() < 2) continue;
            struct Candidate {
                std::string bytes;
                IdenticalFiles files;
            };
            std::multimap<std::uint64_t, Candidate> byHash;
            for (std::size_t r : records) {
                auto bytes = files_.Read(in_.fullPaths[r], static_cast<std::size_t>(size) + 1);
                if (!bytes || static_cast<Figure>(bytes->size()) != size) continue;
                const std::uint64_t h = Hash(*bytes);
                bool matched = false;
                for (auto [it, end] = byHash.equal_range(h); it != end && !matched; ++it) {
                    if (it->second.bytes == *bytes) {
                        it->second.files.members.push_back(r);
                        matched = true;
                    }
                }
                if (!matched) byHash.emplace(h, Candidate{std::move(*bytes), IdenticalFiles{size, {r}}});
            }
            for (auto& [h, candidate] : byHash) {
                if (candidate.files.members.size() > 1) out_.identical.push_back(std::move(candidate.files));
            }
        }
    }

    void Orphans() {
        out_.orphansWalked = true;
        std::vector<std::string> folders;
        for (const InventoryProject& p : out_.projects) {
            if (p.present) AddOnce(folders, FolderOf(p.fullPath));
        }
        std::sort(folders.begin(), folders.end());
        std::unordered_set<std::string> listed;
        for (std::size_t r = 0; r < in_.records.size(); ++r) listed.insert(RecordKey(r));
        std::set<std::string> found;
        std::vector<std::string> walked;
        for (const std::string& folder : folders) {
            if (folder.empty()) continue;
            // A folder below one already walked was walked with it.
            bool below = false;
            for (const std::string& w : walked) {
                below = below || (folder.size() > w.size() && folder.compare(0, w.size(), w) == 0 &&
                                  (folder[w.size()] == '/' || folder[w.size()] == '\\'));
            }
            if (below) continue;
            walked.push_back(folder);
            for (const std::string& path : files_.FilesBelow(folder)) {
                if (IsSourceExtension(path) && !listed.count(FileKey(path))) found.insert(path);
            }
        }
        out_.orphans.assign(found.begin(), found.end());
    }

    const InventoryInput& in_;
    InventoryFiles& files_;
    Inventory out_;
    std::vector<const ProjectFacts*> facts_;  // the first facts of each project
    std::unordered_map<std::string, std::size_t> projectByKey_, projectByName_, referenceByKey_, componentByKey_;
    std::map<std::string, std::string> displayName_;
    std::vector<std::pair<std::string, std::size_t>> firstRecord_;
};

}  // namespace

Inventory BuildInventory(const InventoryInput& input, InventoryFiles& files) { return Builder(input, files).Build(); }

}  // namespace quibex::vb6
