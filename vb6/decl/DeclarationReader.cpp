#include "vb6/decl/DeclarationReader.h"

#include <algorithm>

#include "engine/CodePage.h"

namespace quibex::vb6 {

std::string_view ProcedureKindName(ProcedureKind kind) {
    switch (kind) {
        case ProcedureKind::Sub: return "Sub";
        case ProcedureKind::Function: return "Function";
        case ProcedureKind::PropertyGet: return "Property Get";
        case ProcedureKind::PropertyLet: return "Property Let";
        case ProcedureKind::PropertySet: return "Property Set";
    }
    return "Sub";
}

std::string_view ScopeName(Scope scope) {
    switch (scope) {
        case Scope::Public: return "Public";
        case Scope::Private: return "Private";
        case Scope::Friend: return "Friend";
        case Scope::Global: return "Global";
        case Scope::Local: return "Local";
    }
    return "Public";
}

}  // namespace quibex::vb6

namespace quibex::vb6::decl {

namespace {

using lex::Keyword;
using lex::Op;
using lex::Token;
using lex::TokenKind;
using syntax::StatementKind;

constexpr std::size_t kMaxText = 1024;

// A declaration's text as written: tokens that touch are joined, others
// are one blank apart.
std::string Text(std::span<const Token> t) {
    std::string out;
    if (t.size() == 1 && t[0].kind == TokenKind::Identifier && !t[0].typeChar && !t[0].Has(lex::flag::kBracketed)) {
        return std::string(t[0].text);  // "As Long": the usual type
    }
    for (std::size_t i = 0; i < t.size() && out.size() < kMaxText; ++i) {
        const Token& k = t[i];
        if (i > 0) {
            const Token& p = t[i - 1];
            if (p.line != k.line || p.column + static_cast<std::int64_t>(p.length) != k.column) out += ' ';
        }
        switch (k.kind) {
            case TokenKind::String: out += '"'; out += k.text; out += '"'; break;
            case TokenKind::Date: out += '#'; out += k.text; out += '#'; break;
            case TokenKind::Identifier:
                if (k.Has(lex::flag::kBracketed)) {
                    out += '[';
                    out += k.text;
                    out += ']';
                } else {
                    out += k.text;
                }
                if (k.typeChar) out += k.typeChar;
                break;
            case TokenKind::Number:
                out += k.text;
                if (k.typeChar) out += k.typeChar;
                break;
            default: out += k.text; break;
        }
    }
    if (out.size() > kMaxText) out.resize(kMaxText);
    return out;
}

// A string literal's value: "" inside is one quote.
std::string Unquoted(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') ++i;
    }
    return out;
}

std::string_view TypeOfCharacter(char c) {
    switch (c) {
        case '$': return "String";
        case '%': return "Integer";
        case '&': return "Long";
        case '!': return "Single";
        case '#': return "Double";
        case '@': return "Currency";
        case '^': return "LongLong";
        default: return {};
    }
}

bool Same(std::string_view a, std::string_view b) { return EqualsIgnoringCase(a, b); }

// Where the parenthesis opened at t[open] closes, or t.size().
std::size_t Closing(std::span<const Token> t, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < t.size(); ++i) {
        if (t[i].Is(Op::LParen)) ++depth;
        if (t[i].Is(Op::RParen) && --depth == 0) return i;
    }
    return t.size();
}

// The end of an item of a list: the next comma outside parentheses.
std::size_t ItemEnd(std::span<const Token> t, std::size_t at) {
    int depth = 0;
    for (std::size_t i = at; i < t.size(); ++i) {
        if (t[i].Is(Op::LParen)) ++depth;
        if (t[i].Is(Op::RParen)) --depth;
        if (depth <= 0 && t[i].Is(Op::Comma)) return i;
    }
    return t.size();
}

std::optional<Scope> ScopeOf(const Token& t) {
    switch (t.kind == TokenKind::Identifier ? t.keyword : Keyword::None) {
        case Keyword::Public: return Scope::Public;
        case Keyword::Private: return Scope::Private;
        case Keyword::Friend: return Scope::Friend;
        case Keyword::Global: return Scope::Global;
        default: return std::nullopt;
    }
}

void Place(Declaration& d, const Token& name) {
    d.name.assign(name.text);
    d.line = name.line;
    d.column = name.column;
}

}  // namespace

std::string_view DeclarationKindName(DeclarationKind kind) {
    switch (kind) {
        case DeclarationKind::Variable: return "Variable";
        case DeclarationKind::Constant: return "Constant";
        case DeclarationKind::Type: return "Type";
        case DeclarationKind::Field: return "Field";
        case DeclarationKind::Enum: return "Enum";
        case DeclarationKind::EnumMember: return "EnumMember";
        case DeclarationKind::Declare: return "Declare";
        case DeclarationKind::Event: return "Event";
        case DeclarationKind::Implements: return "Implements";
        case DeclarationKind::Sub: return "Sub";
        case DeclarationKind::Function: return "Function";
        case DeclarationKind::PropertyGet: return "Property Get";
        case DeclarationKind::PropertyLet: return "Property Let";
        case DeclarationKind::PropertySet: return "Property Set";
        case DeclarationKind::Parameter: return "Parameter";
        case DeclarationKind::Label: return "Label";
        case DeclarationKind::LineNumber: return "LineNumber";
    }
    return "Variable";
}

MemberDeclarations DeclarationReader::Take() {
    MemberDeclarations out = std::move(member_);
    member_ = {};
    inProcedure_ = false;
    block_ = kNoBlock;
    return out;
}

void DeclarationReader::OnStatement(const syntax::Statement& s) {
    // A statement in pieces declares from its first piece only.
    if (s.continued || s.tokens.empty()) return;
    switch (s.kind) {
        case StatementKind::ProcedureStart:
            block_ = kNoBlock;
            StartProcedure(s.tokens);
            return;
        case StatementKind::ProcedureEnd:
            inProcedure_ = false;
            return;
        case StatementKind::TypeStart:
        case StatementKind::EnumStart:
            // A procedure without its End stops before a Type.
            inProcedure_ = false;
            break;
        default: break;
    }
    if (inProcedure_ && s.context == syntax::Context::Procedure) {
        ProcedureStatement(s);
    } else {
        ModuleStatement(s.tokens, s.kind);
    }
}

void DeclarationReader::ModuleStatement(Tokens t, StatementKind kind) {
    switch (kind) {
        case StatementKind::TypeStart:
        case StatementKind::EnumStart: {
            Declaration d;
            d.kind = kind == StatementKind::TypeStart ? DeclarationKind::Type : DeclarationKind::Enum;
            std::size_t at = 0;
            if (const std::optional<Scope> scope = ScopeOf(t[0])) {
                d.scope = *scope;
                ++at;
            }
            Place(d, t[at + 1]);
            member_.module.push_back(std::move(d));
            block_ = member_.module.size() - 1;
            return;
        }
        case StatementKind::TypeEnd:
        case StatementKind::EnumEnd: block_ = kNoBlock; return;
        case StatementKind::Member: {
            if (block_ == kNoBlock) return;
            Declaration& block = member_.module[block_];
            Declaration d;
            d.scope = block.scope;
            std::size_t at = 0;
            if (block.kind == DeclarationKind::Type) {
                d.kind = DeclarationKind::Field;
                if (NameAndType(t, at, d)) block.EditDetails().children.push_back(std::move(d));
            } else if (t[0].kind == TokenKind::Identifier) {
                d.kind = DeclarationKind::EnumMember;
                Place(d, t[0]);
                d.type = "Long";
                d.typeSource = TypeSource::As;
                if (t.size() > 2 && t[1].Is(Op::Equals)) d.EditDetails().value = Text(t.subspan(2));
                block.EditDetails().children.push_back(std::move(d));
            }
            return;
        }
        case StatementKind::Other:
        case StatementKind::Attribute: break;
        default: return;
    }
    const Token& t0 = t[0];
    if (t0.kind != TokenKind::Identifier) return;
    switch (t0.Has(lex::flag::kBracketed) ? Keyword::None : t0.keyword) {
        case Keyword::Option: Option(t); return;
        case Keyword::Dim: Variables(t.subspan(1), Scope::Private, 0, member_.module); return;
        case Keyword::Const: Constants(t.subspan(1), Scope::Private, member_.module); return;
        case Keyword::Declare: {
            Declaration d = Declare(t, Scope::Public);
            if (!d.name.empty()) member_.module.push_back(std::move(d));
            return;
        }
        case Keyword::Event:
        case Keyword::Implements: break;
        case Keyword::None:
            if (t0.text.size() > 3 && Same(t0.text.substr(0, 3), "Def")) DefType(t);
            return;
        default:
            if (!ScopeOf(t0)) return;
            break;
    }
    Scope scope = Scope::Public;
    std::size_t at = 0;
    if (const std::optional<Scope> s = ScopeOf(t0)) {
        scope = *s;
        ++at;
    }
    if (at >= t.size()) return;
    const Token& word = t[at];
    if (word.Is(Keyword::Const)) {
        Constants(t.subspan(at + 1), scope, member_.module);
    } else if (word.Is(Keyword::Declare)) {
        Declaration d = Declare(t, scope);
        if (!d.name.empty()) member_.module.push_back(std::move(d));
    } else if (word.Is(Keyword::Event)) {
        if (at + 1 >= t.size() || t[at + 1].kind != TokenKind::Identifier) return;
        Declaration d;
        d.kind = DeclarationKind::Event;
        d.scope = scope;
        Place(d, t[at + 1]);
        if (at + 2 < t.size() && t[at + 2].Is(Op::LParen)) {
            const std::size_t close = Closing(t, at + 2);
            Parameters(t.subspan(at + 3, close - at - 3), d.EditDetails().children);
        }
        member_.module.push_back(std::move(d));
    } else if (word.Is(Keyword::Implements)) {
        if (at + 1 >= t.size()) return;
        Declaration d;
        d.kind = DeclarationKind::Implements;
        d.scope = scope;
        Place(d, t[at + 1]);
        d.name = Text(t.subspan(at + 1));
        member_.module.push_back(std::move(d));
    } else if (at > 0) {
        // Private x As Long, Public WithEvents y As Z
        Variables(t.subspan(at), scope, 0, member_.module);
    }
}

void DeclarationReader::ProcedureStatement(const syntax::Statement& s) {
    ProcedureDeclarations& p = member_.procedures.back();
    const Tokens t = s.tokens;
    switch (s.kind) {
        case StatementKind::Label:
        case StatementKind::LineNumber: {
            Declaration d;
            d.kind = s.kind == StatementKind::Label ? DeclarationKind::Label : DeclarationKind::LineNumber;
            d.scope = Scope::Local;
            Place(d, t[0]);
            p.locals.push_back(std::move(d));
            return;
        }
        case StatementKind::Directive:
        case StatementKind::Attribute: return;
        default: break;
    }
    if (s.part == syntax::Part::None) ++p.statements;
    const Token& t0 = t[0];
    if (t0.kind != TokenKind::Identifier || t0.Has(lex::flag::kBracketed)) return;
    switch (t0.keyword) {
        case Keyword::Dim: Variables(t.subspan(1), Scope::Local, 0, p.locals); break;
        case Keyword::Static: Variables(t.subspan(1), Scope::Local, flag::kStatic, p.locals); break;
        case Keyword::Const: Constants(t.subspan(1), Scope::Local, p.locals); break;
        case Keyword::ReDim: ReDim(t.subspan(1)); break;
        case Keyword::GoTo: ++p.goTo; break;
        case Keyword::GoSub: ++p.goSub; break;
        case Keyword::Return: ++p.returns; break;
        case Keyword::Exit: ++p.exits; break;
        case Keyword::On: {
            // On [Local] Error GoTo label | GoTo 0 | Resume Next; On x GoTo a, b
            std::size_t at = 1;
            if (at < t.size() && t[at].kind == TokenKind::Identifier && Same(t[at].text, "Local")) ++at;
            if (at < t.size() && t[at].Is(Keyword::Error)) {
                ++at;
                if (at < t.size() && t[at].Is(Keyword::Resume)) {
                    ++p.onErrorResumeNext;
                } else if (at + 1 < t.size() && t[at].Is(Keyword::GoTo)) {
                    const Token& target = t[at + 1];
                    const bool zero = target.kind == TokenKind::Number &&
                                      std::all_of(target.text.begin(), target.text.end(), [](char c) { return c == '0'; });
                    if (zero || target.Is(Op::Minus)) {
                        ++p.onErrorGoTo0;
                    } else {
                        ++p.onErrorGoTo;
                    }
                }
                break;
            }
            for (const Token& k : t) {
                if (k.Is(Keyword::GoTo)) {
                    ++p.goTo;
                    break;
                }
                if (k.Is(Keyword::GoSub)) {
                    ++p.goSub;
                    break;
                }
            }
            break;
        }
        default: break;
    }
}

void DeclarationReader::StartProcedure(Tokens t) {
    // Every procedure head the statements name gives one entry, however
    // little of it reads.
    Header(t, member_.procedures.emplace_back().header);
    inProcedure_ = true;
}

void DeclarationReader::Header(Tokens t, Declaration& h) {
    std::size_t at = 0;
    if (const std::optional<Scope> scope = ScopeOf(t[0])) {
        h.scope = *scope;
        ++at;
    }
    if (at < t.size() && t[at].Is(Keyword::Static)) {
        h.flags |= flag::kStatic;
        ++at;
    }
    if (at >= t.size()) return;
    bool returns = false;
    if (t[at].Is(Keyword::Sub)) {
        h.kind = DeclarationKind::Sub;
    } else if (t[at].Is(Keyword::Function)) {
        h.kind = DeclarationKind::Function;
        returns = true;
    } else if (t[at].Is(Keyword::Property) && at + 1 < t.size()) {
        ++at;
        h.kind = t[at].Is(Keyword::Get) ? DeclarationKind::PropertyGet
                 : t[at].Is(Keyword::Let) ? DeclarationKind::PropertyLet
                                          : DeclarationKind::PropertySet;
        returns = h.kind == DeclarationKind::PropertyGet;
    }
    ++at;
    if (at >= t.size()) return;
    Place(h, t[at]);
    const char typeChar = t[at].typeChar;
    ++at;
    if (at < t.size() && t[at].Is(Op::LParen)) {
        const std::size_t close = Closing(t, at);
        Parameters(t.subspan(at + 1, close - at - 1), h.EditDetails().children);
        at = std::min(close + 1, t.size());
    }
    if (!returns) return;
    if (at + 1 < t.size() && t[at].Is(Keyword::As)) {
        h.type = Text(t.subspan(at + 1));
        h.typeSource = TypeSource::As;
    } else if (!TypeOfCharacter(typeChar).empty()) {
        h.type = TypeOfCharacter(typeChar);
        h.typeSource = TypeSource::TypeCharacter;
    } else {
        ImplicitType(h);
    }
}

bool DeclarationReader::NameAndType(Tokens t, std::size_t& at, Declaration& d) {
    if (at >= t.size() || t[at].kind != TokenKind::Identifier) return false;
    const Token& name = t[at++];
    Place(d, name);
    if (!TypeOfCharacter(name.typeChar).empty()) {
        d.type = TypeOfCharacter(name.typeChar);
        d.typeSource = TypeSource::TypeCharacter;
    }
    if (at < t.size() && t[at].Is(Op::LParen)) {
        const std::size_t close = Closing(t, at);
        d.flags |= flag::kArray;
        if (close > at + 1) d.EditDetails().bounds = Text(t.subspan(at + 1, close - at - 1));
        at = std::min(close + 1, t.size());
    }
    if (at < t.size() && t[at].Is(Keyword::As)) {
        ++at;
        if (at < t.size() && t[at].Is(Keyword::New)) {
            d.flags |= flag::kNew;
            ++at;
        }
        std::size_t end = at;
        while (end < t.size() && !t[end].Is(Op::Comma) && !t[end].Is(Op::Equals)) ++end;
        if (end > at) {
            d.type = Text(t.subspan(at, end - at));
            d.typeSource = TypeSource::As;
        }
        at = end;
    }
    if (d.typeSource == TypeSource::None) ImplicitType(d);
    return true;
}

void DeclarationReader::ImplicitType(Declaration& d) const {
    const char first = d.name.empty() ? 0 : static_cast<char>(d.name[0] & ~0x20);
    if (first >= 'A' && first <= 'Z') {
        const std::vector<DefTypeRange>& ranges = member_.options.defTypes;
        for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
            if (first >= it->first && first <= it->last) {
                d.type = it->type;
                d.typeSource = TypeSource::DefType;
                return;
            }
        }
    }
    d.type = "Variant";
    d.typeSource = TypeSource::Implicit;
}

void DeclarationReader::Variables(Tokens t, Scope scope, std::uint16_t flags, std::vector<Declaration>& into) {
    std::size_t at = 0;
    if (at < t.size() && t[at].Is(Keyword::WithEvents)) {
        flags |= flag::kWithEvents;
        ++at;
    }
    while (at < t.size()) {
        Declaration d;
        d.kind = DeclarationKind::Variable;
        d.scope = scope;
        d.flags = flags;
        const std::size_t end = ItemEnd(t, at);
        if (!NameAndType(t.first(end), at, d)) return;
        into.push_back(std::move(d));
        at = end + 1;
    }
}

void DeclarationReader::Constants(Tokens t, Scope scope, std::vector<Declaration>& into) {
    std::size_t at = 0;
    while (at < t.size()) {
        Declaration d;
        d.kind = DeclarationKind::Constant;
        d.scope = scope;
        const std::size_t end = ItemEnd(t, at);
        const Tokens item = t.first(end);
        if (!NameAndType(item, at, d)) return;
        if (at < item.size() && item[at].Is(Op::Equals)) d.EditDetails().value = Text(item.subspan(at + 1));
        into.push_back(std::move(d));
        at = end + 1;
    }
}

void DeclarationReader::ReDim(Tokens t) {
    std::size_t at = 0;
    if (at < t.size() && t[at].Is(Keyword::Preserve)) ++at;
    while (at < t.size()) {
        const std::size_t end = ItemEnd(t, at);
        const Tokens item = t.first(end);
        // A plain name, not a member: "ReDim m.List(5)" declares nothing.
        if (at + 1 < item.size() && item[at].kind == TokenKind::Identifier && item[at + 1].Is(Op::LParen) &&
            !Declared(item[at].text)) {
            Declaration d;
            d.kind = DeclarationKind::Variable;
            d.scope = Scope::Local;
            d.flags = flag::kReDim;
            std::size_t from = at;
            if (NameAndType(item, from, d)) member_.procedures.back().locals.push_back(std::move(d));
        }
        at = end + 1;
    }
}

bool DeclarationReader::Declared(std::string_view name) const {
    auto named = [&](const std::vector<Declaration>& list) {
        return std::any_of(list.begin(), list.end(), [&](const Declaration& d) { return Same(d.name, name); });
    };
    const ProcedureDeclarations& p = member_.procedures.back();
    return named(p.locals) || named(p.header.Details().children) || named(member_.module);
}

void DeclarationReader::Option(Tokens t) {
    if (t.size() < 2 || t[1].kind != TokenKind::Identifier) return;
    Options& o = member_.options;
    const std::string_view word = t[1].text;
    if (Same(word, "Explicit")) {
        o.explicitVariables = true;
    } else if (Same(word, "Base") && t.size() > 2 && t[2].kind == TokenKind::Number) {
        o.base = t[2].text == "1" ? 1 : 0;
    } else if (Same(word, "Compare") && t.size() > 2 && t[2].kind == TokenKind::Identifier) {
        for (std::string_view c : {"Binary", "Text", "Database"}) {
            if (Same(t[2].text, c)) o.compare = c;
        }
    } else if (t[1].Is(Keyword::Private)) {
        o.privateModule = true;
    }
}

void DeclarationReader::DefType(Tokens t) {
    static constexpr std::pair<std::string_view, std::string_view> kTypes[] = {
        {"DefBool", "Boolean"}, {"DefByte", "Byte"},   {"DefInt", "Integer"},      {"DefLng", "Long"},
        {"DefLngLng", "LongLong"}, {"DefLngPtr", "LongPtr"}, {"DefCur", "Currency"}, {"DefSng", "Single"},
        {"DefDbl", "Double"},   {"DefDec", "Decimal"}, {"DefDate", "Date"},        {"DefStr", "String"},
        {"DefObj", "Object"},   {"DefVar", "Variant"},
    };
    std::string_view type;
    for (const auto& [word, name] : kTypes) {
        if (Same(t[0].text, word)) type = name;
    }
    if (type.empty()) return;
    auto letter = [](const Token& k) -> char {
        if (k.kind != TokenKind::Identifier || k.text.size() != 1) return 0;
        const char c = static_cast<char>(k.text[0] & ~0x20);
        return c >= 'A' && c <= 'Z' ? c : 0;
    };
    for (std::size_t at = 1; at < t.size();) {
        DefTypeRange range;
        range.type = type;
        range.first = range.last = letter(t[at]);
        if (!range.first) return;
        ++at;
        if (at + 1 < t.size() && t[at].Is(Op::Minus) && letter(t[at + 1])) {
            range.last = letter(t[at + 1]);
            if (range.last < range.first) std::swap(range.first, range.last);
            at += 2;
        }
        member_.options.defTypes.push_back(std::move(range));
        if (at < t.size() && t[at].Is(Op::Comma)) ++at;
    }
}

void DeclarationReader::Parameters(Tokens t, std::vector<Declaration>& into) {
    if (t.empty()) return;
    std::size_t items = 1;
    for (std::size_t at = ItemEnd(t, 0); at < t.size(); at = ItemEnd(t, at + 1)) ++items;
    into.reserve(into.size() + items);
    std::size_t at = 0;
    while (at < t.size()) {
        const std::size_t end = ItemEnd(t, at);
        const Tokens item = t.first(end);
        Declaration d;
        d.kind = DeclarationKind::Parameter;
        d.scope = Scope::Local;
        for (; at < item.size(); ++at) {
            if (item[at].Is(Keyword::Optional)) {
                d.flags |= flag::kOptional;
            } else if (item[at].Is(Keyword::ByVal)) {
                d.flags |= flag::kByVal;
            } else if (item[at].Is(Keyword::ByRef)) {
                d.flags |= flag::kByRef;
            } else if (item[at].Is(Keyword::ParamArray)) {
                d.flags |= flag::kParamArray;
            } else {
                break;
            }
        }
        if (NameAndType(item, at, d)) {
            if (at < item.size() && item[at].Is(Op::Equals)) d.EditDetails().value = Text(item.subspan(at + 1));
            into.push_back(std::move(d));
        }
        at = end + 1;
    }
}

Declaration DeclarationReader::Declare(Tokens t, Scope scope) {
    // [scope] Declare [PtrSafe] Sub|Function name [CDecl] Lib "lib" [Alias "alias"] [(params)] [As type]
    Declaration d;
    d.kind = DeclarationKind::Declare;
    d.scope = scope;
    std::size_t at = 0;
    while (at < t.size() && !t[at].Is(Keyword::Declare)) ++at;
    ++at;
    if (at < t.size() && t[at].Is(Keyword::PtrSafe)) {
        d.flags |= flag::kPtrSafe;
        ++at;
    }
    if (at + 1 >= t.size() || !(t[at].Is(Keyword::Sub) || t[at].Is(Keyword::Function))) return {};
    const bool function = t[at].Is(Keyword::Function);
    const Token& name = t[++at];
    if (name.kind != TokenKind::Identifier) return {};
    ++at;
    if (at < t.size() && t[at].Is(Keyword::CDecl)) {
        d.flags |= flag::kCDecl;
        ++at;
    }
    if (at + 1 >= t.size() || !t[at].Is(Keyword::Lib) || t[at + 1].kind != TokenKind::String) return {};
    d.EditDetails().library = Unquoted(t[at + 1].text);
    at += 2;
    if (at + 1 < t.size() && t[at].Is(Keyword::Alias) && t[at + 1].kind == TokenKind::String) {
        d.EditDetails().alias = Unquoted(t[at + 1].text);
        at += 2;
    }
    Place(d, name);
    if (at < t.size() && t[at].Is(Op::LParen)) {
        const std::size_t close = Closing(t, at);
        Parameters(t.subspan(at + 1, close - at - 1), d.EditDetails().children);
        at = std::min(close + 1, t.size());
    }
    if (function) {
        d.flags |= flag::kFunction;
        if (at + 1 < t.size() && t[at].Is(Keyword::As)) {
            d.type = Text(t.subspan(at + 1));
            d.typeSource = TypeSource::As;
        } else if (!TypeOfCharacter(name.typeChar).empty()) {
            d.type = TypeOfCharacter(name.typeChar);
            d.typeSource = TypeSource::TypeCharacter;
        } else {
            ImplicitType(d);
        }
    }
    return d;
}

}  // namespace quibex::vb6::decl
