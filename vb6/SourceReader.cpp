#include "vb6/SourceReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__) && !defined(QUIBEX_NO_SIMD)
#include <emmintrin.h>
#define QUIBEX_VB6_SSE2 1
#endif

namespace quibex::vb6 {

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }
bool IsLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

const char* SkipBlanks(const char* p, const char* e) {
    while (p < e && IsBlank(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// Letters, digits and "_": what VB6 names are made of.
constexpr auto kWordChars = [] {
    std::array<bool, 256> t{};
    for (int c = 'a'; c <= 'z'; ++c) t[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = true;
    for (int c = '0'; c <= '9'; ++c) t[c] = true;
    t['_'] = true;
    return t;
}();

// What a byte starts in code.
enum class Lex : std::uint8_t { Other, Blank, Letter, Digit, Quote, Apostrophe, Colon, Underscore, Ampersand, Bracket, Comma, Break };
constexpr auto kLexClass = [] {
    std::array<Lex, 256> t{};
    for (int c = 'a'; c <= 'z'; ++c) t[c] = Lex::Letter;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = Lex::Letter;
    for (int c = '0'; c <= '9'; ++c) t[c] = Lex::Digit;
    t[' '] = t['\t'] = Lex::Blank;
    t['"'] = Lex::Quote;
    t['\''] = Lex::Apostrophe;
    t[':'] = Lex::Colon;
    t['_'] = Lex::Underscore;
    t['&'] = Lex::Ampersand;
    t['['] = Lex::Bracket;
    t[','] = Lex::Comma;
    t['\r'] = t['\n'] = Lex::Break;  // after a line's end, where the reader stops
    return t;
}();

// The words the reader acts on. Everything else is a name.
enum class Keyword : std::uint8_t {
    None,
    If, ElseIf, Else, Case, Select, For, Next, While, Wend, Until, Do, Loop, With, End, Exit, Then, And, Or,
    Sub, Function, Property, Get, Let, Set, Public, Private, Friend, Global, Static, Declare, Lib, Alias,
    Dim, WithEvents, Rem, Attribute, Begin, Object, BeginProperty, EndProperty, Index,
};

struct KeywordName {
    std::string_view lower;
    Keyword keyword;
};

constexpr KeywordName kKeywords[] = {
    {"if", Keyword::If},           {"elseif", Keyword::ElseIf},       {"else", Keyword::Else},
    {"case", Keyword::Case},       {"select", Keyword::Select},       {"for", Keyword::For},
    {"next", Keyword::Next},       {"while", Keyword::While},         {"wend", Keyword::Wend},
    {"until", Keyword::Until},     {"do", Keyword::Do},               {"loop", Keyword::Loop},
    {"with", Keyword::With},       {"end", Keyword::End},             {"exit", Keyword::Exit},
    {"then", Keyword::Then},       {"and", Keyword::And},             {"or", Keyword::Or},
    {"sub", Keyword::Sub},         {"function", Keyword::Function},   {"property", Keyword::Property},
    {"get", Keyword::Get},         {"let", Keyword::Let},             {"set", Keyword::Set},
    {"public", Keyword::Public},   {"private", Keyword::Private},     {"friend", Keyword::Friend},
    {"global", Keyword::Global},   {"static", Keyword::Static},       {"declare", Keyword::Declare},
    {"lib", Keyword::Lib},         {"alias", Keyword::Alias},         {"dim", Keyword::Dim},
    {"withevents", Keyword::WithEvents}, {"rem", Keyword::Rem},       {"attribute", Keyword::Attribute},
    {"begin", Keyword::Begin},     {"object", Keyword::Object},       {"beginproperty", Keyword::BeginProperty},
    {"endproperty", Keyword::EndProperty}, {"index", Keyword::Index},
};

constexpr std::size_t kLongestKeyword = 13;

// The first eight bytes of a word folded to lower case, packed.
constexpr std::uint64_t Packed(std::string_view word) {
    std::uint64_t packed = 0;
    for (std::size_t i = 0; i < word.size() && i < 8; ++i) {
        packed |= static_cast<std::uint64_t>(static_cast<unsigned char>(word[i]) | 0x20) << (8 * i);
    }
    return packed;
}

// The keywords by length and first letter, at most a few each, so that a
// name costs a comparison or two of packed bytes.
struct KeywordTable {
    static constexpr int kSlots = 3;
    struct Slot {
        std::uint64_t packed = 0;
        std::uint8_t keyword = 0;  // index into kKeywords + 1; 0 for none
    };
    std::array<std::array<std::array<Slot, kSlots>, 26>, kLongestKeyword + 1> slots{};
};

constexpr KeywordTable MakeKeywordTable() {
    KeywordTable t;
    for (std::size_t i = 0; i < std::size(kKeywords); ++i) {
        const std::string_view lower = kKeywords[i].lower;
        auto& slots = t.slots[lower.size()][lower[0] - 'a'];
        std::size_t k = 0;
        while (slots[k].keyword) ++k;  // a fourth keyword of a length and letter would not compile
        slots[k] = {Packed(lower), static_cast<std::uint8_t>(i + 1)};
    }
    return t;
}
constexpr KeywordTable kKeywordTable = MakeKeywordTable();

// The keyword a word is, in any letter case; None for a name. `word` holds
// only letters, digits and "_"; `end` is where the bytes it lies in end,
// so that up to eight can be read at once.
inline Keyword FindKeyword(std::string_view word, const char* end) {
    const std::size_t length = word.size();
    if (length < 2 || length > kLongestKeyword) return Keyword::None;
    const unsigned initial = (static_cast<unsigned char>(word[0]) | 0x20u) - 'a';
    if (initial >= 26) return Keyword::None;
    const auto& slots = kKeywordTable.slots[length][initial];
    if (!slots[0].keyword) return Keyword::None;  // most names: no keyword of this length and letter
    // Folding with | 0x20 maps letters to lower case and leaves digits as
    // they are; "_" becomes DEL, which no keyword holds.
    std::uint64_t packed;
    if (end - word.data() >= 8) {
        std::memcpy(&packed, word.data(), 8);
        if constexpr (std::endian::native == std::endian::big) packed = __builtin_bswap64(packed);
        packed |= 0x2020202020202020ull;
        if (length < 8) packed &= (1ull << (8 * length)) - 1;
    } else {
        packed = Packed(word);
    }
    for (const KeywordTable::Slot& slot : slots) {
        if (!slot.keyword) break;
        if (slot.packed != packed) continue;
        const KeywordName& candidate = kKeywords[slot.keyword - 1];
        std::size_t i = 8;
        while (i < length && (static_cast<unsigned char>(word[i]) | 0x20) == static_cast<unsigned char>(candidate.lower[i]))
            ++i;
        if (i >= length) return candidate.keyword;
    }
    return Keyword::None;
}

// The first byte from p on that is no letter, digit or "_". The line that
// p lies in ends at a line break with readable bytes after it.
inline const char* NameEnd(const char* p) {
#ifdef QUIBEX_VB6_SSE2
    // Sixteen bytes at a time: names are mostly shorter, so this is one step.
    const __m128i below_a = _mm_set1_epi8('a' - 1), above_z = _mm_set1_epi8('z' + 1);
    const __m128i below_0 = _mm_set1_epi8('0' - 1), above_9 = _mm_set1_epi8('9' + 1);
    const __m128i fold = _mm_set1_epi8(0x20), underscore = _mm_set1_epi8('_');
    for (;; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i lower = _mm_or_si128(v, fold);
        // Signed compares: bytes from 0x80 on are negative and so no letter.
        const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(lower, below_a), _mm_cmpgt_epi8(above_z, lower));
        const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(v, below_0), _mm_cmpgt_epi8(above_9, v));
        const __m128i word = _mm_or_si128(_mm_or_si128(letter, digit), _mm_cmpeq_epi8(v, underscore));
        const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(word)) & 0xFFFFu;
        if (other) return p + __builtin_ctz(other);
    }
#else
    while (kWordChars[static_cast<unsigned char>(*p)]) ++p;
    return p;
#endif
}

// The end of the word that starts at p (letters, digits, "_"; in a
// double-byte code page also whole double-byte characters).
const char* WordEnd(const char* p, const char* e, const CodePage& codePage) {
    if (!codePage.doubleByte) return std::min(NameEnd(p), e);
    while (p < e) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (codePage.IsLeadByte(c)) {
            p += (e - p >= 2) ? 2 : 1;
        } else if (kWordChars[c]) {
            ++p;
        } else {
            break;
        }
    }
    return p;
}

// The end of a blank-separated field of a layout line.
const char* FieldEnd(const char* p, const char* e) {
    while (p < e && !IsBlank(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// Names are kept up to VB6's own limit of 255 characters; a Declare's
// library or a layout's file name up to a generous path length.
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

}  // namespace

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

Figure LineCounts::Total() const {
    Figure total = 0;
    for (Figure n : count) total += n;
    return total;
}

LineCounts& LineCounts::operator+=(const LineCounts& other) {
    for (int i = 0; i < kLineClassCount; ++i) count[i] += other.count[i];
    return *this;
}

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
    }
    return "Public";
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

// Classifies each line and follows the statements of the code: procedures
// and their complexity, Declare and WithEvents statements, and the layout
// block's controls.
class SourceReader::Analyser {
public:
    explicit Analyser(const CodePage& codePage) : codePage_(codePage) {}

    // One physical line; `truncated` when [b, e) is only its start. `last`
    // and `before` are the whole line's last non-blank byte and the byte
    // before that one (0 when there is none).
    void Line(const char* b, const char* e, bool truncated, unsigned char last, unsigned char before);
    MemberModel Finish(const FileFacts& facts);

private:
    enum class Layout : std::uint8_t { None, Header, Block, Done };
    enum class Continuation : std::uint8_t { None, Code, Comment };
    enum class Token : std::uint8_t { Word, Number, String, Punct };
    enum class StatementEnd : std::uint8_t { LineEnd, Colon, Comment };
    // How far the first words of a statement have matched a procedure head,
    // "End Sub", a Declare or a WithEvents declaration.
    enum class Head : std::uint8_t {
        Start, AfterScope, AfterStatic, AfterDim, PropertyKind, ProcedureName, DeclareKind, DeclareName,
        DeclareLib, DeclareLibrary, DeclareAlias, DeclareAliasName, WithEventsName, End, Done,
    };

    void LayoutLine(const char* e, Keyword first, const char* firstEnd);
    void CodeLine(const char* p, const char* e, bool continues, const char* firstEnd = nullptr,
                  Keyword first = Keyword::None);
    // Lexes code from p to e; true when the line ends inside a comment.
    // [p, firstEnd) is the line's first word when the caller has looked it
    // up already.
    bool LexCode(const char* p, const char* e, const char* firstEnd = nullptr, Keyword first = Keyword::None);
    // A token that is no keyword: most of them. Only its being there counts,
    // unless the statement's head or a Case still waits for it.
    void Plain(Token type, std::string_view text) {
        if (inStatement_ && tokens_ > 0 && head_ == Head::Done && !caseWaiting_) {
            thenLast_ = false;
            previous_ = Keyword::None;
            previousWord_ = type == Token::Word;
            ++tokens_;
            return;
        }
        OnToken(type, Keyword::None, text);
    }
    // Blanks and punctuation with no meaning of their own, [p, q): as one
    // token when only their being there counts.
    void Punctuation(const char* p, const char* q) {
        if (inStatement_ && tokens_ > 0 && head_ == Head::Done && !caseWaiting_) {
            Plain(Token::Punct, {});
            return;
        }
        for (; p < q; ++p) {
            if (!IsBlank(static_cast<unsigned char>(*p))) OnToken(Token::Punct, Keyword::None, std::string_view(p, 1));
        }
    }
    // The token at p that is no name nor plain punctuation (a number, a
    // string, a comment, a colon, ...); where the next one starts. Sets
    // `comment` when the rest of the line is a comment.
    const char* Special(const char* p, const char* e, bool& comment);
    // A word; true when the rest of the line is a comment.
    bool Word(Keyword kw, std::string_view text) {
        if (kw == Keyword::None) {
            Plain(Token::Word, text);
            return false;
        }
        return OnToken(Token::Word, kw, text);
    }
    // One token of a statement; true when the rest of the line is a comment
    // ("Rem" as a statement).
    bool OnToken(Token type, Keyword kw, std::string_view text);
    void HeadStep(Token type, Keyword kw, std::string_view text);
    void EndStatement(StatementEnd how);
    void StartProcedure(std::string_view name);
    void EndProcedure(Figure lastLine, bool ended);
    void AddLine(LineClass c);

    void Decide() {
        if (counting_) ++procedures_.back().complexity;
    }
    void Open() {
        if (!counting_) return;
        ++depth_;
        procedures_.back().nesting = std::max(procedures_.back().nesting, depth_);
    }
    void Close(Figure n) {
        if (counting_) depth_ = std::max<Figure>(0, depth_ - n);
    }

    CodePage codePage_;
    MemberModel model_;
    std::vector<Procedure>& procedures_ = model_.procedures;
    Figure line_ = 0;
    Layout layout_ = Layout::None;
    Continuation continuation_ = Continuation::None;

    // The layout block.
    Figure layoutDepth_ = 0;    // open Begin blocks, the form's own included
    Figure propertyDepth_ = 0;  // open BeginProperty blocks of the current control
    std::vector<std::size_t> controlStack_;  // the open controls, as indexes into model_.controls

    // The statement being read.
    bool inStatement_ = false;
    bool afterColon_ = false;  // the line's statement so far ended at a colon
    Figure tokens_ = 0;  // tokens so far, a leading line number not counted
    Keyword previous_ = Keyword::None;
    bool previousWord_ = false;  // the previous token was a word, whose keyword previous_ is
    Head head_ = Head::Start;
    Scope headScope_ = Scope::Public;
    bool headStatic_ = false;
    ProcedureKind headKind_ = ProcedureKind::Sub;
    std::string headName_;       // a Declare's name until its library is known
    bool ifStatement_ = false;   // the statement starts with If
    bool thenLast_ = false;      // ... and its Then is the last token so far
    bool caseWaiting_ = false;   // a Case: the next word says whether it counts (Case Else)
    bool nextStatement_ = false; // a Next, which closes one loop per name it gives
    Figure commas_ = 0;
    Figure statementLine_ = 0;
    LineCounts statementLines_;  // the statement's lines before the current one

    // Procedures.
    bool procedureOpen_ = false;  // procedures_.back() is being read
    bool counting_ = false;       // ... and its End line has not come yet
    bool endsOnThisLine_ = false;
    Figure depth_ = 0;
};

void SourceReader::Analyser::AddLine(LineClass c) {
    ++model_.lines[c];
    if (procedureOpen_) ++procedures_.back().lines[c];
    // A statement continued over lines keeps them, so that a procedure
    // whose head spans several lines starts at the first of them.
    if (inStatement_) {
        ++statementLines_[c];
    } else {
        statementLines_ = {};
    }
    if (endsOnThisLine_) {
        endsOnThisLine_ = false;
        EndProcedure(line_, true);
    }
}

void SourceReader::Analyser::Line(const char* b, const char* e, bool truncated, unsigned char last,
                                  unsigned char before) {
    ++line_;
    afterColon_ = false;
    // " _" at the end of a line continues its statement, or its comment.
    const bool continues = last == '_' && IsBlank(before);
    const char* p = b;
    while (IsBlank(static_cast<unsigned char>(*p))) ++p;  // the line break after e stops it

    if (line_ == 1 && e - b >= 8 && EqualsIgnoringCase(std::string_view(b, 7), "VERSION") &&
        IsBlank(static_cast<unsigned char>(b[7]))) {
        layout_ = Layout::Header;
        // "VERSION 1.0 CLASS": a class module, whose header block names no object.
        const std::string_view rest = TrimBlanks(std::string_view(b + 8, static_cast<std::size_t>(e - b - 8)));
        if (!truncated && rest.size() >= 5 && EqualsIgnoringCase(rest.substr(rest.size() - 5), "CLASS")) {
            model_.designerClass = "Class";
        }
        AddLine(LineClass::Designer);
        return;
    }
    if (layout_ == Layout::Block) {
        const char* firstEnd = WordEnd(p, e, codePage_);
        LayoutLine(e, FindKeyword(std::string_view(p, static_cast<std::size_t>(firstEnd - p)), e + kPadding), firstEnd);
        AddLine(LineClass::Designer);
        return;
    }
    if (p == e && last == 0) {
        // A statement does not go on over an empty line.
        if (continuation_ == Continuation::Code) EndStatement(StatementEnd::LineEnd);
        continuation_ = Continuation::None;
        AddLine(LineClass::Blank);
        return;
    }
    if (continuation_ == Continuation::Comment) {
        continuation_ = continues ? Continuation::Comment : Continuation::None;
        AddLine(LineClass::Comment);
        return;
    }
    if (continuation_ == Continuation::Code) {
        CodeLine(p, e, continues);
        return;
    }

    const char* firstEnd = WordEnd(p, e, codePage_);
    const Keyword first = FindKeyword(std::string_view(p, static_cast<std::size_t>(firstEnd - p)), e + kPadding);
    if (layout_ == Layout::Header) {
        // After "VERSION": the Object lines, then the block's Begin.
        if (first == Keyword::Object || first == Keyword::Begin) {
            LayoutLine(e, first, firstEnd);
            AddLine(LineClass::Designer);
            return;
        }
        layout_ = Layout::Done;
    }
    const unsigned char c = p < e ? static_cast<unsigned char>(*p) : 0;
    if (c == '\'') {
        continuation_ = continues ? Continuation::Comment : Continuation::None;
        AddLine(LineClass::Comment);
        return;
    }
    if (c == '#') {
        // #If, #Else, #End If, #Const: lines for the compiler, code but no
        // decision of the program's own.
        AddLine(LineClass::Code);
        return;
    }
    if (first == Keyword::Attribute) {
        AddLine(LineClass::Attribute);
        return;
    }
    if (first == Keyword::Rem) {
        continuation_ = continues ? Continuation::Comment : Continuation::None;
        AddLine(LineClass::Comment);
        return;
    }
    // A line number is no word: the lexer takes it as a number.
    CodeLine(p, e, continues, p < e && IsLetter(static_cast<unsigned char>(*p)) ? firstEnd : nullptr, first);
}

void SourceReader::Analyser::CodeLine(const char* p, const char* e, bool continues, const char* firstEnd,
                                      Keyword first) {
    const bool inComment = LexCode(p, e, firstEnd, first);
    if (continues) {
        continuation_ = inComment ? Continuation::Comment : Continuation::Code;
    } else {
        if (!inComment) EndStatement(StatementEnd::LineEnd);
        continuation_ = Continuation::None;
    }
    AddLine(LineClass::Code);
}

void SourceReader::Analyser::LayoutLine(const char* e, Keyword first, const char* firstEnd) {
    const char* q = SkipBlanks(firstEnd, e);
    if (layout_ == Layout::Header) {
        if (first == Keyword::Object) {
            if (q < e && *q == '=') ++q;
            model_.objects.push_back(ParseObjectReference(std::string_view(q, static_cast<std::size_t>(e - q))));
            return;
        }
        // The outermost Begin: the form, user control, ... itself.
        layout_ = Layout::Block;
        layoutDepth_ = 1;
        propertyDepth_ = 0;
        const char* classEnd = FieldEnd(q, e);
        const char* name = SkipBlanks(classEnd, e);
        if (classEnd > q) model_.designerClass = Bounded(std::string_view(q, static_cast<std::size_t>(classEnd - q)), kMaxName);
        model_.designerName = Bounded(std::string_view(name, static_cast<std::size_t>(FieldEnd(name, e) - name)), kMaxName);
        return;
    }
    switch (first) {
        case Keyword::Begin: {
            ++layoutDepth_;
            propertyDepth_ = 0;
            const char* classEnd = FieldEnd(q, e);
            const char* name = SkipBlanks(classEnd, e);
            Control control;
            control.className = Bounded(std::string_view(q, static_cast<std::size_t>(classEnd - q)), kMaxName);
            control.name = Bounded(std::string_view(name, static_cast<std::size_t>(FieldEnd(name, e) - name)), kMaxName);
            control.depth = layoutDepth_ - 1;
            control.line = line_;
            controlStack_.push_back(model_.controls.size());
            model_.controls.push_back(std::move(control));
            return;
        }
        case Keyword::End:
            propertyDepth_ = 0;
            if (!controlStack_.empty()) controlStack_.pop_back();
            if (--layoutDepth_ <= 0) layout_ = Layout::Done;
            return;
        case Keyword::BeginProperty: ++propertyDepth_; return;
        case Keyword::EndProperty:
            if (propertyDepth_ > 0) --propertyDepth_;
            return;
        default: break;
    }
    // A property: "Name = value".
    if (q == e || *q != '=') return;
    q = SkipBlanks(q + 1, e);
    if (first == Keyword::Index && propertyDepth_ == 0 && !controlStack_.empty()) {
        // A control array's member: "Index = 3".
        Figure index = 0;
        const char* digits = q;
        while (q < e && IsDigit(static_cast<unsigned char>(*q)) && index < 1'000'000'000) index = index * 10 + (*q++ - '0');
        if (q > digits) model_.controls[controlStack_.back()].index = index;
        return;
    }
    // A property kept in the binary companion: Picture = "frmMain.frx":0000.
    if (q < e && *q == '"') {
        const char* close = static_cast<const char*>(std::memchr(q + 1, '"', static_cast<std::size_t>(e - q - 1)));
        if (close && close + 1 < e && close[1] == ':' && close > q + 1) {
            const std::string_view file(q + 1, static_cast<std::size_t>(close - q - 1));
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

bool SourceReader::Analyser::LexCode(const char* p, const char* e, const char* firstEnd, Keyword first) {
    if (firstEnd > p) {
        // The line's first word, looked up already.
        if (Word(first, std::string_view(p, static_cast<std::size_t>(firstEnd - p)))) return true;
        p = firstEnd;
    }
    while (p < e) {
        const unsigned char c = static_cast<unsigned char>(*p);
        // Names and keywords first, then blanks and punctuation that mean
        // nothing here: together most of the bytes of code.
        if (kLexClass[c] == Lex::Letter) {
            const char* q = codePage_.doubleByte ? WordEnd(p + 1, e, codePage_) : NameEnd(p + 1);
            const std::string_view word(p, static_cast<std::size_t>(q - p));
            if (Word(FindKeyword(word, e + kPadding), word)) return true;
            p = q;
            continue;
        }
        if (kLexClass[c] <= Lex::Blank && !(codePage_.doubleByte && codePage_.IsLeadByte(c))) {
            const char* q = p;
            bool punct = false;
            // The line break after the line stops the run.
            for (;; ++q) {
                const Lex d = kLexClass[static_cast<unsigned char>(*q)];
                if (d == Lex::Blank) continue;
                if (d != Lex::Other || (codePage_.doubleByte && codePage_.IsLeadByte(static_cast<unsigned char>(*q)))) break;
                punct = true;
            }
            if (punct) Punctuation(p, q);
            p = q;
            continue;
        }
        bool comment = false;
        p = Special(p, e, comment);
        if (comment) return true;
    }
    return false;
}

const char* SourceReader::Analyser::Special(const char* p, const char* e, bool& comment) {
    const unsigned char c = static_cast<unsigned char>(*p);
    switch (kLexClass[c]) {
        case Lex::Digit: {
            const char* q = p + 1;
            while (q < e && (kWordChars[static_cast<unsigned char>(*q)] || *q == '.')) ++q;
            Plain(Token::Number, std::string_view(p, static_cast<std::size_t>(q - p)));
            return q;
        }
        case Lex::Quote: {
            // A string ends at the next quote; "" inside one is two strings
            // in a row here, which is all the same to the reader.
            const char* close = static_cast<const char*>(std::memchr(p + 1, '"', static_cast<std::size_t>(e - p - 1)));
            const char* q = close ? close : e;
            Plain(Token::String, std::string_view(p + 1, static_cast<std::size_t>(q - p - 1)));
            return close ? close + 1 : e;
        }
        case Lex::Apostrophe:
            EndStatement(StatementEnd::Comment);
            comment = true;
            return e;
        case Lex::Colon:
            if (p + 1 < e && p[1] == '=') {  // a named argument, "Key:=1"
                Plain(Token::Punct, std::string_view(p, 2));
                return p + 2;
            }
            EndStatement(StatementEnd::Colon);
            afterColon_ = true;
            return p + 1;
        case Lex::Underscore:
            if (SkipBlanks(p + 1, e) == e) return e;  // the continuation mark
            break;
        case Lex::Ampersand:
            if (p + 1 < e && ((p[1] | 0x20) == 'h' || (p[1] | 0x20) == 'o')) {
                // &HFF, &O17: numbers, not names.
                const char* q = p + 2;
                while (q < e && kWordChars[static_cast<unsigned char>(*q)]) ++q;
                Plain(Token::Number, std::string_view(p, static_cast<std::size_t>(q - p)));
                return q;
            }
            break;
        case Lex::Bracket: {
            // [Name With Spaces]: a name, whatever it holds.
            const char* close = static_cast<const char*>(std::memchr(p + 1, ']', static_cast<std::size_t>(e - p - 1)));
            const char* q = close ? close : e;
            Plain(Token::Word, std::string_view(p + 1, static_cast<std::size_t>(q - p - 1)));
            return close ? close + 1 : e;
        }
        case Lex::Comma:
            if (nextStatement_) ++commas_;
            break;
        case Lex::Blank: return p + 1;
        case Lex::Letter:  // names are read by the callers
        case Lex::Break:   // never inside a line
            break;
        case Lex::Other:
            if (codePage_.doubleByte && codePage_.IsLeadByte(c)) {
                // A name that starts with a double-byte character: its
                // trail byte is part of it, never a quote or a letter.
                const char* q = WordEnd(p, e, codePage_);
                Plain(Token::Word, std::string_view(p, static_cast<std::size_t>(q - p)));
                return q;
            }
            break;
    }
    Plain(Token::Punct, std::string_view(p, 1));
    return p + 1;
}


bool SourceReader::Analyser::OnToken(Token type, Keyword kw, std::string_view text) {
    if (!inStatement_) {
        inStatement_ = true;
        statementLine_ = line_;
        statementLines_ = {};
        // Procedure heads, their ends and declarations start a line.
        if (afterColon_) head_ = Head::Done;
    }
    // A line number or label number before the statement: "100 x = 1".
    if (type == Token::Number && tokens_ == 0) return false;
    const bool word = type == Token::Word;
    if (word && kw == Keyword::Rem && tokens_ == 0) {
        EndStatement(StatementEnd::Comment);
        return true;
    }
    if (caseWaiting_) {
        caseWaiting_ = false;
        if (!(word && kw == Keyword::Else)) Decide();
    }
    // Anything after Then makes a one-line If.
    thenLast_ = false;
    // Where a statement may start: at the beginning, or after the Then or
    // Else of a one-line If.
    const bool atStart = tokens_ == 0 || (previousWord_ && (previous_ == Keyword::Then || previous_ == Keyword::Else));
    const bool after = previousWord_;
    if (head_ != Head::Done) HeadStep(type, kw, text);
    if (word && counting_) {
        switch (kw) {
            case Keyword::If:
                if (after && previous_ == Keyword::End) {
                    Close(1);
                } else {
                    Decide();
                    if (tokens_ == 0) ifStatement_ = true;
                }
                break;
            case Keyword::ElseIf: Decide(); break;
            case Keyword::Case:
                if (!(after && previous_ == Keyword::Select)) caseWaiting_ = true;
                break;
            case Keyword::For:
                // Only a For that starts a loop: not "Exit For", not "Open f For Input".
                if (atStart && !(after && previous_ == Keyword::Exit)) {
                    Decide();
                    Open();
                }
                break;
            case Keyword::While:
                if (!(after && previous_ == Keyword::End)) {
                    Decide();
                    if (atStart) Open();  // While ... Wend; in Do While the Do opened it
                }
                break;
            case Keyword::Until:
            case Keyword::And:
            case Keyword::Or: Decide(); break;
            case Keyword::Select:
            case Keyword::With:
                if (after && previous_ == Keyword::End) {
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
            case Keyword::Next:
                if (atStart) {
                    nextStatement_ = true;
                    commas_ = 0;
                }
                break;
            case Keyword::Then:
                if (ifStatement_) thenLast_ = true;
                break;
            default: break;
        }
    }
    previous_ = word ? kw : Keyword::None;
    previousWord_ = word;
    ++tokens_;
    return false;
}

void SourceReader::Analyser::HeadStep(Token type, Keyword kw, std::string_view text) {
    const bool word = type == Token::Word;
    auto scope = [&](Scope s) {
        headScope_ = s;
        head_ = Head::AfterScope;
    };
    auto procedure = [&](bool allowDeclare) {
        switch (kw) {
            case Keyword::Sub: headKind_ = ProcedureKind::Sub; head_ = Head::ProcedureName; return true;
            case Keyword::Function: headKind_ = ProcedureKind::Function; head_ = Head::ProcedureName; return true;
            case Keyword::Property: head_ = Head::PropertyKind; return true;
            case Keyword::Declare:
                if (!allowDeclare) return false;
                head_ = Head::DeclareKind;
                return true;
            default: return false;
        }
    };
    switch (head_) {
        case Head::Start:
            if (!word) break;
            switch (kw) {
                case Keyword::Public: scope(Scope::Public); return;
                case Keyword::Private: scope(Scope::Private); return;
                case Keyword::Friend: scope(Scope::Friend); return;
                case Keyword::Global: scope(Scope::Global); return;
                case Keyword::Static: headStatic_ = true; head_ = Head::AfterStatic; return;
                case Keyword::Dim: head_ = Head::AfterDim; return;
                case Keyword::End: head_ = Head::End; return;
                default:
                    if (procedure(true)) return;
                    break;
            }
            break;
        case Head::AfterScope:
            if (!word) break;
            if (kw == Keyword::Static) {
                headStatic_ = true;
                head_ = Head::AfterStatic;
                return;
            }
            if (kw == Keyword::WithEvents) {
                head_ = Head::WithEventsName;
                return;
            }
            if (procedure(true)) return;
            break;
        case Head::AfterStatic:
            if (word && procedure(false)) return;
            break;
        case Head::AfterDim:
            if (word && kw == Keyword::WithEvents) {
                head_ = Head::WithEventsName;
                return;
            }
            break;
        case Head::PropertyKind:
            if (!word) break;
            if (kw == Keyword::Get || kw == Keyword::Let || kw == Keyword::Set) {
                headKind_ = kw == Keyword::Get   ? ProcedureKind::PropertyGet
                            : kw == Keyword::Let ? ProcedureKind::PropertyLet
                                                 : ProcedureKind::PropertySet;
                head_ = Head::ProcedureName;
                return;
            }
            break;
        case Head::ProcedureName:
            if (word) StartProcedure(text);
            break;
        case Head::DeclareKind:
            if (!word) break;
            if (kw == Keyword::Sub || kw == Keyword::Function) {
                headKind_ = kw == Keyword::Sub ? ProcedureKind::Sub : ProcedureKind::Function;
                head_ = Head::DeclareName;
                return;
            }
            if (EqualsIgnoringCase(text, "PtrSafe")) return;  // as later VBA writes it
            break;
        case Head::DeclareName:
            if (!word) break;
            headName_ = Bounded(text, kMaxName);
            head_ = Head::DeclareLib;
            return;
        case Head::DeclareLib:
            if (word && kw == Keyword::Lib) {
                head_ = Head::DeclareLibrary;
                return;
            }
            if (type == Token::Punct) return;  // a type character after the name: GetTickCount&
            break;
        case Head::DeclareLibrary:
            if (type == Token::String) {
                Declare declare;
                declare.name = std::move(headName_);
                declare.library = Bounded(text, kMaxText);
                declare.isFunction = headKind_ == ProcedureKind::Function;
                declare.scope = headScope_;
                declare.line = statementLine_;
                model_.declares.push_back(std::move(declare));
                head_ = Head::DeclareAlias;
                return;
            }
            break;
        case Head::DeclareAlias:
            if (word && kw == Keyword::Alias) {
                head_ = Head::DeclareAliasName;
                return;
            }
            break;
        case Head::DeclareAliasName:
            if (type == Token::String) model_.declares.back().alias = Bounded(text, kMaxText);
            break;
        case Head::WithEventsName:
            if (word) model_.withEvents.push_back(Bounded(text, kMaxName));
            break;
        case Head::End:
            if (word && (kw == Keyword::Sub || kw == Keyword::Function || kw == Keyword::Property) && procedureOpen_) {
                // The procedure ends with this line; nothing after "End Sub"
                // on it is the procedure's code.
                counting_ = false;
                endsOnThisLine_ = true;
            }
            break;
        case Head::Done: return;
    }
    head_ = Head::Done;
}

void SourceReader::Analyser::EndStatement(StatementEnd how) {
    if (!inStatement_) return;
    if (caseWaiting_) Decide();
    // "If x Then" at the end of a line opens a block; after a colon it is a
    // one-line If with an empty statement.
    if (ifStatement_ && thenLast_ && how != StatementEnd::Colon) Open();
    if (nextStatement_) Close(1 + commas_);
    inStatement_ = false;
    tokens_ = 0;
    previous_ = Keyword::None;
    previousWord_ = false;
    head_ = Head::Start;
    headScope_ = Scope::Public;
    headStatic_ = false;
    ifStatement_ = thenLast_ = caseWaiting_ = nextStatement_ = false;
    commas_ = 0;
}

void SourceReader::Analyser::StartProcedure(std::string_view name) {
    if (procedureOpen_) {
        // The previous procedure never ended: it stops before this head.
        Procedure& open = procedures_.back();
        for (LineClass c : kLineClasses) open.lines[c] -= statementLines_[c];
        EndProcedure(statementLine_ - 1, false);
    }
    Procedure procedure;
    procedure.kind = headKind_;
    procedure.scope = headScope_;
    procedure.isStatic = headStatic_;
    procedure.name = Bounded(name, kMaxName);
    procedure.firstLine = statementLine_;
    procedure.lines = statementLines_;
    procedures_.push_back(std::move(procedure));
    procedureOpen_ = true;
    counting_ = true;
    depth_ = 0;
}

void SourceReader::Analyser::EndProcedure(Figure lastLine, bool ended) {
    Procedure& procedure = procedures_.back();
    procedure.lastLine = lastLine;
    procedure.ended = ended;
    procedureOpen_ = false;
    counting_ = false;
    depth_ = 0;
}

MemberModel SourceReader::Analyser::Finish(const FileFacts& facts) {
    if (inStatement_) EndStatement(StatementEnd::LineEnd);
    endsOnThisLine_ = false;
    if (procedureOpen_) EndProcedure(line_, false);

    auto lower = [](std::string_view s) {
        std::string out(s);
        for (char& ch : out) {
            if (IsLetter(static_cast<unsigned char>(ch))) ch = static_cast<char>(ch | 0x20);
        }
        return out;
    };
    // The objects whose events a handler can take: each control (once per
    // control array), each WithEvents variable and the member's own object.
    std::vector<std::pair<std::string, std::string>> objects;  // lower case, as written
    for (const Control& control : model_.controls) {
        objects.emplace_back(lower(control.name), control.name);
        model_.controlDepth = std::max(model_.controlDepth, control.depth);
    }
    model_.controlCount = static_cast<Figure>(model_.controls.size());
    std::sort(objects.begin(), objects.end());
    objects.erase(std::unique(objects.begin(), objects.end(),
                              [](const auto& a, const auto& b) { return a.first == b.first; }),
                  objects.end());
    model_.controlNames = static_cast<Figure>(objects.size());
    for (const std::string& variable : model_.withEvents) objects.emplace_back(lower(variable), variable);
    if (std::string_view own = OwnObjectName(model_.designerClass); !own.empty()) {
        objects.emplace_back(lower(own), std::string(own));
    }
    std::sort(objects.begin(), objects.end());

    for (Procedure& procedure : model_.procedures) {
        if (procedure.kind != ProcedureKind::Sub) continue;
        const std::string name = lower(procedure.name);
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

namespace {

// The first CR, LF or NUL in [p, e), or e.
const char* FindBreakOrNul(const char* p, const char* e) {
#ifdef QUIBEX_VB6_SSE2
    const __m128i crs = _mm_set1_epi8('\r');
    const __m128i lfs = _mm_set1_epi8('\n');
    const __m128i nuls = _mm_setzero_si128();
    while (e - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, crs), _mm_cmpeq_epi8(v, lfs)), _mm_cmpeq_epi8(v, nuls)));
        if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    while (p < e && *p != '\r' && *p != '\n' && *p != '\0') ++p;
    return p;
}

}  // namespace

SourceReader::SourceReader(const CodePage& codePage)
    : codePage_(codePage), analyser_(std::make_unique<Analyser>(codePage)) {}

SourceReader::~SourceReader() = default;

void SourceReader::CheckDoubleByte(const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (pendingLead_) {
            pendingLead_ = false;
            if (codePage_.IsTrailByte(c)) continue;
            if (!facts_.invalidDoubleByte++) facts_.firstInvalidDoubleByteLine = lines_ + 1;
        }
        if (codePage_.IsLeadByte(c)) pendingLead_ = true;
    }
}

void SourceReader::AddToLine(const char* begin, const char* end) {
    if (begin == end) return;
    lineOpen_ = true;
    if (codePage_.doubleByte) CheckDoubleByte(begin, end);
    // The last non-blank byte and the one before it, for " _" at the end.
    const char* last = end;
    while (last > begin && IsBlank(static_cast<unsigned char>(last[-1]))) --last;
    if (last > begin) {
        tailLast_ = static_cast<unsigned char>(last[-1]);
        tailBefore_ = last - 1 > begin ? static_cast<unsigned char>(last[-2]) : lastByte_;
    }
    lastByte_ = static_cast<unsigned char>(end[-1]);
}

void SourceReader::EndLine() {
    ++lines_;
    if (codePage_.doubleByte && pendingLead_) {
        // A lead byte right before a line break has lost its trail byte.
        pendingLead_ = false;
        if (!facts_.invalidDoubleByte++) facts_.firstInvalidDoubleByteLine = lines_;
    }
    lineOpen_ = lineHeld_ = truncated_ = false;
    line_.clear();
    tailLast_ = tailBefore_ = lastByte_ = 0;
}

void SourceReader::AnalyseHeldLine() {
    const std::size_t size = line_.size();
    // The analyser may read past a line's end, up to its break and beyond.
    line_.append(kPadding, '\n');
    analyser_->Line(line_.data(), line_.data() + size, truncated_, tailLast_, tailBefore_);
}

void SourceReader::Feed(const char* data, std::size_t size) {
    const char* p = data;
    const char* const e = data + size;
    if (p == e) return;
    // A UTF-8 byte order mark, which the first pieces may split.
    for (const char* b = p; headBytes_ < 3 && b < e; ++b) head_[headBytes_++] = static_cast<unsigned char>(*b);
    facts_.utf8Bom = headBytes_ == 3 && head_[0] == 0xEF && head_[1] == 0xBB && head_[2] == 0xBF;
    if (pendingCr_) {
        pendingCr_ = false;
        if (*p == '\n') {
            ++facts_.crlf;
            ++p;
        } else if (!facts_.cr++) {
            facts_.firstCr = lines_;
        }
    }
    while (p < e) {
        const char* q = FindBreakOrNul(p, e);
        // NUL bytes: the IDE stops reading a file at the first one.
        while (q < e && *q == '\0') {
            if (!facts_.nulBytes++) facts_.firstNulLine = lines_ + 1;
            q = FindBreakOrNul(q + 1, e);
        }
        AddToLine(p, q);
        // A line is analysed where it lies when the piece holds it whole
        // and enough bytes after it; otherwise from a copy.
        if (q == e || lineHeld_ || e - q < static_cast<std::ptrdiff_t>(kPadding)) {
            // The line began in an earlier piece or goes on in the next: it
            // is kept, up to the part that is analysed.
            const std::size_t room = kAnalysedLineBytes - line_.size();
            const std::size_t take = std::min(room, static_cast<std::size_t>(q - p));
            line_.append(p, take);
            truncated_ = truncated_ || take < static_cast<std::size_t>(q - p);
            lineHeld_ = true;
            if (q == e) break;
            AnalyseHeldLine();
        } else {
            analyser_->Line(p, q, false, tailLast_, tailBefore_);
        }
        EndLine();
        if (*q == '\n') {
            if (!facts_.lf++) facts_.firstLf = lines_;
            p = q + 1;
        } else if (q + 1 == e) {
            pendingCr_ = true;  // an LF may follow in the next piece
            p = e;
        } else if (q[1] == '\n') {
            ++facts_.crlf;
            p = q + 2;
        } else {
            if (!facts_.cr++) facts_.firstCr = lines_;
            p = q + 1;
        }
    }
}

MemberModel SourceReader::Finish() {
    if (pendingCr_) {
        pendingCr_ = false;
        if (!facts_.cr++) facts_.firstCr = lines_;
    }
    if (lineOpen_) {
        AnalyseHeldLine();
        EndLine();
        facts_.lastLineUnterminated = true;
    }
    if (pendingLead_) {
        pendingLead_ = false;
        if (!facts_.invalidDoubleByte++) facts_.firstInvalidDoubleByteLine = lines_;
    }
    return analyser_->Finish(facts_);
}

MemberModel ReadSource(std::string_view text, const CodePage& codePage) {
    SourceReader reader(codePage);
    reader.Feed(text.data(), text.size());
    return reader.Finish();
}

}  // namespace quibex::vb6
