#include "report/model/Diff.h"

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "engine/CodePage.h"
#include "report/text/JsonReading.h"
#include "report/text/JsonWriter.h"
#include "ui/Version.h"

namespace quibex::report {

namespace {

bool IsGroupFile(const std::string& file) {
    return file.size() >= 4 && EqualsIgnoringCase(std::string_view(file).substr(file.size() - 4), ".vbg");
}

// `folder` and `path` joined, "." and ".." folded, "\" between the parts.
std::string Joined(std::string_view folder, std::string_view path) {
    std::vector<std::string> parts;
    auto add = [&](std::string_view text) {
        std::string part;
        auto end = [&] {
            if (part == "..") {
                if (!parts.empty() && parts.back() != "..") {
                    parts.pop_back();
                } else {
                    parts.push_back(part);
                }
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        };
        for (char c : text) {
            if (c == '\\' || c == '/') {
                end();
            } else {
                part += c;
            }
        }
        end();
    };
    add(folder);
    add(path);
    std::string joined;
    for (const std::string& p : parts) joined += (joined.empty() ? "" : "\\") + p;
    return joined;
}

std::string FolderOf(std::string_view path) {
    const std::size_t sep = path.find_last_of("/\\");
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep));
}

std::string Key(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    }
    return text;
}

// Each member once: the first listing of a path stands for every other.
void AddOnce(Snapshot& snapshot, std::map<std::string, bool>& seen, MemberFigures member) {
    if (seen.emplace(Key(member.path), true).second) snapshot.members.push_back(std::move(member));
}

}  // namespace

Snapshot SnapshotOf(const Analysis& analysis) {
    Snapshot snapshot;
    snapshot.file = analysis.report.file;
    const DetailData empty;
    const DetailData& detail = analysis.detail ? *analysis.detail : empty;
    const bool group = IsGroupFile(analysis.report.file);
    std::map<std::string, bool> seen;
    for (const vb6::ProjectFacts& project : detail.projects) {
        const std::string folder = group ? FolderOf(project.path) : std::string();
        for (Figure k = 0; k < project.memberCount; ++k) {
            const auto i = static_cast<std::size_t>(project.firstMember + k);
            if (i >= analysis.report.members.size()) break;
            const MemberRecord& record = analysis.report.members[i].record;
            MemberFigures m;
            m.path = Joined(folder, record.Path);
            m.type = record.TypeName;
            m.read = i < detail.fullPaths.size() && !detail.fullPaths[i].empty();
            m.fileSize = record.FileSize;
            m.binarySize = record.BinarySize;
            if (i < detail.members.size()) {
                const vb6::MemberModel& model = detail.members[i];
                m.lines = model.lines;
                for (const vb6::Procedure& p : model.procedures) {
                    m.procedures.push_back({p.name, std::string(vb6::ProcedureKindName(p.kind)), p.lines.Total(), p.complexity});
                }
            }
            AddOnce(snapshot, seen, std::move(m));
        }
    }
    return snapshot;
}

Snapshot ReadSnapshotJson(std::istream& in) {
    using nlohmann::json;
    constexpr std::string_view kWhat = "not a report of 'quibex-report --detail --format json'";
    json doc;
    try {
        doc = ParseJson(in);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(std::string(kWhat) + ": " + e.what());
    }
    if (!doc.is_object() || !doc.contains("members") || !doc["members"].is_array() || !doc.contains("projects") ||
        !doc["projects"].is_array()) {
        throw std::runtime_error(std::string(kWhat) + ": it has no \"members\" and \"projects\" lists");
    }
    Snapshot snapshot;
    snapshot.file = doc.value("file", "");
    const bool group = IsGroupFile(snapshot.file);
    const json& members = doc["members"];
    std::map<std::string, bool> seen;
    try {
        for (const json& project : doc["projects"]) {
            const std::string folder = group ? FolderOf(project.value("path", "")) : std::string();
            const Figure first = project["members"].value("first", Figure{0});
            const Figure count = project["members"].value("count", Figure{0});
            for (Figure k = 0; k < count; ++k) {
                const auto i = static_cast<std::size_t>(first + k);
                if (i >= members.size()) break;
                const json& j = members[i];
                MemberFigures m;
                m.path = Joined(folder, j.value("path", ""));
                m.type = j.value("type", "");
                m.read = j.value("read", false);
                m.fileSize = j.value("fileSize", Figure{0});
                m.binarySize = j.value("binarySize", Figure{0});
                if (j.contains("lines") && j["lines"].is_object()) {
                    for (vb6::LineClass c : vb6::kLineClasses) {
                        m.lines[c] = j["lines"].value(std::string(vb6::LineClassName(c)), Figure{0});
                    }
                }
                if (j.contains("procedures") && j["procedures"].is_array()) {
                    for (const json& p : j["procedures"]) {
                        Figure lines = 0;
                        if (p.contains("lines") && p["lines"].is_object()) {
                            for (const auto& [name, n] : p["lines"].items()) lines += n.get<Figure>();
                        }
                        m.procedures.push_back({p.value("name", ""), p.value("kind", ""), lines, p.value("complexity", Figure{1})});
                    }
                }
                AddOnce(snapshot, seen, std::move(m));
            }
        }
    } catch (const json::exception& e) {
        throw std::runtime_error(std::string("a report with a figure out of place: ") + e.what());
    }
    return snapshot;
}

namespace {

// The figures of a member or a side that the diff compares, by name.
struct NamedFigure {
    const char* name;
    Figure (*of)(const MemberFigures&);
};
const NamedFigure kFigures[] = {
    {"designerLines", [](const MemberFigures& m) { return m.lines[vb6::LineClass::Designer]; }},
    {"attributeLines", [](const MemberFigures& m) { return m.lines[vb6::LineClass::Attribute]; }},
    {"blankLines", [](const MemberFigures& m) { return m.lines[vb6::LineClass::Blank]; }},
    {"commentLines", [](const MemberFigures& m) { return m.lines[vb6::LineClass::Comment]; }},
    {"codeLines", [](const MemberFigures& m) { return m.lines[vb6::LineClass::Code]; }},
    {"lines", [](const MemberFigures& m) { return m.lines.Total(); }},
    {"fileSize", [](const MemberFigures& m) { return m.fileSize; }},
    {"binarySize", [](const MemberFigures& m) { return m.binarySize; }},
    {"procedures", [](const MemberFigures& m) { return static_cast<Figure>(m.procedures.size()); }},
};

struct ProcedureChange {
    const ProcedureFigures* before = nullptr;  // null: added
    const ProcedureFigures* after = nullptr;   // null: removed
};

struct MemberChange {
    const MemberFigures* before = nullptr;  // null: added
    const MemberFigures* after = nullptr;   // null: removed
    std::vector<ProcedureChange> procedures;  // only those added, removed or changed

    const MemberFigures& Either() const { return after ? *after : *before; }
    bool Changed() const {
        if (!before || !after) return true;
        for (const NamedFigure& f : kFigures) {
            if (f.of(*before) != f.of(*after)) return true;
        }
        return !procedures.empty();
    }
};

// Procedures paired by kind and name (in any letter case), the n-th of a
// name with the n-th.
std::vector<ProcedureChange> ProcedureChanges(const MemberFigures& before, const MemberFigures& after) {
    auto key = [](const ProcedureFigures& p) { return p.kind + " " + Key(p.name); };
    std::multimap<std::string, const ProcedureFigures*> old;
    for (const ProcedureFigures& p : before.procedures) old.emplace(key(p), &p);
    std::vector<ProcedureChange> changes;
    for (const ProcedureFigures& p : after.procedures) {
        auto it = old.find(key(p));
        if (it == old.end()) {
            changes.push_back({nullptr, &p});
            continue;
        }
        if (it->second->lines != p.lines || it->second->complexity != p.complexity) changes.push_back({it->second, &p});
        old.erase(it);
    }
    for (const ProcedureFigures& p : before.procedures) {
        for (auto [it, end] = old.equal_range(key(p)); it != end; ++it) {
            if (it->second == &p) changes.push_back({&p, nullptr});
        }
    }
    return changes;
}

struct DiffResult {
    std::vector<MemberChange> added, removed, changed;
    std::vector<std::pair<const MemberFigures*, const MemberFigures*>> same;
};

DiffResult Compare(const Snapshot& before, const Snapshot& after) {
    std::map<std::string, const MemberFigures*> old;
    for (const MemberFigures& m : before.members) old.emplace(Key(m.path), &m);
    DiffResult result;
    for (const MemberFigures& m : after.members) {
        auto it = old.find(Key(m.path));
        if (it == old.end()) {
            result.added.push_back({nullptr, &m, {}});
            continue;
        }
        MemberChange change{it->second, &m, ProcedureChanges(*it->second, m)};
        if (change.Changed()) {
            result.changed.push_back(std::move(change));
        } else {
            result.same.emplace_back(it->second, &m);
        }
        old.erase(it);
    }
    for (const MemberFigures& m : before.members) {
        if (old.count(Key(m.path))) result.removed.push_back({&m, nullptr, {}});
    }
    return result;
}

MemberFigures Totals(const Snapshot& side) {
    MemberFigures total;
    for (const MemberFigures& m : side.members) {
        total.lines += m.lines;
        total.fileSize += m.fileSize;
        total.binarySize += m.binarySize;
        total.procedures.insert(total.procedures.end(), m.procedures.begin(), m.procedures.end());
    }
    return total;
}

std::string Signed(Figure n) { return (n > 0 ? "+" : "") + std::to_string(n); }

std::string Padded(std::string text, std::size_t width, bool right = false) {
    if (text.size() >= width) return text;
    const std::string pad(width - text.size(), ' ');
    return right ? pad + text : text + pad;
}

std::string ProcedureName(const ProcedureFigures& p) { return p.kind + " " + p.name; }

void WriteText(const Snapshot& before, const Snapshot& after, const DiffResult& diff, std::ostream& out) {
    out << "Old: " << before.file << "\nNew: " << after.file << "\n";
    auto section = [&](const char* title, const std::vector<MemberChange>& list) {
        if (list.empty()) return;
        out << "\n" << title << " (" << list.size() << "):\n";
        for (const MemberChange& c : list) {
            const MemberFigures& m = c.Either();
            const char mark = !c.before ? '+' : !c.after ? '-' : '~';
            out << "  " << mark << ' ' << m.path << "  (" << m.type << ")\n";
            if (!c.before || !c.after) {
                out << "      " << m.lines.Total() << " lines, " << m.lines[vb6::LineClass::Code] << " of code, "
                    << m.procedures.size() << (m.procedures.size() == 1 ? " procedure\n" : " procedures\n");
                continue;
            }
            for (const NamedFigure& f : kFigures) {
                const Figure a = f.of(*c.before), b = f.of(*c.after);
                if (a == b) continue;
                out << "      " << Padded(f.name, 16) << Padded(std::to_string(a), 10, true) << " -> "
                    << Padded(std::to_string(b), 10, true) << "  (" << Signed(b - a) << ")\n";
            }
            for (const ProcedureChange& p : c.procedures) {
                if (!p.before) {
                    out << "      + " << ProcedureName(*p.after) << ": " << p.after->lines << " lines, complexity "
                        << p.after->complexity << "\n";
                } else if (!p.after) {
                    out << "      - " << ProcedureName(*p.before) << "\n";
                } else {
                    out << "      ~ " << ProcedureName(*p.after) << ": lines " << p.before->lines << " -> "
                        << p.after->lines << ", complexity " << p.before->complexity << " -> " << p.after->complexity
                        << "\n";
                }
            }
        }
    };
    section("Members added", diff.added);
    section("Members removed", diff.removed);
    section("Members changed", diff.changed);
    out << "\nMembers unchanged: " << diff.same.size() << "\n";
    const MemberFigures a = Totals(before), b = Totals(after);
    out << "\n" << Padded("Totals", 18) << Padded("before", 10, true) << Padded("after", 11, true)
        << Padded("change", 10, true) << "\n";
    auto row = [&](const std::string& name, Figure x, Figure y) {
        out << "  " << Padded(name, 16) << Padded(std::to_string(x), 10, true) << Padded(std::to_string(y), 11, true)
            << Padded(Signed(y - x), 10, true) << "\n";
    };
    row("members", static_cast<Figure>(before.members.size()), static_cast<Figure>(after.members.size()));
    for (const NamedFigure& f : kFigures) row(f.name, f.of(a), f.of(b));
}

void WriteMemberJson(JsonWriter& json, const MemberFigures& m) {
    json.Field("path", m.path).Field("type", m.type).Field("read", m.read);
    for (const NamedFigure& f : kFigures) json.Field(f.name, f.of(m));
}

void WriteProcedureJson(JsonWriter& json, const ProcedureFigures& p) {
    json.BeginObject(true).Field("name", p.name).Field("kind", p.kind).Field("lines", p.lines);
    json.Field("complexity", p.complexity).EndObject();
}

void WriteChangeJson(JsonWriter& json, const MemberChange& c) {
    json.BeginObject();
    json.Field("path", c.after->path).Field("type", c.after->type);
    json.Key("figures").BeginObject();
    for (const NamedFigure& f : kFigures) {
        const Figure a = f.of(*c.before), b = f.of(*c.after);
        if (a == b) continue;
        json.Key(f.name).BeginObject(true).Field("before", a).Field("after", b).Field("change", b - a).EndObject();
    }
    json.EndObject();
    json.Key("procedures").BeginObject();
    json.Key("added").BeginArray();
    for (const ProcedureChange& p : c.procedures) {
        if (!p.before) WriteProcedureJson(json, *p.after);
    }
    json.EndArray();
    json.Key("removed").BeginArray();
    for (const ProcedureChange& p : c.procedures) {
        if (!p.after) WriteProcedureJson(json, *p.before);
    }
    json.EndArray();
    json.Key("changed").BeginArray();
    for (const ProcedureChange& p : c.procedures) {
        if (!p.before || !p.after) continue;
        json.BeginObject(true).Field("name", p.after->name).Field("kind", p.after->kind);
        json.Key("lines").BeginObject(true).Field("before", p.before->lines).Field("after", p.after->lines).EndObject();
        json.Key("complexity").BeginObject(true).Field("before", p.before->complexity);
        json.Field("after", p.after->complexity).EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.EndObject();
}

void WriteJson(const Snapshot& before, const Snapshot& after, const DiffResult& diff, std::ostream& out) {
    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Field("old", before.file).Field("new", after.file);
    json.Key("added").BeginArray();
    for (const MemberChange& c : diff.added) {
        json.BeginObject(true);
        WriteMemberJson(json, *c.after);
        json.EndObject();
    }
    json.EndArray();
    json.Key("removed").BeginArray();
    for (const MemberChange& c : diff.removed) {
        json.BeginObject(true);
        WriteMemberJson(json, *c.before);
        json.EndObject();
    }
    json.EndArray();
    json.Key("changed").BeginArray();
    for (const MemberChange& c : diff.changed) WriteChangeJson(json, c);
    json.EndArray();
    json.Field("unchanged", static_cast<Figure>(diff.same.size()));
    const MemberFigures a = Totals(before), b = Totals(after);
    for (auto [name, side, count] : {std::tuple{"before", &a, before.members.size()}, {"after", &b, after.members.size()}}) {
        json.Key(name).BeginObject(true).Field("members", static_cast<Figure>(count));
        for (const NamedFigure& f : kFigures) json.Field(f.name, f.of(*side));
        json.EndObject();
    }
    json.EndObject();
    json.Finish();
    out << text;
}

// cloc counts comment lines as comment, attribute and designer lines, as
// the cloc-json report does.
struct ClocCounts {
    Figure files = 0, blank = 0, comment = 0, code = 0;
};
Figure ClocComment(const vb6::LineCounts& l) {
    return l[vb6::LineClass::Comment] + l[vb6::LineClass::Attribute] + l[vb6::LineClass::Designer];
}

void WriteClocDiff(const Snapshot& before, const Snapshot& after, const DiffResult& diff, std::ostream& out) {
    // No line of text is kept, so lines are paired by count: of a class,
    // the lines both sides have are "same", the rest added or removed; a
    // file whose figures changed is "modified".
    ClocCounts added, same, modified, removed;
    auto all = [](ClocCounts& c, const MemberFigures& m) {
        ++c.files;
        c.blank += m.lines[vb6::LineClass::Blank];
        c.comment += ClocComment(m.lines);
        c.code += m.lines[vb6::LineClass::Code];
    };
    for (const MemberChange& c : diff.added) all(added, *c.after);
    for (const MemberChange& c : diff.removed) all(removed, *c.before);
    for (const auto& [a, b] : diff.same) all(same, *b);
    for (const MemberChange& c : diff.changed) {
        ++modified.files;
        const vb6::LineCounts& x = c.before->lines;
        const vb6::LineCounts& y = c.after->lines;
        const Figure pairs[3][2] = {{x[vb6::LineClass::Blank], y[vb6::LineClass::Blank]},
                                    {ClocComment(x), ClocComment(y)},
                                    {x[vb6::LineClass::Code], y[vb6::LineClass::Code]}};
        Figure* sameOf[3] = {&same.blank, &same.comment, &same.code};
        Figure* addedOf[3] = {&added.blank, &added.comment, &added.code};
        Figure* removedOf[3] = {&removed.blank, &removed.comment, &removed.code};
        for (int k = 0; k < 3; ++k) {
            *sameOf[k] += std::min(pairs[k][0], pairs[k][1]);
            *addedOf[k] += std::max<Figure>(0, pairs[k][1] - pairs[k][0]);
            *removedOf[k] += std::max<Figure>(0, pairs[k][0] - pairs[k][1]);
        }
    }
    std::string text;
    JsonWriter json(text);
    auto counts = [&](const ClocCounts& c) {
        json.BeginObject(true).Field("nFiles", c.files).Field("blank", c.blank).Field("comment", c.comment);
        json.Field("code", c.code).EndObject();
    };
    json.BeginObject();
    json.Key("header").BeginObject();
    json.Field("quibex_version", QUIBEX_VERSION_TEXT).Field("old", before.file).Field("new", after.file);
    json.EndObject();
    const std::pair<const char*, const ClocCounts*> parts[] = {
        {"added", &added}, {"same", &same}, {"modified", &modified}, {"removed", &removed}};
    for (const auto& [name, c] : parts) {
        json.Key(name).BeginObject();
        json.Key("Visual Basic 6");
        counts(*c);
        json.EndObject();
    }
    json.Key("SUM").BeginObject();
    for (const auto& [name, c] : parts) {
        json.Key(name);
        counts(*c);
    }
    json.EndObject();
    json.EndObject();
    json.Finish();
    out << text;
}

}  // namespace

void WriteDiff(const Snapshot& before, const Snapshot& after, DiffFormat format, std::ostream& out) {
    const DiffResult diff = Compare(before, after);
    switch (format) {
        case DiffFormat::Text: WriteText(before, after, diff, out); break;
        case DiffFormat::Json: WriteJson(before, after, diff, out); break;
        case DiffFormat::ClocJson: WriteClocDiff(before, after, diff, out); break;
    }
}

}  // namespace quibex::report
