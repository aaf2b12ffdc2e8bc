#include "report/writers/InventoryWriter.h"

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "engine/Paths.h"
#include "report/text/Escape.h"
#include "report/text/JsonWriter.h"
#include "report/text/Utf8.h"

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

// Paths below the folder of the project or group file are shown relative to it.
class Names {
public:
    Names(const InventoryInput& input, const Inventory& inventory)
        : in_(input), inv_(inventory), base_(FolderOf(input.fullFile)) {}

    std::string Path(const std::string& full) const { return PathBelow(full, base_); }
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

}  // namespace quibex::report
