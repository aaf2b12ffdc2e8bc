#include "vb6/syntax/StatementReader.h"

#include <array>

#include "vb6/lex/Scan.h"

namespace quibex::vb6 {

std::string_view LineClassName(LineClass lineClass) {
    switch (lineClass) {
        case LineClass::Designer: return "designer";
        case LineClass::Attribute: return "attribute";
        case LineClass::Blank: return "blank";
        case LineClass::Comment: return "comment";
        case LineClass::Code: return "code";
    }
    return "code";
}

}  // namespace quibex::vb6

namespace quibex::vb6::syntax {

namespace {

using lex::Keyword;
using lex::Op;
using lex::Token;
using lex::TokenKind;

bool IsScope(const Token& t) {
    switch (t.kind == TokenKind::Identifier ? t.keyword : Keyword::None) {
        case Keyword::Public:
        case Keyword::Private:
        case Keyword::Friend:
        case Keyword::Global: return true;
        default: return false;
    }
}

bool IsName(const Token& t) { return t.kind == TokenKind::Identifier && !t.Is(Keyword::As); }

// A line label: a name that starts no statement of its own ("Else:" is the
// Else statement), without a type character.
bool IsLabelName(const Token& t) {
    if (t.kind != TokenKind::Identifier || t.typeChar) return false;
    return t.Has(lex::flag::kBracketed) || t.keyword == Keyword::None || !lex::StartsStatement(t.keyword);
}

bool SameWord(std::string_view a, std::string_view b) { return EqualsIgnoringCase(a, b); }

// The tokens that may end or split a statement, or decide an If, by kind
// and keyword or operator (a token has one of the two, the other is 0).
// Parentheses count only where an If's Then or a one-line If's Else may come.
constexpr std::size_t kCodes = 128;
using StructureTable = std::array<bool, 8 * kCodes>;
constexpr StructureTable MakeStructural(bool parentheses) {
    static_assert(static_cast<std::size_t>(Op::Other) < kCodes && static_cast<std::size_t>(Keyword::Unlock) < kCodes);
    StructureTable s{};
    for (TokenKind kind : {TokenKind::Comment, TokenKind::Raw, TokenKind::LineEnd}) {
        for (std::size_t i = 0; i < kCodes; ++i) s[static_cast<std::size_t>(kind) * kCodes + i] = true;
    }
    s[static_cast<std::size_t>(TokenKind::Operator) * kCodes + static_cast<std::size_t>(Op::Colon)] = true;
    if (parentheses) {
        for (Op op : {Op::LParen, Op::RParen}) {
            s[static_cast<std::size_t>(TokenKind::Operator) * kCodes + static_cast<std::size_t>(op)] = true;
        }
    }
    for (Keyword k : {Keyword::Then, Keyword::Else}) {
        s[static_cast<std::size_t>(TokenKind::Identifier) * kCodes + static_cast<std::size_t>(k)] = true;
    }
    return s;
}
constexpr StructureTable kStructural = MakeStructural(false);
constexpr StructureTable kStructuralWithParentheses = MakeStructural(true);

inline std::size_t StructureIndex(const Token& t) {
    return static_cast<std::size_t>(t.kind) * kCodes + static_cast<std::size_t>(t.keyword) +
           static_cast<std::size_t>(t.op);
}

}  // namespace

StatementReader::StatementReader(const CodePage& codePage, const Constants& constants, StatementSink& sink)
    : lexer_(codePage, *this), codePage_(codePage), constants_(constants), sink_(sink) {
    held_.reserve(64);
    WatchParentheses();
}

void StatementReader::Finish() {
    lexer_.Finish();
    // A file that ends inside a statement ends it.
    if (inLogical_) EndLogicalLine();
}

void StatementReader::PieceEnd() {
    // The lexer's texts go now: the tokens still held keep copies.
    for (; pinned_ < held_.size(); ++pinned_) held_[pinned_].text = arena_.Store(held_[pinned_].text);
    if (versionPending_ && versionText_.empty()) {
        versionText_ = versionToken_.text;
        versionToken_.text = versionText_;
    }
}

void StatementReader::Hold(const Token& t) {
    keywords_ += t.keyword != Keyword::None;
    // A statement on one line is a run of the lexer's own tokens; only one
    // that goes on past them is copied.
    if (!inVector_) {
        if (spanCount_ == 0 && &t >= batch_.data() && &t < batch_.data() + batch_.size()) {
            span_ = &t;
            spanCount_ = 1;
            return;
        }
        if (spanCount_ > 0 && &t == span_ + spanCount_ && &t < batch_.data() + batch_.size()) {
            ++spanCount_;
            return;
        }
        ToVector();
    }
    held_.push_back(t);
}

void StatementReader::ToVector() {
    held_.assign(span_, span_ + spanCount_);
    spanCount_ = 0;
    inVector_ = true;
}

void StatementReader::ClearHeld() {
    keywords_ = 0;
    held_.clear();
    spanCount_ = 0;
    inVector_ = false;
    pinned_ = 0;
    arena_.Reset();
}

void StatementReader::Tokens(std::span<const Token> tokens) {
    batch_ = tokens;
    for (const Token& t : tokens) {
        // Most tokens only lengthen the statement they stand in, right
        // after the one before them.
        if (spanCount_ > 0 && &t == span_ + spanCount_ && !pendingThen_ && !(*structural_)[StructureIndex(t)]) {
            ++spanCount_;
            ++lineTokens_;
            keywords_ += t.keyword != Keyword::None;
            continue;
        }
        line_ = t.line;
        switch (t.kind) {
            case TokenKind::LineEnd: EndLine(t); break;
            case TokenKind::Raw:
                raw_ = t.text;
                rawTruncated_ = t.length > t.text.size();
                break;
            default: LineToken(t); break;
        }
    }
    // The lexer's next tokens take the place of these.
    if (spanCount_ > 0) ToVector();
    batch_ = {};
}

void StatementReader::LineToken(const Token& t) {
    const bool first = lineTokens_++ == 0;
    if (first) {
        firstKind_ = t.kind;
        firstKeyword_ = t.Has(lex::flag::kBracketed) ? Keyword::None : t.keyword;
    }
    if (skipLine_) {
        // "VERSION 1.0 CLASS": a class module's header.
        if (layout_ == Layout::None) classHeader_ = t.kind == TokenKind::Identifier && SameWord(t.text, "CLASS");
        return;
    }
    if (first) {
        if (line_ == 1 && layout_ == Layout::None && t.kind == TokenKind::Identifier && t.column == 1 && !t.typeChar &&
            SameWord(t.text, "VERSION")) {
            // A layout header if a blank follows: the next token or the
            // line's end tells.
            versionPending_ = true;
            versionToken_ = t;
            versionText_.clear();
            return;
        }
        if (layout_ == Layout::Header && !continuationLine_ && !commentLine_) {
            if (t.Is(Keyword::Object) || t.Is(Keyword::Begin)) {
                skipLine_ = true;
                return;
            }
            layout_ = Layout::Done;
        }
    }
    if (versionPending_) {
        versionPending_ = false;
        if (t.column > 8) {
            skipLine_ = true;
            classHeader_ = t.kind == TokenKind::Identifier && SameWord(t.text, "CLASS");
            return;
        }
        Code(versionToken_);  // "VERSION(" is code after all
    }
    if (t.kind == TokenKind::Comment) {
        // A comment ends the statement; an If whose Then it follows is a block If.
        if (inLogical_) EndLogicalLine();
        return;
    }
    Code(t);
}

void StatementReader::Code(const Token& t) {
    if (!inLogical_) {
        inLogical_ = true;
        logicalStart_ = true;
    }
    if (pendingThen_) {
        // Something after Then: a one-line If; after an ElseIf's Then a
        // statement of its own.
        pendingThen_ = false;
        if (ifStatement_) {
            StartInlineIf();
        } else {
            EndStatement();
        }
    }
    if (t.Is(Op::Colon)) {
        if (HeldCount() == 1 && firstOfLine_ && !directive_ && inlineIfs_.empty() && IsLabelName(Held()[0])) {
            EmitHeld(StatementKind::Label, false);
            ClearHeld();
            logicalStart_ = false;
            return;
        }
        EndStatement();
        return;
    }
    if (HeldCount() == 0 && !chunked_) {
        if (logicalStart_ && t.kind == TokenKind::Number) {
            // A line number; the statement after it still starts the line.
            Emit(StatementKind::LineNumber, std::span(&t, 1), false);
            return;
        }
        if (!inlineIfs_.empty() && t.Is(Keyword::Else)) {
            ElseOfInlineIf();
            return;
        }
        BeginStatement(t);
    } else if (!inlineIfs_.empty() && t.Is(Keyword::Else) && parenDepth_ == 0 && !directive_) {
        EndStatement();
        ElseOfInlineIf();
        return;
    }
    if (directive_ && HeldCount() >= Statement::kMaxTokens) return;  // no directive is that long
    Hold(t);
    if (t.Is(Op::LParen)) {
        ++parenDepth_;
    } else if (t.Is(Op::RParen)) {
        if (parenDepth_ > 0) --parenDepth_;
    } else if (t.Is(Keyword::Then) && parenDepth_ == 0 && (ifStatement_ || elseIfStatement_)) {
        pendingThen_ = true;
        return;
    } else if (HeldCount() == 1 && t.Is(Keyword::Else) && !directive_) {
        // Else of a block If: a statement of its own, whatever follows.
        EndStatement();
        return;
    }
    if (HeldCount() >= Statement::kMaxTokens && !directive_) {
        // A statement this long goes out in pieces; the first says what it is.
        EmitHeld(chunked_ ? StatementKind::Other : Classify(), true);
        chunked_ = true;
    }
}

void StatementReader::BeginStatement(const Token& t) {
    statementLine_ = line_;
    firstOfLine_ = logicalStart_;
    logicalStart_ = false;
    directive_ = firstOfLine_ && t.Is(Op::Hash);
    ifStatement_ = t.Is(Keyword::If) && !directive_;
    elseIfStatement_ = t.Is(Keyword::ElseIf);
    parenDepth_ = 0;
    WatchParentheses();
}

void StatementReader::WatchParentheses() {
    structural_ = ifStatement_ || elseIfStatement_ || !inlineIfs_.empty() ? &kStructuralWithParentheses : &kStructural;
}

void StatementReader::EndStatement() {
    if (HeldCount() == 0 && !chunked_) return;
    if (directive_) {
        Directive();
    } else if (!chunked_) {
        EmitHeld(Classify(), false);
    } else if (HeldCount() > 0) {
        EmitHeld(StatementKind::Other, false);
    }
    ClearHeld();
    chunked_ = directive_ = ifStatement_ = elseIfStatement_ = pendingThen_ = false;
    parenDepth_ = 0;
    WatchParentheses();
}

void StatementReader::EndLogicalLine() {
    if (pendingThen_) {
        // Then at the end of the line: a block If, or an ElseIf.
        pendingThen_ = false;
        if (ifStatement_) {
            EmitHeld(StatementKind::BlockIf, false);
            ClearHeld();
            chunked_ = directive_ = ifStatement_ = elseIfStatement_ = false;
        }
    }
    EndStatement();
    inlineIfs_.clear();
    inLogical_ = false;
    logicalStart_ = false;
    WatchParentheses();
}

void StatementReader::StartInlineIf() {
    EmitHeld(StatementKind::InlineIf, false);
    ClearHeld();
    chunked_ = directive_ = ifStatement_ = elseIfStatement_ = false;
    parenDepth_ = 0;
    inlineIfs_.push_back(Part::Then);
    WatchParentheses();
}

void StatementReader::ElseOfInlineIf() {
    // Else belongs to the innermost one-line If still in its Then part.
    while (!inlineIfs_.empty() && inlineIfs_.back() == Part::Else) inlineIfs_.pop_back();
    if (!inlineIfs_.empty()) inlineIfs_.back() = Part::Else;
    WatchParentheses();
}

void StatementReader::EmitHeld(StatementKind kind, bool continues) {
    Emit(kind, Held(), continues);
    if (continues) ClearHeld();
}

void StatementReader::Emit(StatementKind kind, std::span<const Token> tokens, bool continues) {
    if (!Active()) return;
    Statement s;
    s.tokens = tokens;
    s.kind = kind;
    s.part = inlineIfs_.empty() ? Part::None : inlineIfs_.back();
    s.ifDepth = static_cast<std::uint8_t>(std::min<std::size_t>(inlineIfs_.size(), 255));
    s.firstOfLine = kind == StatementKind::LineNumber ? logicalStart_ : firstOfLine_;
    s.continues = continues;
    s.continued = chunked_;
    s.firstLine = kind == StatementKind::LineNumber || tokens.empty() ? line_ : statementLine_;
    s.lastLine = line_;
    s.keywords = keywords_;
    // A statement stands in the block it opens or closes.
    s.context = context_;
    switch (kind) {
        case StatementKind::ProcedureStart:
            s.context = context_ == Context::Procedure ? Context::Procedure : Context::Module;
            context_ = Context::Procedure;
            break;
        case StatementKind::ProcedureEnd: context_ = Context::Module; break;
        case StatementKind::TypeStart:
            s.context = Context::Module;
            context_ = Context::Type;
            break;
        case StatementKind::EnumStart:
            s.context = Context::Module;
            context_ = Context::Enum;
            break;
        case StatementKind::TypeEnd:
        case StatementKind::EnumEnd: context_ = Context::Module; break;
        default: break;
    }
    sink_.OnStatement(s);
}

bool StatementReader::IsProcedureStart(bool inTypeBlock) const {
    const std::span<const Token> held = Held();
    std::size_t i = 0;
    const std::size_t n = held.size();
    if (i < n && IsScope(held[i])) ++i;
    if (i < n && held[i].Is(Keyword::Static)) ++i;
    if (i >= n) return false;
    if (held[i].Is(Keyword::Property)) {
        ++i;
        if (i >= n || !(held[i].Is(Keyword::Get) || held[i].Is(Keyword::Let) || held[i].Is(Keyword::Set))) return false;
    } else if (!held[i].Is(Keyword::Sub) && !held[i].Is(Keyword::Function)) {
        return false;
    }
    ++i;
    if (i >= n || !IsName(held[i])) return false;
    // In a Type block "sub As Long" is a field: a procedure has its
    // parameters' parenthesis after the name.
    return !inTypeBlock || (i + 1 < n && held[i + 1].Is(Op::LParen));
}

StatementKind StatementReader::Classify() const {
    const std::span<const Token> held = Held();
    if (held.empty()) return StatementKind::Other;
    const Token& t0 = held[0];
    const std::size_t n = held.size();
    // Most statements start with a name: an assignment, a call.
    if (t0.keyword == Keyword::None && context_ <= Context::Procedure) return StatementKind::Other;
    if (context_ == Context::Type || context_ == Context::Enum) {
        if (t0.Is(Keyword::End) && n >= 2 && held[1].Is(context_ == Context::Type ? Keyword::Type : Keyword::Enum)) {
            return context_ == Context::Type ? StatementKind::TypeEnd : StatementKind::EnumEnd;
        }
        if (firstOfLine_ && IsProcedureStart(true)) return StatementKind::ProcedureStart;
        return StatementKind::Member;
    }
    switch (t0.keyword) {
        case Keyword::End:
            if (t0.Has(lex::flag::kBracketed) || n < 2) return StatementKind::Other;
            if (held[1].Is(Keyword::Sub) || held[1].Is(Keyword::Function) || held[1].Is(Keyword::Property)) {
                return StatementKind::ProcedureEnd;
            }
            if (held[1].Is(Keyword::If)) return StatementKind::EndIf;
            return StatementKind::Other;
        case Keyword::ElseIf: return StatementKind::ElseIf;
        case Keyword::Else: return StatementKind::Else;
        case Keyword::Attribute: return StatementKind::Attribute;
        default: break;
    }
    if (!firstOfLine_) return StatementKind::Other;
    if (IsProcedureStart(false)) return StatementKind::ProcedureStart;
    // [Public|Private] Type Name, [Public|Private] Enum Name.
    const std::size_t i = IsScope(t0) ? 1 : 0;
    if (i + 1 < n && IsName(held[i + 1])) {
        if (held[i].Is(Keyword::Type)) return StatementKind::TypeStart;
        if (held[i].Is(Keyword::Enum)) return StatementKind::EnumStart;
    }
    return StatementKind::Other;
}

void StatementReader::EmitDirective(std::span<const Token> tokens) {
    // #ElseIf and #Else stand in the branch around their #If.
    Condition& c = conditions_.back();
    const bool active = c.active;
    c.active = c.parentActive;
    Emit(StatementKind::Directive, tokens, false);
    c.active = active;
}

void StatementReader::Directive() {
    // # If|ElseIf expression Then, # Else, # End If, # Const name = expression
    const std::span<const Token> t = Held();
    const bool enclosing = Active();
    auto expression = [&](std::size_t from) {
        std::size_t to = t.size();
        if (to > from && t[to - 1].Is(Keyword::Then)) --to;
        const std::optional<Value> v = Evaluate(t.subspan(from, to - from), constants_);
        return v && v->IsTrue();
    };
    if (t.size() < 2) return;
    const Token& word = t[1];
    if (word.Is(Keyword::If)) {
        const bool kept = enclosing && expression(2);
        Emit(StatementKind::Directive, t, false);
        conditions_.push_back({enclosing, kept, kept});
    } else if (word.Is(Keyword::ElseIf)) {
        if (conditions_.empty()) return;
        Condition& c = conditions_.back();
        const bool kept = c.parentActive && !c.taken && expression(2);
        c.active = kept;
        c.taken = c.taken || kept;
        if (c.parentActive) EmitDirective(t);
    } else if (word.Is(Keyword::Else)) {
        if (conditions_.empty()) return;
        Condition& c = conditions_.back();
        c.active = c.parentActive && !c.taken;
        c.taken = true;
        if (c.parentActive) EmitDirective(t);
    } else if ((word.Is(Keyword::End) && t.size() >= 3 && t[2].Is(Keyword::If)) ||
               (word.kind == TokenKind::Identifier && SameWord(word.text, "EndIf"))) {
        if (conditions_.empty()) return;
        conditions_.pop_back();
        Emit(StatementKind::Directive, t, false);
    } else if (word.Is(Keyword::Const)) {
        if (!enclosing) return;
        if (t.size() >= 5 && t[2].kind == TokenKind::Identifier && t[3].Is(Op::Equals)) {
            const std::optional<Value> v = Evaluate(t.subspan(4), constants_);
            constants_.Set(t[2].text, v.value_or(Value{}));
        }
        Emit(StatementKind::Directive, t, false);
    }
}

void StatementReader::LayoutOfLine(std::string_view raw, bool truncated) {
    // The first word, then what follows it with blanks skipped.
    std::size_t at = 0;
    while (at < raw.size() && lex::scan::IsBlank(static_cast<unsigned char>(raw[at]))) ++at;
    std::size_t end = at;
    while (end < raw.size()) {
        const unsigned char c = static_cast<unsigned char>(raw[end]);
        if (lex::scan::kNameBytes[c]) {
            ++end;
        } else if (codePage_.doubleByte && codePage_.IsLeadByte(c)) {
            end += end + 1 < raw.size() ? 2 : 1;
        } else {
            break;
        }
    }
    LayoutLine layout;
    layout.line = line_;
    layout.word = raw.substr(at, end - at);
    while (end < raw.size() && lex::scan::IsBlank(static_cast<unsigned char>(raw[end]))) ++end;
    layout.rest = raw.substr(end);
    layout.truncated = truncated;
    const std::string_view w = layout.word;
    if (SameWord(w, "Begin")) {
        layout.kind = LayoutLine::Kind::Begin;
    } else if (SameWord(w, "End")) {
        layout.kind = LayoutLine::Kind::End;
    } else if (SameWord(w, "BeginProperty")) {
        layout.kind = LayoutLine::Kind::BeginProperty;
    } else if (SameWord(w, "EndProperty")) {
        layout.kind = LayoutLine::Kind::EndProperty;
    } else if (SameWord(w, "Object") && layout_ == Layout::Header) {
        layout.kind = LayoutLine::Kind::Object;
    } else {
        layout.kind = LayoutLine::Kind::Property;
    }
    if (layout_ == Layout::Header) {
        // The outermost Begin: the form, the user control, the class header.
        if (layout.kind == LayoutLine::Kind::Begin) {
            layout_ = Layout::Block;
            layoutDepth_ = 1;
        }
    } else if (layout.kind == LayoutLine::Kind::Begin) {
        ++layoutDepth_;
    } else if (layout.kind == LayoutLine::Kind::End && --layoutDepth_ <= 0) {
        layout_ = Layout::Done;
    }
    sink_.OnLayout(layout);
}

void StatementReader::EndLine(const Token& end) {
    if (versionPending_) {
        // "VERSION" and nothing else: a header when a blank follows it.
        versionPending_ = false;
        if (end.length >= 8) {
            skipLine_ = true;
            classHeader_ = false;
        } else {
            Code(versionToken_);
        }
    }
    const bool continues = end.Has(lex::flag::kContinues);
    PhysicalLine line;
    line.line = line_;
    line.continues = continues;
    if (layout_ == Layout::Block) {
        line.lineClass = LineClass::Designer;
        LayoutOfLine(raw_, rawTruncated_);
    } else if (skipLine_) {
        line.lineClass = LineClass::Designer;
        if (layout_ == Layout::None) {
            LayoutLine version;
            version.kind = LayoutLine::Kind::Version;
            version.line = line_;
            version.word = "VERSION";
            version.rest = classHeader_ ? "CLASS" : "";
            layout_ = Layout::Header;
            sink_.OnLayout(version);
        } else {
            LayoutOfLine(raw_, rawTruncated_);
        }
    } else {
        if (lineTokens_ == 0 && !continues) {
            line.lineClass = LineClass::Blank;
        } else if (continuationLine_) {
            line.lineClass = LineClass::Code;
        } else if (firstKind_ == TokenKind::Comment) {
            line.lineClass = LineClass::Comment;
        } else if (firstKeyword_ == Keyword::Attribute) {
            line.lineClass = LineClass::Attribute;
        } else {
            line.lineClass = LineClass::Code;
        }
        // A statement does not go on over a blank line.
        if (inLogical_ && !continues) EndLogicalLine();
    }
    line.active = Active();
    sink_.OnLine(line);

    // The next line.
    continuationLine_ = continues && !skipLine_ && layout_ != Layout::Block;
    commentLine_ = end.Has(lex::flag::kCommentGoesOn);
    lineTokens_ = 0;
    skipLine_ = false;
    raw_ = {};
    rawTruncated_ = false;
    if (layout_ == Layout::Block) {
        lexer_.SetLineMode(lex::Lexer::LineMode::Raw);
    } else if (layout_ == Layout::Header) {
        lexer_.SetLineMode(lex::Lexer::LineMode::CodeAndRaw);
    }
}

}  // namespace quibex::vb6::syntax
