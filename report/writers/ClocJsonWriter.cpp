#include "report/writers/ClocJsonWriter.h"

#include <algorithm>
#include <vector>

#include "common/Version.h"
#include "engine/CodePage.h"
#include "engine/Paths.h"
#include "report/text/JsonWriter.h"

namespace quibex::report {

namespace {

struct ClocCounts {
    Figure files = 0, blank = 0, comment = 0, code = 0;
};
Figure ClocComment(const vb6::LineCounts& l) {
    return l[vb6::LineClass::Comment] + l[vb6::LineClass::Attribute] + l[vb6::LineClass::Designer];
}

}  // namespace

void WriteClocJson(const ReportData& report, const DetailData& detail, bool byFile, const std::string& baseFolder,
                   double elapsedSeconds, std::ostream& out) {
    struct Counts {
        Figure blank = 0, comment = 0, code = 0;
    };
    auto countsOf = [](const vb6::LineCounts& l) {
        return Counts{l[vb6::LineClass::Blank], ClocComment(l), l[vb6::LineClass::Code]};
    };
    // Each file once: by its full path, in any letter case (Windows paths
    // keep the case the project wrote).
    std::vector<std::string> seen;
    std::vector<std::pair<std::string, Counts>> files;
    for (std::size_t i = 0; i < detail.members.size() && i < detail.fullPaths.size(); ++i) {
        const std::string& full = detail.fullPaths[i];
        if (full.empty()) continue;
        std::string key = AsciiLower(full);
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(std::move(key));
        files.emplace_back(PathBelow(full, baseFolder), countsOf(detail.members[i].lines));
    }
    Counts sum;
    for (const auto& [name, c] : files) {
        sum.blank += c.blank;
        sum.comment += c.comment;
        sum.code += c.code;
    }
    const Figure nFiles = static_cast<Figure>(files.size());
    const Figure nLines = sum.blank + sum.comment + sum.code;
    const double seconds = std::max(elapsedSeconds, 1e-6);

    std::string text;
    JsonWriter json(text);
    json.BeginObject();
    json.Key("header").BeginObject();
    json.Field("quibex_version", QUIBEX_VERSION_TEXT);
    json.Key("elapsed_seconds").Number(elapsedSeconds);
    json.Field("n_files", nFiles).Field("n_lines", nLines);
    json.Key("files_per_second").Number(static_cast<double>(nFiles) / seconds);
    json.Key("lines_per_second").Number(static_cast<double>(nLines) / seconds);
    json.Field("report_file", report.file);
    json.EndObject();
    if (byFile) {
        for (const auto& [name, c] : files) {
            json.Key(name).BeginObject(true);
            json.Field("blank", c.blank).Field("comment", c.comment).Field("code", c.code);
            json.Field("language", "Visual Basic 6");
            json.EndObject();
        }
    } else {
        json.Key("Visual Basic 6").BeginObject(true);
        json.Field("nFiles", nFiles).Field("blank", sum.blank).Field("comment", sum.comment).Field("code", sum.code);
        json.EndObject();
    }
    json.Key("SUM").BeginObject(true);
    json.Field("blank", sum.blank).Field("comment", sum.comment).Field("code", sum.code).Field("nFiles", nFiles);
    json.EndObject();
    json.EndObject();
    json.Finish();
    out << text;
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

}  // namespace quibex::report
