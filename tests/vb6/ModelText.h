#pragma once
// Helpers for the source model's tests: texts made of lines, reading in
// pieces, and a model written out whole so that two can be compared.

#include <string>
#include <string_view>
#include <vector>

#include "engine/LineScanner.h"
#include "vb6/SourceReader.h"

namespace quibex::vb6::test {

// The lines joined, each ended by `eol`.
inline std::string Joined(const std::vector<std::string>& lines, std::string_view eol = "\r\n") {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += eol;
    }
    return text;
}

// The model of `text` read `piece` bytes at a time.
inline MemberModel ReadInPieces(std::string_view text, std::size_t piece, const CodePage& codePage = CodePage{}) {
    SourceReader reader(codePage);
    for (std::size_t at = 0; at < text.size(); at += piece) {
        reader.Feed(text.data() + at, std::min(piece, text.size() - at));
    }
    return reader.Finish();
}

// The lines the engine counts in `text`.
inline Figure EngineLines(std::string_view text, const CodePage& codePage = CodePage{}) {
    Figure lines = 0;
    LineScanner scanner(codePage);
    auto sink = [&](Figure, bool) { ++lines; };
    scanner.Feed(text.data(), text.size(), sink);
    scanner.Finish(sink);
    return lines;
}

// Every figure and name of a model, one per line.
inline std::string Describe(const MemberModel& m) {
    std::string out;
    auto counts = [](const LineCounts& l) {
        std::string s;
        for (LineClass c : kLineClasses) s += std::to_string(l[c]) + " ";
        return s;
    };
    out += "lines " + counts(m.lines) + "\n";
    out += "designer " + m.designerClass + " " + m.designerName + "\n";
    for (const Procedure& p : m.procedures) {
        out += "procedure " + p.name + " " + std::string(ProcedureKindName(p.kind)) + " " +
               std::string(ScopeName(p.scope)) + (p.isStatic ? " static " : " ") + std::to_string(p.firstLine) + "-" +
               std::to_string(p.lastLine) + (p.ended ? "" : " unended") + " cc " + std::to_string(p.complexity) +
               " nest " + std::to_string(p.nesting) + " lines " + counts(p.lines) +
               (p.handler ? "handler " + p.handlerObject : "") + "\n";
    }
    for (const Declare& d : m.declares) {
        out += "declare " + d.name + " " + d.library + " " + d.alias + " " + std::to_string(d.line) + "\n";
    }
    for (const Control& c : m.controls) {
        out += "control " + c.className + " " + c.name + " " + (c.index ? std::to_string(*c.index) : "-") + " " +
               std::to_string(c.depth) + " " + std::to_string(c.line) + "\n";
    }
    for (const ObjectReference& o : m.objects) out += "object " + o.guid + " " + o.version + " " + o.file + "\n";
    for (const std::string& f : m.binaryFiles) out += "binary " + f + "\n";
    for (const std::string& w : m.withEvents) out += "withevents " + w + "\n";
    const FileFacts& f = m.file;
    out += "facts " + std::to_string(f.crlf) + " " + std::to_string(f.lf) + " " + std::to_string(f.cr) + " " +
           std::to_string(f.firstLf) + " " + std::to_string(f.firstCr) + " " + std::to_string(f.lastLineUnterminated) +
           " " + std::to_string(f.nulBytes) + " " + std::to_string(f.firstNulLine) + " " + std::to_string(f.utf8Bom) +
           " " + std::to_string(f.invalidDoubleByte) + " " + std::to_string(f.firstInvalidDoubleByteLine) + "\n";
    return out;
}

}  // namespace quibex::vb6::test
