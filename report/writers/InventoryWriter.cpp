#include "report/writers/InventoryWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "engine/CodePage.h"
#include "report/text/JsonWriter.h"
#include "report/platform/Platform.h"
#include "report/writers/ReportWriter.h"
#include "report/text/Utf8.h"
#include "ui/Version.h"

namespace quibex::report {

namespace {

using vb6::Inventory;
using vb6::InventoryInput;

using Rows = std::vector<std::vector<std::string>>;

// An aligned table under a heading; nothing at all when it has no rows.
void WriteSection(std::ostream& out, std::string_view title, const Rows& rows, std::size_t numericFrom = 99) {
    if (rows.size() < 2) return;
    out << '\n' << title << ":\n";
    std::vector<std::size_t> width(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], CharacterCount(row[c]));
    }
    for (const auto& row : rows) {
        std::string line = " ";
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(width[c] - CharacterCount(row[c]), ' ');
            line += ' ';
            line += c >= numericFrom ? pad + PrintableText(row[c]) : PrintableText(row[c]) + pad;
            line += ' ';
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out << line << '\n';
    }
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    }
    return text;
}

// Paths below the folder of the project or group file are shown relative to it.
class Names {
public:
    Names(const InventoryInput& input, const Inventory& inventory)
        : in_(input), inv_(inventory), base_(vb6::FolderOf(input.fullFile)) {}

    std::string Path(const std::string& full) const {
        if (base_.empty() || full.size() <= base_.size() + 1) return full;
        if (LowerAscii(full.substr(0, base_.size())) != LowerAscii(base_)) return full;
        const char separator = full[base_.size()];
        return separator == '/' || separator == '\\' ? full.substr(base_.size() + 1) : full;
    }
    std::string Project(std::size_t p) const { return inv_.projects[p].name; }
    // "App:frmMain.frm": the member as its project lists it.
    std::string Member(std::size_t r) const {
        const std::string& path = in_.records[r].Path;
        return inv_.projects.size() > 1 ? Project(inv_.memberProject[r]) + ":" + path : path;
    }
    std::string Projects(const std::vector<std::size_t>& list) const {
        return Join(list, [&](std::size_t p) { return Project(p); });
    }
    std::string Members(const std::vector<std::size_t>& list) const {
        return Join(list, [&](std::size_t r) { return Member(r); });
    }
    template <typename F>
    static std::string Join(const std::vector<std::size_t>& list, F name, std::string_view separator = ", ") {
        std::string out;
        for (std::size_t i : list) {
            if (!out.empty()) out += separator;
            out += name(i);
        }
        return out;
    }

private:
    const InventoryInput& in_;
    const Inventory& inv_;
    std::string base_;
};

void TextOrNull(JsonWriter& json, std::string_view key, std::string_view text) { json.Key(key).StringOrNull(text); }

std::string Present(const vb6::FileState& f) { return f.present ? "yes" : "no"; }
std::string SizeOf(const vb6::FileState& f) { return f.present ? std::to_string(f.size) : ""; }
std::string VersionOf(const vb6::FileState& f) { return f.version ? f.version->FileVersionText() : ""; }

std::vector<std::size_t> PlacedMembers(const vb6::InventoryComponent& c) {
    std::vector<std::size_t> members;
    for (const auto& placement : c.placedBy) members.push_back(placement.member);
    return members;
}

void WriteFileState(JsonWriter& json, const vb6::FileState& f) {
    json.Field("present", f.present);
    json.Key("fullPath").StringOrNull(f.fullPath);
    json.Key("size");
    if (f.present) {
        json.Number(f.size);
    } else {
        json.Null();
    }
    json.Key("fileVersion");
    if (f.version) {
        json.BeginObject(true);
        json.Field("file", f.version->FileVersionText());
        TextOrNull(json, "company", f.version->companyName);
        TextOrNull(json, "description", f.version->fileDescription);
        TextOrNull(json, "product", f.version->productName);
        json.EndObject();
    } else {
        json.Null();
    }
}

void WriteNames(JsonWriter& json, std::string_view key, const std::vector<std::size_t>& list,
                const std::function<std::string(std::size_t)>& name) {
    json.Key(key).BeginArray(true);
    for (std::size_t i : list) json.String(name(i));
    json.EndArray();
}

void WriteTotals(JsonWriter& json, std::string_view key, const vb6::InventoryTotals& t) {
    json.Key(key).BeginObject(true);
    json.Field("members", t.members).Field("fileSize", t.fileSize).Field("binarySize", t.binarySize);
    json.Field("interfaceLines", t.interfaceLines).Field("codeLines", t.codeLines);
    json.EndObject();
}

}  // namespace

void WriteInventoryText(const InventoryInput& input, const Inventory& inv, std::ostream& out) {
    const Names names(input, inv);
    out << "Inventory of " << PrintableText(input.file) << '\n';
    Rows projects{{"Project", "Type", "Version", "Members", "File", "References projects"}};
    for (std::size_t p = 0; p < inv.projects.size(); ++p) {
        const vb6::InventoryProject& project = inv.projects[p];
        projects.push_back({project.name, project.type, project.version, std::to_string(project.members.size()),
                            names.Path(project.fullPath), names.Projects(project.dependsOn)});
    }
    WriteSection(out, "Projects", projects);

    Rows references{{"Type library", "GUID", "Version", "Path", "Present", "Size", "File version", "Projects"}};
    for (const vb6::InventoryReference& r : inv.references) {
        const vb6::LibraryReference& ref = r.reference;
        references.push_back({ref.guid.empty() ? ref.raw : ref.description, ref.guid, ref.version, ref.path,
                              Present(r.file), SizeOf(r.file), VersionOf(r.file), names.Projects(r.projects)});
    }
    WriteSection(out, "References", references);

    Rows subProjects{{"Project", "Line", "Path", "Names"}};
    for (const vb6::InventorySubProject& s : inv.subProjects) {
        const std::string target = s.project      ? names.Project(*s.project)
                                   : s.fullPath.empty() ? "(missing)"
                                                        : "(not in the group) " + names.Path(s.fullPath);
        subProjects.push_back({names.Project(s.from), s.object ? "Object" : "Reference", s.written, target});
    }
    WriteSection(out, "Sub-project references", subProjects);

    Rows components{{"Component", "Library", "GUID", "Version", "Controls", "Placed by", "Present", "Size",
                     "File version", "Projects", ""}};
    for (const vb6::InventoryComponent& c : inv.components) {
        components.push_back({c.object.file, c.library, c.object.guid, c.object.version, std::to_string(c.controls),
                              names.Members(PlacedMembers(c)), Present(c.file), SizeOf(c.file), VersionOf(c.file),
                              names.Projects(c.projects), c.Unused() ? "unused" : ""});
    }
    WriteSection(out, "Components", components);

    Rows declares{{"Library", "Declare", "Alias", "Declared in", ""}};
    for (const vb6::InventoryDeclare& d : inv.declares) {
        declares.push_back({d.library, d.name, d.alias, names.Members(d.members), d.Duplicate() ? "duplicate" : ""});
    }
    WriteSection(out, "Declares", declares);

    Rows shared{{"Shared file", "Projects"}};
    for (const vb6::SharedFile& s : inv.shared) shared.push_back({names.Path(s.fullPath), names.Projects(s.projects)});
    WriteSection(out, "Shared files", shared);

    Rows identical{{"Size", "Files with the same content"}};
    for (const vb6::IdenticalFiles& same : inv.identical) {
        identical.push_back({std::to_string(same.size), Names::Join(same.members, [&](std::size_t r) {
                                 return names.Path(input.fullPaths[r]);
                             })});
    }
    WriteSection(out, "Identical files", identical);

    if (inv.orphansWalked) {
        out << "\nOrphans (source files under the project folders that no project lists): "
            << inv.orphans.size() << '\n';
        for (const std::string& o : inv.orphans) out << "  " << PrintableText(names.Path(o)) << '\n';
    }

    Rows totals{{"Totals", "Members", "File size", "Binary size", "Interface lines", "Code lines"}};
    for (const auto& [label, t] : {std::pair<std::string, const vb6::InventoryTotals&>{"summed", inv.summed},
                                   {"each file once", inv.once}}) {
        totals.push_back({label, std::to_string(t.members), std::to_string(t.fileSize), std::to_string(t.binarySize),
                          std::to_string(t.interfaceLines), std::to_string(t.codeLines)});
    }
    WriteSection(out, "Totals", totals, 1);
}

void WriteInventoryCsv(const InventoryInput& input, const Inventory& inv, std::ostream& out) {
    const Names names(input, inv);
    out << "section,name,guid,version,path,present,size,fileVersion,projects,members,controls,flag\r\n";
    auto row = [&](std::initializer_list<std::string> fields) {
        bool first = true;
        for (const std::string& f : fields) {
            if (!first) out << ',';
            out << CsvField(f);
            first = false;
        }
        out << "\r\n";
    };
    auto list = [](const std::vector<std::string>& parts) {
        std::string joined;
        for (const std::string& p : parts) joined += (joined.empty() ? "" : ";") + p;
        return joined;
    };
    auto projectList = [&](const std::vector<std::size_t>& ps) {
        return Names::Join(ps, [&](std::size_t p) { return names.Project(p); }, ";");
    };
    auto memberList = [&](const std::vector<std::size_t>& rs) {
        return Names::Join(rs, [&](std::size_t r) { return names.Member(r); }, ";");
    };
    for (const vb6::InventoryReference& r : inv.references) {
        const vb6::LibraryReference& ref = r.reference;
        row({"reference", ref.guid.empty() ? ref.raw : ref.description, ref.guid, ref.version, ref.path,
             r.file.present ? "true" : "false", SizeOf(r.file), VersionOf(r.file), projectList(r.projects), "", "",
             ""});
    }
    for (const vb6::InventorySubProject& s : inv.subProjects) {
        row({"subproject", s.project ? names.Project(*s.project) : "", "", "", s.written,
             s.fullPath.empty() ? "false" : "true", "", "", names.Project(s.from), "", "",
             s.object ? "object" : "reference"});
    }
    for (const vb6::InventoryComponent& c : inv.components) {
        row({"component", c.library, c.object.guid, c.object.version, c.object.file, c.file.present ? "true" : "false",
             SizeOf(c.file), VersionOf(c.file), projectList(c.projects), memberList(PlacedMembers(c)),
             std::to_string(c.controls), c.Unused() ? "unused" : ""});
    }
    for (const vb6::InventoryDeclare& d : inv.declares) {
        row({"declare", d.name, "", "", d.library, "", "", "", "", memberList(d.members), "",
             d.Duplicate() ? "duplicate" : ""});
    }
    for (const vb6::SharedFile& s : inv.shared) {
        row({"shared", "", "", "", names.Path(s.fullPath), "true", "", "", projectList(s.projects),
             memberList(s.members), "", ""});
    }
    for (const vb6::IdenticalFiles& same : inv.identical) {
        std::vector<std::string> paths;
        for (std::size_t r : same.members) paths.push_back(names.Path(input.fullPaths[r]));
        row({"identical", "", "", "", list(paths), "true", std::to_string(same.size), "", "", memberList(same.members),
             "", ""});
    }
    for (const std::string& o : inv.orphans) row({"orphan", "", "", "", names.Path(o), "true", "", "", "", "", "", ""});
}

void WriteInventoryJson(const InventoryInput& input, const Inventory& inv, std::ostream& out) {
    const Names names(input, inv);
    const auto project = [&](std::size_t p) { return names.Project(p); };
    const auto member = [&](std::size_t r) { return names.Member(r); };
    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Field("file", input.file);
    json.Key("projects").BeginArray();
    for (const vb6::InventoryProject& p : inv.projects) {
        json.BeginObject(true);
        json.Field("name", p.name).Field("path", p.path).Field("fullPath", p.fullPath);
        TextOrNull(json, "type", p.type);
        TextOrNull(json, "version", p.version);
        json.Field("members", static_cast<Figure>(p.members.size()));
        WriteNames(json, "references", p.dependsOn, project);
        json.EndObject();
    }
    json.EndArray();
    json.Key("references").BeginArray();
    for (const vb6::InventoryReference& r : inv.references) {
        const vb6::LibraryReference& ref = r.reference;
        json.BeginObject(true);
        TextOrNull(json, "guid", ref.guid);
        TextOrNull(json, "version", ref.version);
        TextOrNull(json, "locale", ref.locale);
        TextOrNull(json, "path", ref.path);
        TextOrNull(json, "description", ref.description);
        if (ref.guid.empty()) json.Field("raw", ref.raw);
        WriteFileState(json, r.file);
        WriteNames(json, "projects", r.projects, project);
        json.EndObject();
    }
    json.EndArray();
    json.Key("subProjects").BeginArray();
    for (const vb6::InventorySubProject& s : inv.subProjects) {
        json.BeginObject(true);
        json.Field("from", names.Project(s.from)).Field("line", s.object ? "Object" : "Reference");
        json.Field("path", s.written);
        json.Key("fullPath").StringOrNull(s.fullPath);
        json.Key("project").StringOrNull(s.project ? names.Project(*s.project) : std::string());
        json.EndObject();
    }
    json.EndArray();
    json.Key("components").BeginArray();
    for (const vb6::InventoryComponent& c : inv.components) {
        json.BeginObject(true);
        TextOrNull(json, "guid", c.object.guid);
        TextOrNull(json, "version", c.object.version);
        TextOrNull(json, "locale", c.object.locale);
        TextOrNull(json, "file", c.object.file);
        TextOrNull(json, "library", c.library);
        json.Field("controls", c.controls);
        json.Key("placedBy").BeginArray(true);
        for (const auto& placement : c.placedBy) {
            json.BeginObject(true).Field("member", names.Member(placement.member));
            json.Field("controls", placement.controls).EndObject();
        }
        json.EndArray();
        WriteNames(json, "listedBy", c.listedBy, member);
        json.Field("unused", c.Unused());
        WriteFileState(json, c.file);
        WriteNames(json, "projects", c.projects, project);
        json.EndObject();
    }
    json.EndArray();
    json.Key("declares").BeginArray();
    for (const vb6::InventoryDeclare& d : inv.declares) {
        json.BeginObject(true);
        json.Field("library", d.library).Field("name", d.name);
        TextOrNull(json, "alias", d.alias);
        json.Field("kind", d.isFunction ? "Function" : "Sub");
        WriteNames(json, "members", d.members, member);
        json.Field("duplicate", d.Duplicate());
        json.EndObject();
    }
    json.EndArray();
    json.Key("shared").BeginArray();
    for (const vb6::SharedFile& s : inv.shared) {
        json.BeginObject(true).Field("path", names.Path(s.fullPath)).Field("fullPath", s.fullPath);
        WriteNames(json, "projects", s.projects, project);
        WriteNames(json, "members", s.members, member);
        json.EndObject();
    }
    json.EndArray();
    json.Key("identical").BeginArray();
    for (const vb6::IdenticalFiles& same : inv.identical) {
        json.BeginObject(true).Field("size", same.size);
        WriteNames(json, "files", same.members, [&](std::size_t r) { return names.Path(input.fullPaths[r]); });
        json.EndObject();
    }
    json.EndArray();
    json.Key("orphans");
    if (inv.orphansWalked) {
        json.BeginArray();
        for (const std::string& o : inv.orphans) json.String(names.Path(o));
        json.EndArray();
    } else {
        json.Null();
    }
    json.Key("totals").BeginObject();
    WriteTotals(json, "summed", inv.summed);
    WriteTotals(json, "once", inv.once);
    json.EndObject();
    json.EndObject();
    json.Finish();
    out << text;
}

void WriteInventoryCycloneDx(const InventoryInput& input, const Inventory& inv, const BomStamp& stamp,
                             std::ostream& out) {
    // Every bom-ref once: projects by name, libraries by GUID and version.
    std::set<std::string> taken;
    auto unique = [&](std::string ref) {
        std::string candidate = ref;
        for (int n = 2; !taken.insert(candidate).second; ++n) candidate = ref + "#" + std::to_string(n);
        return candidate;
    };
    std::vector<std::string> projectRefs, referenceRefs, componentRefs;
    for (const vb6::InventoryProject& p : inv.projects) projectRefs.push_back(unique("project:" + p.name));
    for (const vb6::InventoryReference& r : inv.references) {
        const vb6::LibraryReference& ref = r.reference;
        referenceRefs.push_back(unique("typelib:" + (ref.guid.empty() ? ref.raw : ref.guid + "#" + ref.version)));
    }
    for (const vb6::InventoryComponent& c : inv.components) {
        componentRefs.push_back(unique("activex:" + c.object.guid + "#" + c.object.version));
    }
    // Sub-projects outside the run are components of their own, once each
    // however many lines name them.
    std::vector<std::string> outsideRefs(inv.subProjects.size());
    std::vector<bool> outsideFirst(inv.subProjects.size(), false);
    std::map<std::string, std::string> outsideByFile;
    for (std::size_t s = 0; s < inv.subProjects.size(); ++s) {
        const vb6::InventorySubProject& sub = inv.subProjects[s];
        if (sub.project) continue;
        const std::string key = LowerAscii(sub.fullPath.empty() ? sub.written : sub.fullPath);
        auto [it, added] = outsideByFile.emplace(key, std::string());
        if (added) it->second = unique("project-file:" + sub.written);
        outsideRefs[s] = it->second;
        outsideFirst[s] = added;
    }
    std::string mainRef;
    if (input.group) {
        std::string stem = vb6::FileNameOf(input.file);
        if (const std::size_t dot = stem.rfind('.'); dot != std::string::npos) stem.resize(dot);
        mainRef = unique("group:" + stem);
    }

    std::string text;
    JsonWriter json(text);
    auto property = [&](std::string_view name, std::string_view value) {
        if (value.empty()) return;
        json.BeginObject(true).Field("name", name).Field("value", value).EndObject();
    };
    auto writeFile = [&](const vb6::FileState& f) {
        property("quibex:vb6:present", f.present ? "true" : "false");
        if (f.present) property("quibex:vb6:size", std::to_string(f.size));
        if (f.version) property("quibex:vb6:fileVersion", f.version->FileVersionText());
    };
    auto writeProject = [&](std::size_t p) {
        const vb6::InventoryProject& project = inv.projects[p];
        json.BeginObject();
        const bool application = project.type.empty() || EqualsIgnoringCase(project.type, "Exe") ||
                                 EqualsIgnoringCase(project.type, "OleExe");
        json.Field("type", application ? "application" : "library");
        json.Field("bom-ref", projectRefs[p]).Field("name", project.name);
        if (!project.version.empty()) json.Field("version", project.version);
        json.Key("properties").BeginArray();
        property("quibex:vb6:projectType", project.type);
        property("quibex:vb6:path", project.path);
        property("quibex:vb6:members", std::to_string(project.members.size()));
        json.EndArray();
        json.EndObject();
    };

    json.BeginObject();
    json.Field("bomFormat", "CycloneDX").Field("specVersion", stamp.specVersion);
    json.Field("serialNumber", stamp.serialNumber).Field("version", Figure{1});
    json.Key("metadata").BeginObject();
    json.Field("timestamp", stamp.timestamp);
    json.Key("tools").BeginObject().Key("components").BeginArray();
    json.BeginObject(true).Field("type", "application").Field("name", "quibex-report");
    json.Field("version", QUIBEX_VERSION_TEXT).Field("publisher", QUIBEX_COMPANY).EndObject();
    json.EndArray().EndObject();
    json.Key("component");
    if (input.group) {
        json.BeginObject(true).Field("type", "application").Field("bom-ref", mainRef);
        json.Field("name", mainRef.substr(6)).EndObject();
    } else if (!inv.projects.empty()) {
        writeProject(0);
    } else {
        mainRef = unique("project:" + input.file);
        json.BeginObject(true).Field("type", "application").Field("bom-ref", mainRef).Field("name", input.file);
        json.EndObject();
    }
    json.EndObject();

    json.Key("components").BeginArray();
    for (std::size_t p = input.group ? 0 : 1; p < inv.projects.size(); ++p) writeProject(p);
    for (std::size_t i = 0; i < inv.references.size(); ++i) {
        const vb6::InventoryReference& r = inv.references[i];
        const vb6::LibraryReference& ref = r.reference;
        json.BeginObject();
        json.Field("type", "library").Field("bom-ref", referenceRefs[i]);
        const std::string file = vb6::FileNameOf(ref.path);
        json.Field("name", !file.empty() ? file : !ref.description.empty() ? ref.description : ref.raw);
        json.Field("version", r.file.version ? r.file.version->FileVersionText() : ref.version);
        if (r.file.version && !r.file.version->companyName.empty()) json.Field("publisher", r.file.version->companyName);
        if (!ref.description.empty()) json.Field("description", ref.description);
        json.Key("properties").BeginArray();
        property("quibex:vb6:kind", "type library");
        property("quibex:vb6:guid", ref.guid);
        property("quibex:vb6:version", ref.version);
        property("quibex:vb6:locale", ref.locale);
        property("quibex:vb6:path", ref.path);
        if (ref.guid.empty()) property("quibex:vb6:reference", ref.raw);
        writeFile(r.file);
        json.EndArray();
        json.EndObject();
    }
    for (std::size_t i = 0; i < inv.components.size(); ++i) {
        const vb6::InventoryComponent& c = inv.components[i];
        json.BeginObject();
        json.Field("type", "library").Field("bom-ref", componentRefs[i]);
        json.Field("name", c.object.file.empty() ? c.object.raw : c.object.file);
        json.Field("version", c.file.version ? c.file.version->FileVersionText() : c.object.version);
        if (c.file.version && !c.file.version->companyName.empty()) json.Field("publisher", c.file.version->companyName);
        if (c.file.version && !c.file.version->fileDescription.empty()) {
            json.Field("description", c.file.version->fileDescription);
        }
        json.Key("properties").BeginArray();
        property("quibex:vb6:kind", "ActiveX component");
        property("quibex:vb6:guid", c.object.guid);
        property("quibex:vb6:version", c.object.version);
        property("quibex:vb6:locale", c.object.locale);
        property("quibex:vb6:file", c.object.file);
        property("quibex:vb6:library", c.library);
        property("quibex:vb6:controls", std::to_string(c.controls));
        if (c.Unused()) property("quibex:vb6:unused", "true");
        writeFile(c.file);
        json.EndArray();
        json.EndObject();
    }
    for (std::size_t s = 0; s < inv.subProjects.size(); ++s) {
        if (!outsideFirst[s]) continue;
        const vb6::InventorySubProject& sub = inv.subProjects[s];
        std::string name = vb6::FileNameOf(sub.written);
        if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
        json.BeginObject(true).Field("type", "library").Field("bom-ref", outsideRefs[s]).Field("name", name);
        json.Key("properties").BeginArray(true);
        property("quibex:vb6:kind", "project");
        property("quibex:vb6:path", sub.written);
        property("quibex:vb6:present", sub.fullPath.empty() ? "false" : "true");
        json.EndArray().EndObject();
    }
    json.EndArray();

    // Each project depends on its libraries, components and the projects it
    // references; every component is listed, with no dependencies of its own.
    std::vector<std::vector<std::string>> dependsOn(inv.projects.size());
    for (std::size_t i = 0; i < inv.references.size(); ++i) {
        for (std::size_t p : inv.references[i].projects) dependsOn[p].push_back(referenceRefs[i]);
    }
    for (std::size_t i = 0; i < inv.components.size(); ++i) {
        for (std::size_t p : inv.components[i].projects) dependsOn[p].push_back(componentRefs[i]);
    }
    for (std::size_t s = 0; s < inv.subProjects.size(); ++s) {
        const vb6::InventorySubProject& sub = inv.subProjects[s];
        const std::string& ref = sub.project ? projectRefs[*sub.project] : outsideRefs[s];
        if (sub.project == sub.from) continue;
        if (std::find(dependsOn[sub.from].begin(), dependsOn[sub.from].end(), ref) == dependsOn[sub.from].end()) {
            dependsOn[sub.from].push_back(ref);
        }
    }
    auto dependency = [&](const std::string& ref, const std::vector<std::string>& on) {
        json.BeginObject(true).Field("ref", ref).Key("dependsOn").BeginArray(true);
        for (const std::string& o : on) json.String(o);
        json.EndArray().EndObject();
    };
    json.Key("dependencies").BeginArray();
    if (!mainRef.empty()) dependency(mainRef, input.group ? projectRefs : std::vector<std::string>());
    for (std::size_t p = 0; p < inv.projects.size(); ++p) dependency(projectRefs[p], dependsOn[p]);
    for (const std::string& ref : referenceRefs) dependency(ref, {});
    for (const std::string& ref : componentRefs) dependency(ref, {});
    for (std::size_t s = 0; s < inv.subProjects.size(); ++s) {
        if (outsideFirst[s]) dependency(outsideRefs[s], {});
    }
    json.EndArray();
    json.EndObject();
    json.Finish();
    out << text;
}

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

}  // namespace quibex::report
