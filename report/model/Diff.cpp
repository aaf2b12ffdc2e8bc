#include "report/model/Diff.h"

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "engine/CodePage.h"
#include "engine/Paths.h"

namespace quibex::report {

namespace {

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

// Each member once: the first listing of a path stands for every other.
void AddOnce(Snapshot& snapshot, std::map<std::string, bool>& seen, MemberFigures member) {
    if (seen.emplace(AsciiLower(member.path), true).second) snapshot.members.push_back(std::move(member));
}

// Procedures paired by kind and name (in any letter case), the n-th of a
// name with the n-th.
std::vector<ProcedureChange> ProcedureChanges(const MemberFigures& before, const MemberFigures& after) {
    auto key = [](const ProcedureFigures& p) { return p.kind + " " + AsciiLower(p.name); };
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
    const json doc = json::parse(in, nullptr, false);
    if (doc.is_discarded() || !doc.is_object() || !doc.contains("members") || !doc["members"].is_array() ||
        !doc.contains("projects") || !doc["projects"].is_array()) {
        throw std::runtime_error("not a report of 'quibex-report --detail --format json'");
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

const std::vector<DiffFigure>& DiffFigures() {
    static const std::vector<DiffFigure> figures = {
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
    return figures;
}

bool MemberChange::Changed() const {
    if (!before || !after) return true;
    for (const DiffFigure& f : DiffFigures()) {
        if (f.of(*before) != f.of(*after)) return true;
    }
    return !procedures.empty();
}

DiffResult CompareSnapshots(const Snapshot& before, const Snapshot& after) {
    std::map<std::string, const MemberFigures*> old;
    for (const MemberFigures& m : before.members) old.emplace(AsciiLower(m.path), &m);
    DiffResult result;
    for (const MemberFigures& m : after.members) {
        auto it = old.find(AsciiLower(m.path));
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
        if (old.count(AsciiLower(m.path))) result.removed.push_back({&m, nullptr, {}});
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

}  // namespace quibex::report
