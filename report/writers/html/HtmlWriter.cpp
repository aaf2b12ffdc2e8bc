#include "report/writers/html/HtmlWriter.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "engine/Paths.h"
#include "engine/mdlFill.h"
#include "report/writers/JsonReportWriter.h"
#include "report/writers/html/HtmlAssets.h"
#include "report/text/Escape.h"
#include "report/text/JsonWriter.h"
#include "report/text/Sha256.h"
#include "report/writers/html/Treemap.h"
#include "report/text/Utf8.h"
#include "common/Version.h"

namespace quibex::report {

namespace {

// The treemap's drawing area in SVG units; the page scales it to its width.
constexpr double kMapWidth = 1200;
constexpr double kMapHeight = 640;
// A tile smaller than a pixel of that area is folded into "n more".
constexpr double kMinTileArea = 1.0;
// And past this many tiles the smallest are folded too: a browser draws
// a hundred thousand SVG shapes in seconds, ten thousand at once.
constexpr std::size_t kMostTiles = 10000;
constexpr double kLabelHeight = 16;  // a project's name above its members
constexpr double kCharWidth = 6.4;   // an 11px label character, roughly

// How many rows a server-built table shows at most.
constexpr std::size_t kTopProcedures = 25;
constexpr std::size_t kMostControls = 100;
constexpr std::size_t kMostDeclares = 300;
constexpr std::size_t kMostProblems = 200;

std::string Num(Figure n) { return std::to_string(n); }

std::string Coordinate(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

// The first `limit` characters of UTF-8 `text`, with "…" when cut.
std::string Shortened(std::string_view text, std::size_t limit) {
    if (CharacterCount(text) <= limit) return std::string(text);
    if (limit == 0) return {};
    std::size_t chars = 0, i = 0;
    while (i < text.size()) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == limit - 1) break;
            ++chars;
        }
        ++i;
    }
    return std::string(text.substr(0, i)) + "\xE2\x80\xA6";
}

// The colour class of a member, "k0" to "k7" in the style sheet: its kind's
// place among the count labels, or the one after the last for anything else.
std::string KindClass(std::string_view typeName) {
    std::size_t k = 0;
    while (k < std::size(kMemberKinds) && kMemberKinds[k].typeName != typeName) ++k;
    return "k" + std::to_string(k);
}

Figure MemberLines(const MemberRow& m) { return m.record.InterfaceLines + m.record.CodeLines; }

class Page {
public:
    Page(const ReportData& report, const DetailData* detail, std::ostream& out)
        : report_(report), detail_(detail), out_(out) {
        projectOf_.assign(report.members.size(), -1);
        for (std::size_t p = 0; p < report.projects.size(); ++p) {
            const ProjectSpan& span = report.projects[p];
            for (std::size_t i = span.firstMember; i < span.firstMember + span.memberCount && i < projectOf_.size(); ++i) {
                projectOf_[i] = static_cast<int>(p);
            }
        }
        read_.assign(report.members.size(), true);
        for (const UnreadableMember& u : report.unreadable) {
            if (u.member < read_.size()) read_[u.member] = false;
        }
    }

    void Write(std::string_view generatedAt) {
        const std::string title = "Quibex report: " + report_.file;
        html_ += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
        // Nothing but the page itself: its own style, its one script by
        // hash, no loads from anywhere.
        html_ += "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
                 "script-src " + ScriptHashSource(kHtmlScript) + "; img-src data:; base-uri 'none'; form-action 'none'\">\n";
        html_ += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
        html_ += "<meta name=\"generator\" content=\"quibex-report " QUIBEX_VERSION_TEXT "\">\n";
        html_ += "<title>" + HtmlEscape(title) + "</title>\n<style>" + std::string(kHtmlStyle) + "</style>\n</head>\n<body>\n";
        Header(generatedAt);
        Problems();
        Treemap();
        MemberTable();
        if (detail_) {
            LineSplit();
            Procedures();
            Controls();
            Declares();
            References();
        }
        html_ += "<footer>Made by quibex-report " QUIBEX_VERSION_TEXT " from " + HtmlEscape(report_.file) + ".</footer>\n";
        html_ += "<div id=\"tip\" class=\"tip\" role=\"tooltip\" hidden></div>\n";
        Data();
        html_ += "<script>" + std::string(kHtmlScript) + "</script>\n</body>\n</html>\n";
        Flush();
    }

private:
    void Flush() {
        out_ << html_;
        html_.clear();
    }

    void Header(std::string_view generatedAt) {
        html_ += "<header>\n<h1>" + HtmlEscape(report_.file) + "</h1>\n<p class=\"meta\">";
        if (IsGroupFile(report_.file)) {
            html_ += "Project group of " + std::to_string(report_.projects.size()) + " project" +
                     (report_.projects.size() == 1 ? "" : "s");
        } else {
            html_ += "Project";
            if (detail_ && detail_->projects.size() == 1) {
                const vb6::ProjectFacts& p = detail_->projects[0];
                if (!p.name.empty()) html_ += " " + HtmlEscape(p.name);
                if (!p.title.empty()) html_ += " \xE2\x80\x93 " + HtmlEscape(p.title);
            }
        }
        html_ += " \xC2\xB7 " + std::to_string(report_.members.size()) + " members \xC2\xB7 " +
                 HtmlEscape(generatedAt) + " \xC2\xB7 Quibex " QUIBEX_VERSION_TEXT "</p>\n<dl class=\"figures\">\n";
        auto figure = [&](std::string_view caption, Label label) {
            html_ += "<div><dt>" + std::string(caption) + "</dt><dd>" + HtmlEscape(report_.Text(label)) + "</dd></div>\n";
        };
        for (const MemberKind& kind : kMemberKinds) figure(kind.typeName, kind.countLabel);
        figure("Binary", Label::LabelBinaryTotalT);
        figure("Interface", Label::LabelInterfaceTotalT);
        figure("Code", Label::LabelCodeTotalT);
        figure("Total", Label::LabelTotalFileT);
        html_ += "</dl>\n</header>\n";
    }

    void Problems() {
        if (report_.error.empty() && report_.unreadable.empty()) return;
        html_ += "<section class=\"problems\" id=\"problems\">\n<h2>Not read</h2>\n<ul>\n";
        if (!report_.error.empty()) {
            html_ += "<li><strong>Reading stopped:</strong> " + HtmlEscape(report_.error) +
                     " The figures below are those read before.</li>\n";
        }
        std::size_t shown = 0;
        for (const UnreadableMember& u : report_.unreadable) {
            if (shown++ == kMostProblems) break;
            const std::string path = u.member < report_.members.size() ? report_.members[u.member].record.Path : "";
            html_ += "<li>" + HtmlEscape(path.empty() ? std::string("(no file name)") : path) + ": " +
                     HtmlEscape(u.reason) + "</li>\n";
        }
        if (report_.unreadable.size() > kMostProblems) {
            html_ += "<li>and " + std::to_string(report_.unreadable.size() - kMostProblems) +
                     " more members not read</li>\n";
        }
        html_ += "</ul>\n</section>\n";
    }

    void TileLabel(double x, double y, double width, std::string_view text, const char* cls) {
        const auto chars = static_cast<std::size_t>((width - 6) / kCharWidth);
        if (chars < 3) return;
        html_ += "<text x=\"" + Coordinate(x + 3) + "\" y=\"" + Coordinate(y + 12) + "\"";
        if (cls) html_ += std::string(" class=\"") + cls + "\"";
        html_ += ">" + HtmlEscape(Shortened(text, chars)) + "</text>\n";
    }

    // The members `indices` as tiles in `frame`, the smallest folded into one.
    void Tiles(std::vector<std::size_t> indices, const Rect& frame, std::size_t mostTiles) {
        std::erase_if(indices, [&](std::size_t i) { return MemberLines(report_.members[i]) <= 0; });
        std::stable_sort(indices.begin(), indices.end(), [&](std::size_t a, std::size_t b) {
            return MemberLines(report_.members[a]) > MemberLines(report_.members[b]);
        });
        std::vector<double> weights;
        for (std::size_t i : indices) weights.push_back(static_cast<double>(MemberLines(report_.members[i])));
        const std::size_t own = std::min(TilesOfAtLeast(weights, frame.Area(), kMinTileArea), mostTiles);
        Figure restLines = 0;
        for (std::size_t k = own; k < indices.size(); ++k) restLines += MemberLines(report_.members[indices[k]]);
        weights.resize(own);
        if (own < indices.size()) weights.push_back(static_cast<double>(restLines));
        const std::vector<Rect> tiles = SquarifiedLayout(weights, frame);
        for (std::size_t k = 0; k < tiles.size(); ++k) {
            const Rect& t = tiles[k];
            const std::string place = "x=\"" + Coordinate(t.x) + "\" y=\"" + Coordinate(t.y) + "\" width=\"" +
                                      Coordinate(t.width) + "\" height=\"" + Coordinate(t.height) + "\"";
            if (k < own) {
                const MemberRow& m = report_.members[indices[k]];
                html_ += "<rect class=\"tile " + KindClass(m.record.TypeName) + "\" data-i=\"" +
                         std::to_string(indices[k]) + "\" " + place + "/>\n";
                if (t.height >= 14) TileLabel(t.x, t.y, t.width, m.name, nullptr);
            } else {
                const std::string more = std::to_string(indices.size() - own);
                html_ += "<rect class=\"tile k7\" data-more=\"" + more + "\" data-lines=\"" + Num(restLines) + "\" " +
                         place + "/>\n";
                if (t.height >= 14) TileLabel(t.x, t.y, t.width, more + " more", nullptr);
            }
            if (html_.size() > (1u << 20)) Flush();
        }
    }

    void Treemap() {
        Figure lines = 0;
        for (const MemberRow& m : report_.members) lines += MemberLines(m);
        if (lines <= 0) return;
        html_ += "<section id=\"treemap\">\n<h2>Members by lines</h2>\n";
        html_ += "<div class=\"mapbox\"><svg id=\"map\" class=\"map\" viewBox=\"0 0 " + Coordinate(kMapWidth) + " " + Coordinate(kMapHeight) +
                 "\" role=\"img\" aria-label=\"Treemap of the members: area is lines, colour is kind\">\n";
        const Rect frame{0, 0, kMapWidth, kMapHeight};
        if (report_.projects.size() > 1) {
            // A group: each project a frame of its own, its members inside.
            std::vector<double> weights;
            std::vector<std::vector<std::size_t>> membersOf(report_.projects.size());
            for (std::size_t i = 0; i < report_.members.size(); ++i) {
                if (projectOf_[i] >= 0) membersOf[static_cast<std::size_t>(projectOf_[i])].push_back(i);
            }
            for (const auto& list : membersOf) {
                Figure sum = 0;
                for (std::size_t i : list) sum += MemberLines(report_.members[i]);
                weights.push_back(static_cast<double>(sum));
            }
            const std::vector<Rect> frames = SquarifiedLayout(weights, frame);
            for (std::size_t p = 0; p < frames.size(); ++p) {
                const Rect& f = frames[p];
                if (f.Area() <= 0) continue;
                html_ += "<rect class=\"project\" x=\"" + Coordinate(f.x) + "\" y=\"" + Coordinate(f.y) + "\" width=\"" +
                         Coordinate(f.width) + "\" height=\"" + Coordinate(f.height) + "\"/>\n";
                const bool named = f.height >= 3 * kLabelHeight && f.width >= 60;
                if (named) TileLabel(f.x, f.y, f.width, report_.projects[p].path, "pl");
                const double top = named ? kLabelHeight : 1;
                // The tiles shared out as the lines are.
                const auto most = static_cast<std::size_t>(static_cast<double>(kMostTiles) * weights[p] / static_cast<double>(lines)) + 1;
                Tiles(membersOf[p], Rect{f.x + 1, f.y + top, std::max(0.0, f.width - 2), std::max(0.0, f.height - top - 1)}, most);
            }
        } else {
            std::vector<std::size_t> all(report_.members.size());
            for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
            Tiles(std::move(all), frame, kMostTiles);
        }
        html_ += "</svg></div>\n<ul class=\"legend\">\n";
        for (std::size_t k = 0; k < std::size(kMemberKinds); ++k) {
            const MemberKind& kind = kMemberKinds[k];
            if (LeadingNumber(report_.Text(kind.countLabel)) == 0) continue;
            html_ += "<li><span class=\"swatch k" + std::to_string(k) + "\"></span>" + std::string(kind.typeName) + " " +
                     HtmlEscape(report_.Text(kind.countLabel)) + "</li>\n";
        }
        html_ += "<li>Area: lines. Hover a tile for its figures, click it for its row.</li>\n</ul>\n</section>\n";
    }

    void MemberTable() {
        html_ += "<section id=\"table\">\n<h2>Members</h2>\n<div class=\"controls\">"
                 "<input id=\"filter\" type=\"search\" placeholder=\"Filter by path, name or type\" "
                 "aria-label=\"Filter the members\"><span id=\"count\" class=\"count\"></span></div>\n"
                 "<div class=\"scroll\"><table id=\"members\"><thead><tr></tr></thead><tbody></tbody></table></div>\n"
                 "<p><button id=\"more\" type=\"button\" hidden>Show all</button></p>\n"
                 "<noscript><p>The member table is built by the page's script; quibex-report --format json gives "
                 "the same figures.</p></noscript>\n</section>\n";
    }

    void TableHead(std::initializer_list<std::string_view> cells, std::size_t left) {
        html_ += "<div class=\"scroll\"><table>\n<thead><tr>";
        std::size_t c = 0;
        for (std::string_view cell : cells) {
            html_ += c++ < left ? "<th scope=\"col\">" : "<th scope=\"col\" class=\"n\">";
            html_ += std::string(cell) + "</th>";
        }
        html_ += "</tr></thead>\n<tbody>\n";
    }
    void TableEnd(std::size_t all, std::size_t shown, std::string_view what) {
        html_ += "</tbody></table></div>\n";
        if (all > shown) {
            html_ += "<p class=\"count\">The first " + std::to_string(shown) + " of " + std::to_string(all) + " " +
                     std::string(what) + "; quibex-report --detail --format json lists them all.</p>\n";
        }
    }
    void Cell(std::string_view text) { html_ += "<td>" + HtmlEscape(text) + "</td>"; }
    void NumberCell(Figure n) { html_ += "<td class=\"n\">" + Num(n) + "</td>"; }

    void LineSplit() {
        const vb6::LineCounts total = TotalLines(*detail_);
        const Figure all = total.Total();
        if (all <= 0) return;
        html_ += "<section id=\"lines\">\n<h2>Lines by class</h2>\n<div class=\"bar big\">";
        for (std::size_t k = 0; k < vb6::kLineClasses.size(); ++k) {
            const Figure n = total[vb6::kLineClasses[k]];
            if (n == 0) continue;
            char width[32];
            std::snprintf(width, sizeof width, "%.3f", 100.0 * static_cast<double>(n) / static_cast<double>(all));
            html_ += "<span class=\"l" + std::to_string(k) + "\" style=\"width:" + width + "%\"></span>";
        }
        html_ += "</div>\n<ul class=\"legend\">\n";
        for (std::size_t k = 0; k < vb6::kLineClasses.size(); ++k) {
            const Figure n = total[vb6::kLineClasses[k]];
            char share[32];
            std::snprintf(share, sizeof share, "%.1f", 100.0 * static_cast<double>(n) / static_cast<double>(all));
            html_ += "<li><span class=\"swatch l" + std::to_string(k) + "\"></span>" +
                     std::string(vb6::LineClassName(vb6::kLineClasses[k])) + " " + Num(n) + " (" + share + "%)</li>\n";
        }
        html_ += "</ul>\n<p class=\"count\">The member table shows each member's split in its last column.</p>\n</section>\n";
    }

    void Procedures() {
        const std::vector<RankedProcedure> ranked = MostComplex(*detail_, kTopProcedures);
        if (ranked.empty()) return;
        html_ += "<section id=\"procedures\">\n<h2>Most complex procedures</h2>\n";
        TableHead({"Procedure", "Kind", "Where", "Complexity", "Nesting", "Lines"}, 3);
        for (const RankedProcedure& r : ranked) {
            const vb6::Procedure& p = *r.procedure;
            html_ += "<tr>";
            Cell(p.name);
            Cell(vb6::ProcedureKindName(p.kind));
            Cell(ProcedurePlace(report_.members[r.member], p));
            NumberCell(p.complexity);
            NumberCell(p.nesting);
            NumberCell(p.lines.Total());
            html_ += "</tr>\n";
        }
        TableEnd(0, 0, {});
        html_ += "</section>\n";
    }

    void Controls() {
        std::vector<std::size_t> forms;
        for (std::size_t i = 0; i < detail_->members.size() && i < report_.members.size(); ++i) {
            if (detail_->members[i].controlCount > 0) forms.push_back(i);
        }
        if (forms.empty()) return;
        std::stable_sort(forms.begin(), forms.end(), [&](std::size_t a, std::size_t b) {
            return detail_->members[a].controlCount > detail_->members[b].controlCount;
        });
        html_ += "<section id=\"controls\">\n<h2>Controls per form</h2>\n";
        TableHead({"Member", "Designer", "Classes", "Controls", "Names", "Depth"}, 3);
        const std::size_t shown = std::min(forms.size(), kMostControls);
        for (std::size_t k = 0; k < shown; ++k) {
            const vb6::MemberModel& m = detail_->members[forms[k]];
            std::map<std::string, Figure> classes;
            for (const vb6::Control& c : m.controls) ++classes[c.className];
            std::vector<std::pair<std::string, Figure>> byCount(classes.begin(), classes.end());
            std::stable_sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
            std::string list;
            for (const auto& [name, n] : byCount) list += (list.empty() ? "" : ", ") + name + " \xC3\x97" + Num(n);
            html_ += "<tr>";
            Cell(report_.members[forms[k]].record.Path);
            Cell(m.designerName.empty() ? m.designerClass : m.designerName + " (" + m.designerClass + ")");
            Cell(list);
            NumberCell(m.controlCount);
            NumberCell(m.controlNames);
            NumberCell(m.controlDepth);
            html_ += "</tr>\n";
        }
        TableEnd(forms.size(), shown, "forms with controls");
        html_ += "</section>\n";
    }

    void Declares() {
        std::size_t all = 0;
        for (const vb6::MemberModel& m : detail_->members) all += m.declares.size();
        if (all == 0) return;
        html_ += "<section id=\"declares\">\n<h2>Declare statements</h2>\n";
        TableHead({"Name", "Kind", "Scope", "Library", "Alias", "Where"}, 6);
        std::size_t shown = 0;
        for (std::size_t i = 0; i < detail_->members.size() && i < report_.members.size() && shown < kMostDeclares; ++i) {
            for (const vb6::Declare& d : detail_->members[i].declares) {
                if (shown++ == kMostDeclares) break;
                html_ += "<tr>";
                Cell(d.name);
                Cell(d.isFunction ? "Function" : "Sub");
                Cell(vb6::ScopeName(d.scope));
                Cell(d.library);
                Cell(d.alias);
                Cell(report_.members[i].record.Path + ":" + Num(d.line));
                html_ += "</tr>\n";
            }
        }
        TableEnd(all, std::min(all, kMostDeclares), "Declare statements");
        html_ += "</section>\n";
    }

    void References() {
        bool any = false;
        for (const vb6::ProjectFacts& p : detail_->projects) any = any || !p.references.empty() || !p.objects.empty();
        if (!any) return;
        html_ += "<section id=\"references\">\n<h2>References and components</h2>\n";
        // A project of its own is named as the user named it; a group's
        // projects as the group does.
        const bool single = detail_->projects.size() == 1 && !IsGroupFile(report_.file);
        for (const vb6::ProjectFacts& p : detail_->projects) {
            if (p.references.empty() && p.objects.empty()) continue;
            html_ += "<h3>" + HtmlEscape(single ? report_.file : p.path);
            if (!p.type.empty()) html_ += " <span class=\"count\">" + HtmlEscape(p.type) + "</span>";
            html_ += "</h3>\n";
            if (!p.references.empty()) {
                TableHead({"Reference", "GUID", "Version", "Path"}, 4);
                for (const vb6::LibraryReference& r : p.references) {
                    html_ += "<tr>";
                    if (!r.project.empty()) {
                        Cell("project " + r.project);
                        Cell("");
                        Cell("");
                        Cell("");
                    } else if (!r.guid.empty()) {
                        Cell(r.description);
                        Cell(r.guid);
                        Cell(r.version);
                        Cell(r.path);
                    } else {
                        Cell(r.raw);
                        Cell("");
                        Cell("");
                        Cell("");
                    }
                    html_ += "</tr>\n";
                }
                TableEnd(0, 0, {});
            }
            if (!p.objects.empty()) {
                TableHead({"Component", "GUID", "Version"}, 3);
                for (const vb6::ObjectReference& o : p.objects) {
                    html_ += "<tr>";
                    Cell(o.project.empty() ? o.file : "project " + o.project);
                    Cell(o.guid);
                    Cell(o.version);
                    html_ += "</tr>\n";
                }
                TableEnd(0, 0, {});
            }
        }
        html_ += "</section>\n";
    }

    // The members for the page's script, one array each (see the field
    // numbers at the top of the script).
    void Data() {
        html_ += "<script type=\"application/json\" id=\"quibex-data\">";
        std::string json;
        JsonWriter w(json);
        w.BeginObject(true);
        w.Field("detail", detail_ != nullptr);
        w.Key("projects").BeginArray(true);
        for (const ProjectSpan& p : report_.projects) w.String(p.path);
        w.EndArray();
        w.Key("members").BeginArray(true);
        for (std::size_t i = 0; i < report_.members.size(); ++i) {
            const MemberRow& m = report_.members[i];
            const MemberRecord& r = m.record;
            w.BeginArray(true);
            w.String(r.Path).String(m.name).String(r.TypeName);
            w.Number(r.FileSize).Number(r.BinarySize).Number(r.InterfaceLines).Number(r.InterfaceBytes);
            w.Number(r.CodeLines).Number(r.CodeBytes);
            w.Number(static_cast<Figure>(projectOf_[i])).Number(static_cast<Figure>(read_[i] ? 1 : 0));
            w.String(LineFigureText(r.InterfaceLines + r.CodeLines, r.InterfaceBytes + r.CodeBytes));
            w.String(SizeText(r.FileSize + r.BinarySize));
            if (detail_ && i < detail_->members.size()) {
                const vb6::MemberModel& model = detail_->members[i];
                w.BeginArray(true);
                for (vb6::LineClass c : vb6::kLineClasses) w.Number(model.lines[c]);
                w.EndArray();
                w.Number(static_cast<Figure>(model.procedures.size())).Number(model.controlCount);
            }
            w.EndArray();
            // Between members the text stands outside every string, so it
            // can go out in pieces.
            if (json.size() > (1u << 20)) {
                html_ += ScriptSafeJson(json);
                json.clear();
                Flush();
            }
        }
        w.EndArray();
        w.EndObject();
        html_ += ScriptSafeJson(json) + "</script>\n";
    }

    const ReportData& report_;
    const DetailData* detail_;
    std::ostream& out_;
    std::string html_;
    std::vector<int> projectOf_;  // each member's project, -1 for none
    std::vector<bool> read_;
};

}  // namespace

void WriteHtml(const ReportData& report, const DetailData* detail, std::string_view generatedAt, std::ostream& out) {
    Page(report, detail, out).Write(generatedAt);
}


}  // namespace quibex::report
