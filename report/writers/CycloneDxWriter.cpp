#include "report/writers/CycloneDxWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "common/Version.h"
#include "engine/CodePage.h"
#include "engine/Paths.h"
#include "report/platform/Platform.h"
#include "report/text/JsonWriter.h"

namespace quibex::report {

namespace {

using vb6::Inventory;
using vb6::InventoryInput;

// The bom-ref of everything the bill names, each unique: projects by name,
// libraries by GUID and version, a second of a name with "#2".
struct BomRefs {
    std::vector<std::string> projects, references, components;
    // Sub-projects outside the run are components of their own, once each
    // however many lines name them: the first line of a file carries it.
    std::vector<std::string> outside;
    std::vector<bool> outsideFirst;
    std::string main;  // the group, or a project file that could not be read; empty otherwise
};

BomRefs AssignRefs(const InventoryInput& input, const Inventory& inv) {
    std::set<std::string> taken;
    auto unique = [&](std::string ref) {
        std::string candidate = ref;
        for (int n = 2; !taken.insert(candidate).second; ++n) candidate = ref + "#" + std::to_string(n);
        return candidate;
    };
    BomRefs refs;
    for (const vb6::InventoryProject& p : inv.projects) refs.projects.push_back(unique("project:" + p.name));
    for (const vb6::InventoryReference& r : inv.references) {
        const vb6::LibraryReference& ref = r.reference;
        refs.references.push_back(unique("typelib:" + (ref.guid.empty() ? ref.raw : ref.guid + "#" + ref.version)));
    }
    for (const vb6::InventoryComponent& c : inv.components) {
        refs.components.push_back(unique("activex:" + c.object.guid + "#" + c.object.version));
    }
    refs.outside.resize(inv.subProjects.size());
    refs.outsideFirst.assign(inv.subProjects.size(), false);
    std::map<std::string, std::string> outsideByFile;
    for (std::size_t s = 0; s < inv.subProjects.size(); ++s) {
        const vb6::InventorySubProject& sub = inv.subProjects[s];
        if (sub.project) continue;
        const std::string key = AsciiLower(sub.fullPath.empty() ? sub.written : sub.fullPath);
        auto [it, added] = outsideByFile.emplace(key, std::string());
        if (added) it->second = unique("project-file:" + sub.written);
        refs.outside[s] = it->second;
        refs.outsideFirst[s] = added;
    }
    if (input.group) {
        std::string stem = FileNameOf(input.file);
        if (const std::size_t dot = stem.rfind('.'); dot != std::string::npos) stem.resize(dot);
        refs.main = unique("group:" + stem);
    } else if (inv.projects.empty()) {
        refs.main = unique("project:" + input.file);
    }
    return refs;
}

// Each project depends on its libraries, components and the projects it
// references.
std::vector<std::vector<std::string>> ProjectDependencies(const Inventory& inv, const BomRefs& refs) {
    std::vector<std::vector<std::string>> dependsOn(inv.projects.size());
    for (std::size_t i = 0; i < inv.references.size(); ++i) {
        for (std::size_t p : inv.references[i].projects) dependsOn[p].push_back(refs.references[i]);
    }
    for (std::size_t i = 0; i < inv.components.size(); ++i) {
        for (std::size_t p : inv.components[i].projects) dependsOn[p].push_back(refs.components[i]);
    }
    for (std::size_t s = 0; s < inv.subProjects.size(); ++s) {
        const vb6::InventorySubProject& sub = inv.subProjects[s];
        const std::string& ref = sub.project ? refs.projects[*sub.project] : refs.outside[s];
        if (sub.project == sub.from) continue;
        std::vector<std::string>& on = dependsOn[sub.from];
        if (std::find(on.begin(), on.end(), ref) == on.end()) on.push_back(ref);
    }
    return dependsOn;
}

class BomWriter {
public:
    BomWriter(const InventoryInput& input, const Inventory& inventory, std::string& text)
        : in_(input), inv_(inventory), refs_(AssignRefs(input, inventory)), json_(text) {}

    void Write(const BomStamp& stamp) {
        json_.BeginObject();
        json_.Field("bomFormat", "CycloneDX").Field("specVersion", "1.5");
        json_.Field("serialNumber", stamp.serialNumber).Field("version", Figure{1});
        Metadata(stamp);
        json_.Key("components").BeginArray();
        for (std::size_t p = in_.group ? 0 : 1; p < inv_.projects.size(); ++p) Project(p);
        for (std::size_t i = 0; i < inv_.references.size(); ++i) TypeLibrary(i);
        for (std::size_t i = 0; i < inv_.components.size(); ++i) ActiveXComponent(i);
        for (std::size_t s = 0; s < inv_.subProjects.size(); ++s) {
            if (refs_.outsideFirst[s]) OutsideProject(s);
        }
        json_.EndArray();
        Dependencies();
        json_.EndObject();
        json_.Finish();
    }

private:
    // The bill's maker, and what the bill is of: the group, the first
    // project, or the file named when no project could be read.
    void Metadata(const BomStamp& stamp) {
        json_.Key("metadata").BeginObject();
        json_.Field("timestamp", stamp.timestamp);
        json_.Key("tools").BeginObject().Key("components").BeginArray();
        json_.BeginObject(true).Field("type", "application").Field("name", "quibex-report");
        json_.Field("version", QUIBEX_VERSION_TEXT).Field("publisher", QUIBEX_COMPANY).EndObject();
        json_.EndArray().EndObject();
        json_.Key("component");
        if (in_.group) {
            json_.BeginObject(true).Field("type", "application").Field("bom-ref", refs_.main);
            json_.Field("name", refs_.main.substr(6)).EndObject();
        } else if (!inv_.projects.empty()) {
            Project(0);
        } else {
            json_.BeginObject(true).Field("type", "application").Field("bom-ref", refs_.main).Field("name", in_.file);
            json_.EndObject();
        }
        json_.EndObject();
    }

    void Property(std::string_view name, std::string_view value) {
        if (value.empty()) return;
        json_.BeginObject(true).Field("name", name).Field("value", value).EndObject();
    }

    void FileProperties(const vb6::FileState& f) {
        Property("quibex:vb6:present", f.present ? "true" : "false");
        if (f.present) Property("quibex:vb6:size", std::to_string(f.size));
        if (f.version) Property("quibex:vb6:fileVersion", f.version->FileVersionText());
    }

    void Project(std::size_t p) {
        const vb6::InventoryProject& project = inv_.projects[p];
        json_.BeginObject();
        const bool application = project.type.empty() || EqualsIgnoringCase(project.type, "Exe") ||
                                 EqualsIgnoringCase(project.type, "OleExe");
        json_.Field("type", application ? "application" : "library");
        json_.Field("bom-ref", refs_.projects[p]).Field("name", project.name);
        if (!project.version.empty()) json_.Field("version", project.version);
        json_.Key("properties").BeginArray();
        Property("quibex:vb6:projectType", project.type);
        Property("quibex:vb6:path", project.path);
        Property("quibex:vb6:members", std::to_string(project.members.size()));
        json_.EndArray();
        json_.EndObject();
    }

    void TypeLibrary(std::size_t i) {
        const vb6::InventoryReference& r = inv_.references[i];
        const vb6::LibraryReference& ref = r.reference;
        json_.BeginObject();
        json_.Field("type", "library").Field("bom-ref", refs_.references[i]);
        const std::string file = FileNameOf(ref.path);
        json_.Field("name", !file.empty() ? file : !ref.description.empty() ? ref.description : ref.raw);
        json_.Field("version", r.file.version ? r.file.version->FileVersionText() : ref.version);
        if (r.file.version && !r.file.version->companyName.empty()) json_.Field("publisher", r.file.version->companyName);
        if (!ref.description.empty()) json_.Field("description", ref.description);
        json_.Key("properties").BeginArray();
        Property("quibex:vb6:kind", "type library");
        Property("quibex:vb6:guid", ref.guid);
        Property("quibex:vb6:version", ref.version);
        Property("quibex:vb6:locale", ref.locale);
        Property("quibex:vb6:path", ref.path);
        if (ref.guid.empty()) Property("quibex:vb6:reference", ref.raw);
        FileProperties(r.file);
        json_.EndArray();
        json_.EndObject();
    }

    void ActiveXComponent(std::size_t i) {
        const vb6::InventoryComponent& c = inv_.components[i];
        json_.BeginObject();
        json_.Field("type", "library").Field("bom-ref", refs_.components[i]);
        json_.Field("name", c.object.file.empty() ? c.object.raw : c.object.file);
        json_.Field("version", c.file.version ? c.file.version->FileVersionText() : c.object.version);
        if (c.file.version && !c.file.version->companyName.empty()) json_.Field("publisher", c.file.version->companyName);
        if (c.file.version && !c.file.version->fileDescription.empty()) {
            json_.Field("description", c.file.version->fileDescription);
        }
        json_.Key("properties").BeginArray();
        Property("quibex:vb6:kind", "ActiveX component");
        Property("quibex:vb6:guid", c.object.guid);
        Property("quibex:vb6:version", c.object.version);
        Property("quibex:vb6:locale", c.object.locale);
        Property("quibex:vb6:file", c.object.file);
        Property("quibex:vb6:library", c.library);
        Property("quibex:vb6:controls", std::to_string(c.controls));
        if (c.Unused()) Property("quibex:vb6:unused", "true");
        FileProperties(c.file);
        json_.EndArray();
        json_.EndObject();
    }

    void OutsideProject(std::size_t s) {
        const vb6::InventorySubProject& sub = inv_.subProjects[s];
        std::string name = FileNameOf(sub.written);
        if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
        json_.BeginObject(true).Field("type", "library").Field("bom-ref", refs_.outside[s]).Field("name", name);
        json_.Key("properties").BeginArray(true);
        Property("quibex:vb6:kind", "project");
        Property("quibex:vb6:path", sub.written);
        Property("quibex:vb6:present", sub.fullPath.empty() ? "false" : "true");
        json_.EndArray().EndObject();
    }

    // Every component is listed, those that are no project with no
    // dependencies of their own.
    void Dependencies() {
        const std::vector<std::vector<std::string>> dependsOn = ProjectDependencies(inv_, refs_);
        json_.Key("dependencies").BeginArray();
        if (!refs_.main.empty()) Dependency(refs_.main, in_.group ? refs_.projects : std::vector<std::string>());
        for (std::size_t p = 0; p < inv_.projects.size(); ++p) Dependency(refs_.projects[p], dependsOn[p]);
        for (const std::string& ref : refs_.references) Dependency(ref, {});
        for (const std::string& ref : refs_.components) Dependency(ref, {});
        for (std::size_t s = 0; s < inv_.subProjects.size(); ++s) {
            if (refs_.outsideFirst[s]) Dependency(refs_.outside[s], {});
        }
        json_.EndArray();
    }

    void Dependency(const std::string& ref, const std::vector<std::string>& on) {
        json_.BeginObject(true).Field("ref", ref).Key("dependsOn").BeginArray(true);
        for (const std::string& o : on) json_.String(o);
        json_.EndArray().EndObject();
    }

    const InventoryInput& in_;
    const Inventory& inv_;
    const BomRefs refs_;
    JsonWriter json_;
};

}  // namespace

BomStamp NewBomStamp() {
    BomStamp stamp;
    std::random_device device;
    std::mt19937_64 random((static_cast<std::uint64_t>(device()) << 32) ^ device() ^
                           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    unsigned char bytes[16];
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(random());
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    char uuid[37];
    std::snprintf(uuid, sizeof uuid, "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", bytes[0],
                  bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9], bytes[10],
                  bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    stamp.serialNumber = std::string("urn:uuid:") + uuid;
    stamp.timestamp = UtcNow("%Y-%m-%dT%H:%M:%SZ");
    return stamp;
}

void WriteInventoryCycloneDx(const InventoryInput& input, const Inventory& inventory, const BomStamp& stamp,
                             std::ostream& out) {
    std::string text;
    BomWriter(input, inventory, text).Write(stamp);
    out << text;
}

}  // namespace quibex::report
