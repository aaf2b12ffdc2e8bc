#include "vb6/SourceReader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "vb6/decl/DeclarationReader.h"
#include "vb6/syntax/StatementReader.h"

namespace quibex::vb6 {

namespace {

using lex::Keyword;
using lex::Op;
using lex::Token;
using lex::TokenKind;
using syntax::StatementKind;

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Names are kept up to VB6's own limit of 255 characters; a layout's file
// name up to a generous path length.
constexpr std::size_t kMaxName = 255;
constexpr std::size_t kMaxText = 1024;

std::string Bounded(std::string_view text, std::size_t limit) { return std::string(text.substr(0, limit)); }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string_view StripQuotes(std::string_view s) {
    s = TrimBlanks(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return s;
}

// A blank-separated field of a layout line, from its start.
std::string_view Field(std::string_view s) {
    std::size_t end = 0;
    while (end < s.size() && !IsBlank(static_cast<unsigned char>(s[end]))) ++end;
    return s.substr(0, end);
}

std::string_view SkipField(std::string_view s) {
    s.remove_prefix(Field(s).size());
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    return s;
}

// The objects a member's own event handlers name, by the layout block's
// class: Form_Load, UserControl_Resize, Class_Initialize, ...
std::string_view OwnObjectName(std::string_view designerClass) {
    constexpr std::pair<std::string_view, std::string_view> kOwn[] = {
        {"VB.Form", "Form"},
        {"VB.MDIForm", "MDIForm"},
        {"VB.UserControl", "UserControl"},
        {"VB.PropertyPage", "PropertyPage"},
        {"VB.UserDocument", "UserDocument"},
        {"Class", "Class"},
    };
    for (const auto& [cls, own] : kOwn) {
        if (EqualsIgnoringCase(cls, designerClass)) return own;
    }
    return {};
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    }
    return out;
}

}  // namespace

Figure LineCounts::Total() const {
    Figure total = 0;
    for (Figure n : count) total += n;
    return total;
}

LineCounts& LineCounts::operator+=(const LineCounts& other) {
    for (int i = 0; i < kLineClassCount; ++i) count[i] += other.count[i];
    return *this;
}

ObjectReference ParseObjectReference(std::string_view value) {
    ObjectReference ref;
    ref.raw = Bounded(TrimBlanks(value), kMaxText);
    const std::size_t semicolon = value.find(';');
    const std::string_view left = StripQuotes(value.substr(0, semicolon));
    if (semicolon != std::string_view::npos) ref.file = Bounded(StripQuotes(value.substr(semicolon + 1)), kMaxText);
    if (left.size() >= 3 && left[0] == '*' && left[1] == '\\' && (left[2] | 0x20) == 'a') {
        ref.project = Bounded(left.substr(3), kMaxText);
        return ref;
    }
    // {GUID}#version#locale
    const std::size_t hash1 = left.find('#');
    ref.guid = Bounded(left.substr(0, hash1), kMaxText);
    if (hash1 != std::string_view::npos) {
        const std::string_view rest = left.substr(hash1 + 1);
        const std::size_t hash2 = rest.find('#');
        ref.version = Bounded(rest.substr(0, hash2), kMaxText);
        if (hash2 != std::string_view::npos) ref.locale = Bounded(rest.substr(hash2 + 1), kMaxText);
    }
    return ref;
}

// Turns lines, statements and layout lines into the model: line classes,
// procedures with their lines and complexity, controls; the declarations
// come from the declaration layer, which sees the same statements.
class SourceReader::Builder : public syntax::StatementSink {
public:
    void OnStatement(const syntax::Statement& s) override;
    void OnLine(const syntax::PhysicalLine& line) override;
    void OnLayout(const syntax::LayoutLine& layout) override;
    MemberModel Finish(const FileFacts& facts, Figure lastLine);

private:
    void StartProcedure(const syntax::Statement& s);
    void EndProcedure(Figure lastLine, bool ended);
    void Complexity(const syntax::Statement& s);
    void Decide() { ++model_.procedures.back().complexity; }
    void Open() {
        ++depth_;
        model_.procedures.back().nesting = std::max(model_.procedures.back().nesting, depth_);
    }
    void Close(Figure n) { depth_ = std::max<Figure>(0, depth_ - n); }

    MemberModel model_;
    decl::DeclarationReader declarations_;
    bool procedureOpen_ = false;  // model_.procedures.back() is being read
    bool counting_ = false;       // ... and its End has not come yet
    bool endsOnThisLine_ = false;
    Figure depth_ = 0;
    // The lines of the logical line before the current one: a procedure
    // whose head spans several lines starts at the first of them.
    LineCounts pendingLines_;
    // The last word of a statement given in pieces, for the next piece.
    Keyword carriedKeyword_ = Keyword::None;
    bool carriedWord_ = false;

    // The layout block.
    Figure layoutDepth_ = 0;
    Figure propertyDepth_ = 0;
    std::vector<std::size_t> controlStack_;
};

void SourceReader::Builder::OnLine(const syntax::PhysicalLine& line) {
    ++model_.lines[line.lineClass];
    if (procedureOpen_) ++model_.procedures.back().lines[line.lineClass];
    if (line.continues) {
        ++pendingLines_[line.lineClass];
    } else {
        pendingLines_ = {};
    }
    if (endsOnThisLine_) {
        endsOnThisLine_ = false;
        EndProcedure(line.line, true);
    }
}

void SourceReader::Builder::OnStatement(const syntax::Statement& s) {
    declarations_.OnStatement(s);
    switch (s.kind) {
        case StatementKind::ProcedureStart: StartProcedure(s); return;
        case StatementKind::TypeStart:
        case StatementKind::EnumStart:
            if (procedureOpen_) {
                // A procedure without its End stops before a Type block.
                for (LineClass c : kLineClasses) model_.procedures.back().lines[c] -= pendingLines_[c];
                EndProcedure(s.firstLine - 1, false);
            }
            return;
        case StatementKind::ProcedureEnd:
            if (procedureOpen_ && counting_) {
                // The procedure ends with this line; nothing after its End
                // on it is the procedure's code.
                counting_ = false;
                endsOnThisLine_ = true;
            }
            return;
        case StatementKind::Directive:
        case StatementKind::Attribute:
        case StatementKind::Label:
        case StatementKind::LineNumber: return;
        default: break;
    }
    if (counting_) Complexity(s);
}

void SourceReader::Builder::Complexity(const syntax::Statement& s) {
    if (s.keywords == 0) {
        // An assignment or a call: no decision, no block.
        carriedKeyword_ = Keyword::None;
        return;
    }
    const std::span<const Token> t = s.tokens;
    Keyword previous = s.continued ? carriedKeyword_ : Keyword::None;
    bool previousWord = s.continued && carriedWord_;
    Figure commas = 0;
    bool next = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const Token& k = t[i];
        if (k.Is(Op::Comma)) ++commas;
        const bool word = k.kind == TokenKind::Identifier;
        const Keyword kw = word && !k.Has(lex::flag::kBracketed) ? k.keyword : Keyword::None;
        // Loops open and close only where a statement starts.
        const bool atStart = i == 0 && !s.continued;
        const bool afterEnd = previousWord && previous == Keyword::End;
        switch (kw) {
            case Keyword::If:
                if (afterEnd) {
                    Close(1);
                } else {
                    Decide();
                }
                break;
            case Keyword::ElseIf: Decide(); break;
            case Keyword::Case:
                // Case Else decides nothing; Select Case opens the block.
                if (!(previousWord && previous == Keyword::Select) &&
                    !(i + 1 < t.size() && t[i + 1].Is(Keyword::Else))) {
                    Decide();
                }
                break;
            case Keyword::For:
                // Only a For that starts a loop: not "Exit For", not "Open f For Input".
                if (atStart) {
                    Decide();
                    Open();
                }
                break;
            case Keyword::While:
                if (!afterEnd) {
                    Decide();
                    if (atStart) Open();  // While ... Wend; in Do While the Do opened it
                }
                break;
            case Keyword::Until:
            case Keyword::And:
            case Keyword::Or: Decide(); break;
            case Keyword::Select:
            case Keyword::With:
                if (afterEnd) {
                    Close(1);
                } else if (atStart) {
                    Open();
                }
                break;
            case Keyword::Do:
                if (atStart) Open();
                break;
            case Keyword::Loop:
            case Keyword::Wend:
                if (atStart) Close(1);
                break;
            case Keyword::Next: next = next || atStart; break;
            default: break;
        }
        previous = kw;
        previousWord = word;
    }
    if (s.kind == StatementKind::BlockIf) Open();
    if (next) Close(1 + commas);
    carriedKeyword_ = previous;
    carriedWord_ = previousWord;
}

void SourceReader::Builder::StartProcedure(const syntax::Statement& s) {
    if (procedureOpen_) {
        // The previous procedure never ended: it stops before this head.
        Procedure& open = model_.procedures.back();
        for (LineClass c : kLineClasses) open.lines[c] -= pendingLines_[c];
        EndProcedure(s.firstLine - 1, false);
    }
    Procedure procedure;
    const std::span<const Token> t = s.tokens;
    std::size_t at = 0;
    if (t[at].Is(Keyword::Public) || t[at].Is(Keyword::Private) || t[at].Is(Keyword::Friend) ||
        t[at].Is(Keyword::Global)) {
        procedure.scope = t[at].Is(Keyword::Public)    ? Scope::Public
                          : t[at].Is(Keyword::Private) ? Scope::Private
                          : t[at].Is(Keyword::Friend)  ? Scope::Friend
                                                       : Scope::Global;
        ++at;
    }
    if (t[at].Is(Keyword::Static)) {
        procedure.isStatic = true;
        ++at;
    }
    if (t[at].Is(Keyword::Function)) {
        procedure.kind = ProcedureKind::Function;
    } else if (t[at].Is(Keyword::Property)) {
        ++at;
        procedure.kind = t[at].Is(Keyword::Get)   ? ProcedureKind::PropertyGet
                         : t[at].Is(Keyword::Let) ? ProcedureKind::PropertyLet
                                                  : ProcedureKind::PropertySet;
    }
    procedure.name = Bounded(t[at + 1].text, kMaxName);
    procedure.firstLine = s.firstLine;
    procedure.lines = pendingLines_;
    model_.procedures.push_back(std::move(procedure));
    procedureOpen_ = counting_ = true;
    depth_ = 0;
}

void SourceReader::Builder::EndProcedure(Figure lastLine, bool ended) {
    Procedure& procedure = model_.procedures.back();
    procedure.lastLine = lastLine;
    procedure.ended = ended;
    procedureOpen_ = counting_ = false;
    depth_ = 0;
}

void SourceReader::Builder::OnLayout(const syntax::LayoutLine& layout) {
    using Kind = syntax::LayoutLine::Kind;
    switch (layout.kind) {
        case Kind::Version:
            // "VERSION 1.0 CLASS": a class module, whose header block names no object.
            if (layout.rest == "CLASS") model_.designerClass = "Class";
            return;
        case Kind::Object: {
            std::string_view value = layout.rest;
            if (!value.empty() && value.front() == '=') value.remove_prefix(1);
            model_.objects.push_back(ParseObjectReference(value));
            return;
        }
        case Kind::Begin: {
            const std::string_view className = Field(layout.rest);
            const std::string_view name = Field(SkipField(layout.rest));
            propertyDepth_ = 0;
            if (layoutDepth_++ == 0) {
                // The outermost Begin: the form, user control, ... itself.
                if (!className.empty()) model_.designerClass = Bounded(className, kMaxName);
                model_.designerName = Bounded(name, kMaxName);
                return;
            }
            Control control;
            control.className = Bounded(className, kMaxName);
            control.name = Bounded(name, kMaxName);
            control.depth = layoutDepth_ - 1;
            control.line = layout.line;
            controlStack_.push_back(model_.controls.size());
            model_.controls.push_back(std::move(control));
            return;
        }
        case Kind::End:
            propertyDepth_ = 0;
            if (!controlStack_.empty()) controlStack_.pop_back();
            --layoutDepth_;
            return;
        case Kind::BeginProperty: ++propertyDepth_; return;
        case Kind::EndProperty:
            if (propertyDepth_ > 0) --propertyDepth_;
            return;
        case Kind::Property: break;
    }
    // A property: "Name = value".
    std::string_view value = layout.rest;
    if (value.empty() || value.front() != '=') return;
    value.remove_prefix(1);
    while (!value.empty() && IsBlank(static_cast<unsigned char>(value.front()))) value.remove_prefix(1);
    if (EqualsIgnoringCase(layout.word, "Index") && propertyDepth_ == 0 && !controlStack_.empty()) {
        // A control array's member: "Index = 3".
        Figure index = 0;
        std::size_t digits = 0;
        while (digits < value.size() && IsDigit(static_cast<unsigned char>(value[digits])) && index < 1'000'000'000) {
            index = index * 10 + (value[digits++] - '0');
        }
        if (digits > 0) model_.controls[controlStack_.back()].index = index;
        return;
    }
    // A property kept in the binary companion: Picture = "frmMain.frx":0000.
    if (!value.empty() && value.front() == '"') {
        const std::size_t close = value.find('"', 1);
        if (close != std::string_view::npos && close + 1 < value.size() && value[close + 1] == ':' && close > 1) {
            const std::string_view file = value.substr(1, close - 1);
            auto& files = model_.binaryFiles;
            constexpr std::size_t kMaxFiles = 64;  // a form names one or two
            if (files.size() < kMaxFiles && std::none_of(files.begin(), files.end(), [&](const std::string& f) {
                    return EqualsIgnoringCase(f, file);
                })) {
                files.push_back(Bounded(file, kMaxText));
            }
        }
    }
}

MemberModel SourceReader::Builder::Finish(const FileFacts& facts, Figure lastLine) {
    endsOnThisLine_ = false;
    if (procedureOpen_) EndProcedure(lastLine, false);

    decl::MemberDeclarations declared = declarations_.Take();
    for (std::size_t i = 0; i < model_.procedures.size() && i < declared.procedures.size(); ++i) {
        model_.procedures[i].declared = std::move(declared.procedures[i]);
    }
    model_.options = std::move(declared.options);
    model_.declarations = std::move(declared.module);
    for (const decl::Declaration& d : model_.declarations) {
        if (d.kind == decl::DeclarationKind::Declare) {
            Declare declare;
            declare.name = d.name;
            declare.library = d.Details().library;
            declare.alias = d.Details().alias;
            declare.isFunction = d.Has(decl::flag::kFunction);
            declare.scope = d.scope;
            declare.line = d.line;
            model_.declares.push_back(std::move(declare));
        } else if (d.Has(decl::flag::kWithEvents)) {
            model_.withEvents.push_back(d.name);
        }
    }

    // The objects whose events a handler can take: each control (once per
    // control array), each WithEvents variable and the member's own object.
    std::vector<std::pair<std::string, std::string>> objects;  // lower case, as written
    for (const Control& control : model_.controls) {
        objects.emplace_back(Lower(control.name), control.name);
        model_.controlDepth = std::max(model_.controlDepth, control.depth);
    }
    model_.controlCount = static_cast<Figure>(model_.controls.size());
    std::sort(objects.begin(), objects.end());
    objects.erase(std::unique(objects.begin(), objects.end(),
                              [](const auto& a, const auto& b) { return a.first == b.first; }),
                  objects.end());
    model_.controlNames = static_cast<Figure>(objects.size());
    for (const std::string& variable : model_.withEvents) objects.emplace_back(Lower(variable), variable);
    if (std::string_view own = OwnObjectName(model_.designerClass); !own.empty()) {
        objects.emplace_back(Lower(own), std::string(own));
    }
    std::sort(objects.begin(), objects.end());

    for (Procedure& procedure : model_.procedures) {
        if (procedure.kind != ProcedureKind::Sub) continue;
        const std::string name = Lower(procedure.name);
        // The longest object name before an "_": a control "cmd_OK" takes
        // cmd_OK_Click even when a control "cmd" exists too.
        for (std::size_t underscore = name.rfind('_'); underscore != std::string::npos && underscore > 0;
             underscore = name.rfind('_', underscore - 1)) {
            if (underscore + 1 == name.size()) continue;
            const std::string prefix = name.substr(0, underscore);
            auto it = std::lower_bound(objects.begin(), objects.end(), prefix,
                                       [](const auto& entry, const std::string& key) { return entry.first < key; });
            if (it != objects.end() && it->first == prefix) {
                procedure.handler = true;
                procedure.handlerObject = it->second;
                break;
            }
        }
    }
    model_.file = facts;
    return std::move(model_);
}

SourceReader::SourceReader(const CodePage& codePage, const syntax::Constants& constants)
    : codePage_(codePage), builder_(std::make_unique<Builder>()),
      statements_(std::make_unique<syntax::StatementReader>(codePage, constants, *builder_)) {}

SourceReader::~SourceReader() = default;

void SourceReader::Invalid() {
    if (!facts_.invalidDoubleByte++) facts_.firstInvalidDoubleByteLine = statements_->Lexer().Line();
}

void SourceReader::FeedText(const char* data, std::size_t size) {
    const char* from = data;
    const char* const e = data + size;
    // NUL bytes (the IDE stops reading at the first) and broken double-byte
    // characters are noted with their line: the bytes before them go to the
    // statements first, so the lexer knows the line.
    if (codePage_.doubleByte) {
        for (const char* p = data; p < e; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if (pendingLead_) {
                pendingLead_ = false;
                if (codePage_.IsTrailByte(c)) continue;
                statements_->Feed(from, static_cast<std::size_t>(p - from));
                from = p;
                Invalid();
            }
            if (codePage_.IsLeadByte(c)) pendingLead_ = true;
            if (c == 0) {
                statements_->Feed(from, static_cast<std::size_t>(p - from));
                from = p;
                if (!facts_.nulBytes++) facts_.firstNulLine = statements_->Lexer().Line();
            }
        }
    } else {
        for (const char* p = from; (p = static_cast<const char*>(std::memchr(p, 0, static_cast<std::size_t>(e - p)))); ++p) {
            statements_->Feed(from, static_cast<std::size_t>(p - from));
            from = p;
            if (!facts_.nulBytes++) facts_.firstNulLine = statements_->Lexer().Line();
        }
    }
    statements_->Feed(from, static_cast<std::size_t>(e - from));
}

void SourceReader::Feed(const char* data, std::size_t size) {
    if (headBytes_ < 3) {
        // The first three bytes may be a UTF-8 byte order mark, which the
        // first pieces may split: they wait until it is known.
        const std::size_t take = std::min<std::size_t>(3 - static_cast<std::size_t>(headBytes_), size);
        std::memcpy(head_ + headBytes_, data, take);
        headBytes_ += static_cast<int>(take);
        data += take;
        size -= take;
        if (headBytes_ < 3) return;
        facts_.utf8Bom = head_[0] == 0xEF && head_[1] == 0xBB && head_[2] == 0xBF;
        if (facts_.utf8Bom) {
            // The mark is part of the first line, which counts even when
            // nothing else is on it; its bytes are checked as any others.
            statements_->Lexer().MarkLineUsed();
            if (codePage_.doubleByte) {
                for (unsigned char c : head_) {
                    if (pendingLead_) {
                        pendingLead_ = false;
                        if (codePage_.IsTrailByte(c)) continue;
                        Invalid();
                    }
                    if (codePage_.IsLeadByte(c)) pendingLead_ = true;
                }
            }
        } else {
            FeedText(reinterpret_cast<const char*>(head_), 3);
        }
    }
    if (size) FeedText(data, size);
}

MemberModel SourceReader::Finish() {
    if (headBytes_ < 3) FeedText(reinterpret_cast<const char*>(head_), static_cast<std::size_t>(headBytes_));
    if (pendingLead_) {
        pendingLead_ = false;
        Invalid();
    }
    statements_->Finish();
    const lex::LineBreakCounts& breaks = statements_->Lexer().Breaks();
    facts_.crlf = breaks.crlf;
    facts_.lf = breaks.lf;
    facts_.cr = breaks.cr;
    facts_.firstLf = breaks.firstLf;
    facts_.firstCr = breaks.firstCr;
    facts_.lastLineUnterminated = breaks.lastLineUnterminated;
    const Figure lines = statements_->Lexer().Line() - 1;
    return builder_->Finish(facts_, lines);
}

MemberModel ReadSource(std::string_view text, const CodePage& codePage, const syntax::Constants& constants) {
    SourceReader reader(codePage, constants);
    reader.Feed(text.data(), text.size());
    return reader.Finish();
}

}  // namespace quibex::vb6
