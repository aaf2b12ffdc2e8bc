#include "vb6/lex/Lexer.h"

#include <algorithm>

#include "vb6/lex/KeywordTable.h"
#include "vb6/lex/Scan.h"

namespace quibex::vb6::lex {

namespace {

// What a byte starts in code.
enum Class : std::uint8_t {
    kOther, kBlank, kLetter, kDigit, kQuote, kApostrophe, kColon, kUnderscore, kAmpersand, kHash, kDot, kBang,
    kLess, kGreater, kBracket, kBreak, kLead, kSingle,
};

// The operators that are one byte whatever follows.
constexpr auto kSingleOps = [] {
    std::array<Op, 256> t{};
    t[','] = Op::Comma;
    t[';'] = Op::Semicolon;
    t['('] = Op::LParen;
    t[')'] = Op::RParen;
    t['='] = Op::Equals;
    t['+'] = Op::Plus;
    t['-'] = Op::Minus;
    t['*'] = Op::Star;
    t['/'] = Op::Slash;
    t['\\'] = Op::Backslash;
    t['^'] = Op::Caret;
    return t;
}();

constexpr std::string_view kOpBytes = ",;()=+-*/\\^";

// Every byte once: the text of a one-byte operator points here, never at
// a piece that is gone.
constexpr auto kBytes = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<char>(c);
    return t;
}();
std::string_view ByteText(unsigned char c) { return {&kBytes[c], 1}; }

// Bytes after a name that need the full reading: type characters, letters
// of the code page beyond ASCII.
constexpr auto kAfterNameSlow = [] {
    std::array<bool, 256> t{};
    for (char c : std::string_view("$%&!#@^")) t[static_cast<unsigned char>(c)] = true;
    for (int c = 0x80; c <= 0xFF; ++c) t[c] = true;
    return t;
}();

// Bytes after digits that go on a number: a fraction, an exponent, a type
// character, a letter.
constexpr auto kAfterDigitsSlow = [] {
    std::array<bool, 256> t{};
    for (char c : std::string_view(".eEdD%&!#@^")) t[static_cast<unsigned char>(c)] = true;
    return t;
}();

constexpr std::size_t kBatch = 256;

using scan::IsBlank;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(unsigned char c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }

// The bytes a date literal is written with, as VB6 saves it:
// #1/2/2000#, #1/2/2000 3:04:05 PM#, #3:04 AM#.
bool IsDateByte(unsigned char c) {
    if (IsDigit(c) || c == '/' || c == '-' || c == ':' || c == ' ') return true;
    c |= 0x20;
    return c == 'a' || c == 'p' || c == 'm';
}

// Whether `s` (between the "#" marks) is a date, a time or both.
bool IsDateText(std::string_view s) {
    std::size_t i = 0;
    auto blanks = [&] {
        while (i < s.size() && s[i] == ' ') ++i;
    };
    auto digits = [&](std::size_t most) {
        std::size_t n = 0;
        while (i < s.size() && IsDigit(static_cast<unsigned char>(s[i])) && n < most) {
            ++i;
            ++n;
        }
        return n > 0;
    };
    bool any = false;
    blanks();
    const std::size_t start = i;
    // A date: m/d/y or m-d-y, the year optional.
    if (digits(4) && i < s.size() && (s[i] == '/' || s[i] == '-')) {
        const char separator = s[i++];
        if (!digits(2)) return false;
        if (i < s.size() && s[i] == separator) {
            ++i;
            if (!digits(4)) return false;
        }
        any = true;
        blanks();
    } else {
        i = start;
    }
    // A time: h:mm, h:mm:ss, with AM or PM.
    if (i < s.size()) {
        if (!digits(2) || i >= s.size() || s[i] != ':') return false;
        ++i;
        if (!digits(2)) return false;
        if (i < s.size() && s[i] == ':') {
            ++i;
            if (!digits(2)) return false;
        }
        blanks();
        if (i < s.size()) {
            const char a = static_cast<char>(s[i] | 0x20);
            if (i + 1 >= s.size() || (a != 'a' && a != 'p') || (s[i + 1] | 0x20) != 'm') return false;
            i += 2;
        }
        any = true;
        blanks();
    }
    return any && i == s.size();
}

void Append(std::string& to, const char* b, const char* e, std::size_t limit) {
    if (to.size() < limit && e > b) to.append(b, std::min<std::size_t>(static_cast<std::size_t>(e - b), limit - to.size()));
}

std::string_view Bounded(const char* b, const char* e, std::size_t limit) {
    return {b, std::min<std::size_t>(static_cast<std::size_t>(e - b), limit)};
}

}  // namespace

Lexer::Lexer(const CodePage& codePage, TokenSink& sink) : codePage_(codePage), sink_(sink) {
    for (int c = 'a'; c <= 'z'; ++c) class_[c] = kLetter;
    for (int c = 'A'; c <= 'Z'; ++c) class_[c] = kLetter;
    if (!codePage_.doubleByte) {
        // Accented letters of the single-byte code pages name things too
        // ("Año"); the punctuation below 0xC0 does not.
        for (int c = 0xC0; c <= 0xFF; ++c) class_[c] = kLetter;
        class_[0xD7] = class_[0xF7] = kOther;
    }
    for (int c = '0'; c <= '9'; ++c) class_[c] = kDigit;
    class_[' '] = class_['\t'] = kBlank;
    class_['"'] = kQuote;
    class_['\''] = kApostrophe;
    class_[':'] = kColon;
    class_['_'] = kUnderscore;
    class_['&'] = kAmpersand;
    class_['#'] = kHash;
    class_['.'] = kDot;
    class_['!'] = kBang;
    class_['<'] = kLess;
    class_['>'] = kGreater;
    class_['['] = kBracket;
    class_['\r'] = class_['\n'] = kBreak;
    for (char c : kOpBytes) class_[static_cast<unsigned char>(c)] = kSingle;
    if (codePage_.doubleByte) {
        for (int c = 0x80; c <= 0xFF; ++c) {
            if (codePage_.IsLeadByte(static_cast<unsigned char>(c))) class_[c] = kLead;
        }
    }
    batch_ = std::make_unique<Token[]>(kBatch);
}

Lexer::~Lexer() = default;

void Lexer::SetLineMode(LineMode mode) {
    if (fed_ > 0 || line_ > 1) {
        nextMode_ = mode;
        return;
    }
    mode_ = mode;
    state_ = mode == LineMode::Raw ? State::Raw : State::Code;
}

std::string_view Lexer::Stored(std::string_view text) { return arena_.Store(text); }

void Lexer::Flush() {
    if (batchSize_ == 0) return;
    sink_.Tokens(std::span<const Token>(batch_.get(), batchSize_));
    batchSize_ = 0;
}

// Where Rem starts a comment: at a statement's start, after a line number,
// a colon, or the Then or Else of a one-line If.
bool Lexer::StatementStart() const {
    if (!lineHasTokens_) return !continuationLine_;
    return (previousKind_ == TokenKind::Operator && previousOp_ == Op::Colon) ||
           (previousKind_ == TokenKind::Identifier &&
            (previousKeyword_ == Keyword::Then || previousKeyword_ == Keyword::Else)) ||
           previousLineNumber_;
}

inline Token& Lexer::NewToken(TokenKind kind) {
    // Built where it is kept: a token assembled elsewhere and copied in
    // costs a stall on every copy.
    // Field by field: a whole default token copied in would be read back
    // before its bytes are written.
    Token& t = batch_[batchSize_++];
    t.text = {};
    t.length = 0;
    t.column = 0;
    t.line = line_;
    t.kind = kind;
    t.keyword = Keyword::None;
    t.op = Op::None;
    t.typeChar = 0;
    t.flags = 0;
    return t;
}

inline void Lexer::Commit(Token& token) {
    if (copyTexts_) token.text = Stored(token.text);
    if (token.kind != TokenKind::LineEnd && token.kind != TokenKind::Raw) {
        token.flags |= static_cast<std::uint8_t>((afterBlank_ ? flag::kAfterBlank : 0) | (lineHasTokens_ ? 0 : flag::kLineStart));
        previousLineNumber_ = token.kind == TokenKind::Number && !lineHasTokens_ && !continuationLine_;
        lineHasTokens_ = true;
        afterBlank_ = false;
        previousKind_ = token.kind;
        previousOp_ = token.op;
        previousKeyword_ = token.keyword;
    }
    if (batchSize_ == kBatch) Flush();
}

void Lexer::EmitOperator(Op op, std::string_view text, std::int64_t offset, std::uint64_t length) {
    Token& t = NewToken(TokenKind::Operator);
    t.op = op;
    t.text = text;
    t.column = offset - lineStart_ + 1;
    t.length = length;
    Commit(t);
}

void Lexer::EmitIdentifier(std::string_view text, Keyword keyword, std::int64_t end, char typeChar) {
    Token& t = NewToken(TokenKind::Identifier);
    t.keyword = keyword;
    t.text = text;
    t.typeChar = typeChar;
    t.flags = tokenFlags_;
    t.column = tokenOffset_ - lineStart_ + 1;
    t.length = static_cast<std::uint64_t>(end - tokenOffset_);
    Commit(t);
}

void Lexer::EmitNumber(std::string_view text, std::int64_t end, char typeChar) {
    Token& t = NewToken(TokenKind::Number);
    t.text = text;
    t.typeChar = typeChar;
    t.column = tokenOffset_ - lineStart_ + 1;
    t.length = static_cast<std::uint64_t>(end - tokenOffset_);
    Commit(t);
}

void Lexer::EmitString(std::string_view text, std::int64_t end, bool unterminated) {
    Token& t = NewToken(TokenKind::String);
    t.text = text;
    t.flags = unterminated ? flag::kUnterminated : 0;
    t.column = tokenOffset_ - lineStart_ + 1;
    t.length = static_cast<std::uint64_t>(end - tokenOffset_);
    Commit(t);
}

void Lexer::EmitComment(std::string_view text, std::int64_t end) {
    const bool goesOn = tailLast_ == '_' && IsBlank(tailBefore_);
    Token& t = NewToken(TokenKind::Comment);
    t.text = text;
    t.flags = static_cast<std::uint8_t>((rem_ ? flag::kRem : 0) | (goesOn ? flag::kCommentGoesOn : 0));
    t.column = tokenOffset_ - lineStart_ + 1;
    t.length = static_cast<std::uint64_t>(end - tokenOffset_);
    Commit(t);
    commentGoesOn_ = goesOn;
}

std::string_view Lexer::TextTo(const char* q, std::size_t limit) {
    if (!tokenContinued_) {
        const std::string_view text = Bounded(tokenStart_, q, limit);
        return copyTexts_ ? Stored(text) : text;
    }
    Append(tokenText_, tokenStart_, q, limit);
    return Stored(tokenText_);
}

void Lexer::KeepText(const char* q, std::size_t limit) {
    if (!tokenContinued_) {
        tokenText_.clear();
        tokenContinued_ = true;
    }
    Append(tokenText_, tokenStart_, q, limit);
}

void Lexer::BeginToken(State state, const char* text, std::int64_t offset) {
    state_ = state;
    tokenStart_ = text;
    tokenOffset_ = offset;
    tokenContinued_ = false;
    tokenFlags_ = 0;
}

void Lexer::Feed(const char* data, std::size_t size) {
    if (size == 0) return;
    // The sink has copied every text it keeps at the last PieceEnd.
    arena_.Reset();
    const char* p = data;
    const char* const e = data + size;
    const std::int64_t offset = fed_;
    fed_ += static_cast<std::int64_t>(size);
    if (pendingCr_) {
        pendingCr_ = false;
        if (*p == '\n') {
            ++breaks_.crlf;
            ++lineStart_;
            ++p;
        } else if (!breaks_.cr++) {
            breaks_.firstCr = line_ - 1;
        }
    }
    if (mode_ != LineMode::Code) rawStart_ = p;
    Lex(p, e, offset + (p - data));
    Flush();
    sink_.PieceEnd();
    if (mode_ != LineMode::Code && rawStart_) {
        Append(rawText_, rawStart_, e, kMaxRawText);
        rawStart_ = nullptr;
    }
}

void Lexer::Lex(const char* p, const char* e, std::int64_t offset) {
    base_ = p;
    baseOffset_ = offset;
    tokenStart_ = p;  // a token that goes on, goes on here
    while (p < e) {
        switch (state_) {
            case State::Code: p = LexCode(p, e); break;
            case State::Identifier: p = ContinueIdentifier(p, e); break;
            case State::IdentifierBang: p = ResolveBang(p); break;
            case State::Bracketed: p = ContinueBracketed(p, e); break;
            case State::Number: p = ContinueNumber(p, e); break;
            case State::String: p = ContinueString(p, e); break;
            case State::StringQuote: p = ResolveQuote(p, e); break;
            case State::Comment: p = ContinueComment(p, e); break;
            case State::CommentLineStart: p = CommentLineStart(p, e); break;
            case State::Underscore: p = ContinueUnderscore(p, e); break;
            case State::PendingOp: p = PendingOperator(p, e); break;
            case State::DateCandidate: p = ContinueDate(p, e); break;
            case State::Raw: p = ContinueRaw(p, e); break;
        }
    }
}

const char* Lexer::LexCode(const char* p, const char* e) {
    while (p < e) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (IsBlank(c)) {
            do ++p;
            while (p < e && IsBlank(static_cast<unsigned char>(*p)));
            afterBlank_ = true;
            continue;
        }
        const std::uint8_t cls = class_[c];
        if (cls == kLetter && !codePage_.doubleByte && !copyTexts_) {
            // The common name, whole in the piece and with no type
            // character after it, at once.
            const char* q = scan::NameEnd(p + 1, e);
            if (q < e && !kAfterNameSlow[static_cast<unsigned char>(*q)]) {
                const std::size_t n = static_cast<std::size_t>(q - p);
                const Keyword keyword = detail::FindKeywordAt(p, n, e);
                if (keyword != Keyword::Rem) {
                    Token& t = NewToken(TokenKind::Identifier);
                    t.text = std::string_view(p, std::min(n, kMaxNameText));
                    t.keyword = keyword;
                    t.column = Offset(p) - lineStart_ + 1;
                    t.length = n;
                    Commit(t);
                    p = q;
                    continue;
                }
            }
        }
        switch (cls) {
            case kLetter:
            case kLead:
                BeginToken(State::Identifier, p, Offset(p));
                p = ContinueIdentifier(p, e);
                break;
            case kDigit: {
                // A whole number of digits alone, at once.
                const char* q = p + 1;
                while (q < e && IsDigit(static_cast<unsigned char>(*q))) ++q;
                if (q < e && !kAfterDigitsSlow[static_cast<unsigned char>(*q)] && !copyTexts_) {
                    Token& t = NewToken(TokenKind::Number);
                    t.text = std::string_view(p, std::min<std::size_t>(static_cast<std::size_t>(q - p), kMaxNumberText));
                    t.column = Offset(p) - lineStart_ + 1;
                    t.length = static_cast<std::uint64_t>(q - p);
                    Commit(t);
                    p = q;
                    continue;
                }
                BeginToken(State::Number, p, Offset(p));
                numberPhase_ = NumberPhase::Integer;
                p = ContinueNumber(p + 1, e);
                break;
            }
            case kQuote:
                BeginToken(State::String, p + 1, Offset(p));
                p = ContinueString(p + 1, e);
                break;
            case kApostrophe: p = StartComment(p + 1, e, Offset(p), false, '\''); break;
            case kBreak: p = LineBreakAt(p, e); break;
            case kBracket:
                BeginToken(State::Bracketed, p + 1, Offset(p));
                tokenFlags_ = flag::kBracketed;
                p = ContinueBracketed(p + 1, e);
                break;
            case kUnderscore:
                if (afterBlank_) {
                    // Perhaps " _" at the end of the line.
                    state_ = State::Underscore;
                    pendingOffset_ = Offset(p);
                    p = ContinueUnderscore(p + 1, e);
                } else {
                    EmitOperator(Op::Underscore, "_", Offset(p), 1);
                    ++p;
                }
                break;
            case kHash: p = StartDate(p, e); break;
            case kColon:
            case kLess:
            case kGreater:
            case kAmpersand:
            case kDot:
                state_ = State::PendingOp;
                pendingOp_ = c;
                pendingOffset_ = Offset(p);
                p = PendingOperator(p + 1, e);
                break;
            case kBang:
                EmitOperator(Op::Bang, "!", Offset(p), 1);
                ++p;
                break;
            case kSingle: {
                Token& t = NewToken(TokenKind::Operator);
                t.op = kSingleOps[c];
                t.text = ByteText(c);
                t.column = Offset(p) - lineStart_ + 1;
                t.length = 1;
                Commit(t);
                ++p;
                break;
            }
            default:
                EmitOperator(Op::Other, ByteText(c), Offset(p), 1);
                ++p;
                break;
        }
        if (state_ != State::Code) return p;
    }
    return p;
}

const char* Lexer::ScanWord(const char* p, const char* e) {
    if (!codePage_.doubleByte) {
        for (;;) {
            p = scan::NameEnd(p, e);
            // Accented letters go on a name; NameEnd stops at them.
            if (p < e && static_cast<unsigned char>(*p) >= 0x80 && class_[static_cast<unsigned char>(*p)] == kLetter) {
                ++p;
                continue;
            }
            return p;
        }
    }
    while (p < e) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (scan::kNameBytes[c]) {
            ++p;
        } else if (class_[c] == kLead) {
            if (p + 1 == e) {
                pendingLead_ = true;
                return e;
            }
            p += codePage_.IsTrailByte(static_cast<unsigned char>(p[1])) ? 2 : 1;
        } else {
            break;
        }
    }
    return p;
}

const char* Lexer::ContinueIdentifier(const char* p, const char* e) {
    if (pendingLead_) {
        // The lead byte that ended the last range takes its trail byte,
        // whatever that looks like.
        pendingLead_ = false;
        if (codePage_.IsTrailByte(static_cast<unsigned char>(*p))) ++p;
    }
    const char* q = ScanWord(p, e);
    if (q == e) {
        KeepText(e, kMaxNameText);
        return e;
    }
    return EndIdentifier(q, e);
}

const char* Lexer::EndIdentifier(const char* q, const char* e) {
    const std::string_view text = TextTo(q, kMaxNameText);
    const Keyword keyword = FindKeyword(text);
    if (keyword == Keyword::Rem && StatementStart()) {
        state_ = State::Code;
        return StartComment(q, e, tokenOffset_, true, 'm');
    }
    char typeChar = 0;
    switch (*q) {
        case '$':
        case '%':
        case '@':
        case '^':
        case '&': typeChar = *q++; break;
        case '#':
            // "Print #1" is a file number, "x#" a Double.
            if (keyword == Keyword::None) typeChar = *q++;
            break;
        case '!':
            // "rs!Name" is a member of rs; "x!" a Single.
            if (q + 1 == e) {
                tokenText_.assign(text);
                tokenContinued_ = true;
                tokenKeyword_ = keyword;
                pendingOffset_ = Offset(q);
                state_ = State::IdentifierBang;
                return e;
            }
            if (class_[static_cast<unsigned char>(q[1])] != kLetter && class_[static_cast<unsigned char>(q[1])] != kLead &&
                q[1] != '[') {
                typeChar = *q++;
            }
            break;
        default: break;
    }
    state_ = State::Code;
    EmitIdentifier(text, keyword, Offset(q), typeChar);
    return q;
}

const char* Lexer::ResolveBang(const char* p) {
    state_ = State::Code;
    const unsigned char next = static_cast<unsigned char>(*p);
    const std::string_view text = Stored(tokenText_);
    if (class_[next] == kLetter || class_[next] == kLead || next == '[') {
        EmitIdentifier(text, tokenKeyword_, pendingOffset_, 0);
        EmitOperator(Op::Bang, "!", pendingOffset_, 1);
    } else {
        EmitIdentifier(text, tokenKeyword_, pendingOffset_ + 1, '!');
    }
    return p;
}

const char* Lexer::ContinueBracketed(const char* p, const char* e) {
    if (pendingLead_) {
        pendingLead_ = false;
        if (codePage_.IsTrailByte(static_cast<unsigned char>(*p))) ++p;
    }
    while (p < e) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == ']') {
            state_ = State::Code;
            EmitIdentifier(TextTo(p, kMaxNameText), Keyword::None, Offset(p) + 1, 0);
            return p + 1;
        }
        if (c == '\r' || c == '\n') {
            state_ = State::Code;
            tokenFlags_ |= flag::kUnterminated;
            EmitIdentifier(TextTo(p, kMaxNameText), Keyword::None, Offset(p), 0);
            return p;
        }
        if (class_[c] == kLead) {
            if (p + 1 == e) {
                pendingLead_ = true;
                break;
            }
            p += codePage_.IsTrailByte(static_cast<unsigned char>(p[1])) ? 2 : 1;
        } else {
            ++p;
        }
    }
    KeepText(e, kMaxNameText);
    return e;
}

const char* Lexer::ContinueNumber(const char* p, const char* e) {
    for (; p < e; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        switch (numberPhase_) {
            case NumberPhase::Integer:
            case NumberPhase::Fraction:
                if (IsDigit(c)) continue;
                if (c == '.' && numberPhase_ == NumberPhase::Integer) {
                    numberPhase_ = NumberPhase::Fraction;
                    continue;
                }
                if ((c | 0x20) == 'e' || (c | 0x20) == 'd') {
                    numberPhase_ = NumberPhase::ExponentSign;
                    continue;
                }
                break;
            case NumberPhase::ExponentSign:
                if (c == '+' || c == '-' || IsDigit(c)) {
                    numberPhase_ = NumberPhase::Exponent;
                    continue;
                }
                break;
            case NumberPhase::Exponent:
                if (IsDigit(c)) continue;
                break;
            case NumberPhase::Hex:
                if (IsHexDigit(c)) continue;
                break;
            case NumberPhase::Octal:
                if (c >= '0' && c <= '7') continue;
                break;
        }
        // The number ends here, perhaps with its type character.
        const std::string_view text = TextTo(p, kMaxNumberText);
        const bool based = numberPhase_ == NumberPhase::Hex || numberPhase_ == NumberPhase::Octal;
        char typeChar = 0;
        if (c == '%' || c == '&' || c == '^' || (!based && (c == '!' || c == '#' || c == '@'))) typeChar = static_cast<char>(c);
        state_ = State::Code;
        EmitNumber(text, Offset(p) + (typeChar ? 1 : 0), typeChar);
        return typeChar ? p + 1 : p;
    }
    KeepText(e, kMaxNumberText);
    return e;
}

const char* Lexer::ContinueString(const char* p, const char* e) {
    for (;;) {
        const char* q = scan::FindQuoteOrBreak(p, e);
        if (q == e) {
            KeepText(e, kMaxStringText);
            return e;
        }
        if (*q != '"') {
            // A string ends with its line.
            state_ = State::Code;
            EmitString(TextTo(q, kMaxStringText), Offset(q), true);
            return q;
        }
        if (q + 1 == e) {
            // "" or the end of the string: the next piece tells.
            KeepText(q, kMaxStringText);
            pendingOffset_ = Offset(q);
            state_ = State::StringQuote;
            return e;
        }
        if (q[1] == '"') {
            p = q + 2;
            continue;
        }
        state_ = State::Code;
        EmitString(TextTo(q, kMaxStringText), Offset(q) + 1, false);
        return q + 1;
    }
}

const char* Lexer::ResolveQuote(const char* p, const char* e) {
    if (*p == '"') {
        if (tokenText_.size() < kMaxStringText) tokenText_.append("\"\"", std::min<std::size_t>(2, kMaxStringText - tokenText_.size()));
        state_ = State::String;
        tokenStart_ = p + 1;
        return ContinueString(p + 1, e);
    }
    state_ = State::Code;
    EmitString(Stored(tokenText_), pendingOffset_ + 1, false);
    return p;
}

const char* Lexer::StartComment(const char* body, const char* e, std::int64_t startOffset, bool rem,
                                unsigned char before) {
    BeginToken(State::Comment, body, startOffset);
    rem_ = rem;
    tailLast_ = tailBefore_ = 0;
    lastByte_ = before;
    return ContinueComment(body, e);
}

const char* Lexer::ContinueComment(const char* p, const char* e) {
    const char* q = scan::FindBreak(p, e);
    // The last non-blank byte and the one before it, for " _" at the end.
    const char* last = q;
    while (last > p && IsBlank(static_cast<unsigned char>(last[-1]))) --last;
    if (last > p) {
        tailLast_ = static_cast<unsigned char>(last[-1]);
        tailBefore_ = last - 1 > p ? static_cast<unsigned char>(last[-2]) : lastByte_;
    }
    if (q > p) lastByte_ = static_cast<unsigned char>(q[-1]);
    if (q == e) {
        KeepText(e, kMaxCommentText);
        return e;
    }
    state_ = State::Code;
    EmitComment(TextTo(q, kMaxCommentText), Offset(q));
    return q;
}

const char* Lexer::CommentLineStart(const char* p, const char* e) {
    const char* q = p;
    while (q < e && IsBlank(static_cast<unsigned char>(*q))) ++q;
    if (q > p) afterBlank_ = true;
    if (q == e) return e;
    state_ = State::Code;
    // A blank line ends the comment; anything else goes on with it.
    if (*q == '\r' || *q == '\n') return q;
    return StartComment(q, e, Offset(q), false, afterBlank_ ? ' ' : 0);
}

const char* Lexer::ContinueUnderscore(const char* p, const char* e) {
    while (p < e && IsBlank(static_cast<unsigned char>(*p))) ++p;
    if (p == e) return e;
    state_ = State::Code;
    if (*p == '\r' || *p == '\n') {
        continues_ = true;
    } else {
        EmitOperator(Op::Underscore, "_", pendingOffset_, 1);
        afterBlank_ = true;
    }
    return p;
}

const char* Lexer::PendingOperator(const char* p, const char* e) {
    if (p == e) return e;
    const unsigned char c = static_cast<unsigned char>(*p);
    state_ = State::Code;
    // A number that starts at the waiting byte: "&H", "&O", ".5".
    auto number = [&](NumberPhase phase, const char* rest) {
        state_ = State::Number;
        numberPhase_ = phase;
        tokenOffset_ = pendingOffset_;
        tokenFlags_ = 0;
        if (p > base_) {
            tokenStart_ = p - 1;
            tokenContinued_ = false;
        } else {
            tokenText_.assign(1, static_cast<char>(pendingOp_));
            tokenContinued_ = true;
            tokenStart_ = p;
        }
        return ContinueNumber(rest, e);
    };
    switch (pendingOp_) {
        case ':':
            if (c == '=') {
                EmitOperator(Op::ColonEquals, ":=", pendingOffset_, 2);
                return p + 1;
            }
            EmitOperator(Op::Colon, ":", pendingOffset_, 1);
            return p;
        case '<':
            if (c == '=' || c == '>') {
                EmitOperator(c == '=' ? Op::LessEqual : Op::NotEqual, c == '=' ? "<=" : "<>", pendingOffset_, 2);
                return p + 1;
            }
            EmitOperator(Op::Less, "<", pendingOffset_, 1);
            return p;
        case '>':
            if (c == '=') {
                EmitOperator(Op::GreaterEqual, ">=", pendingOffset_, 2);
                return p + 1;
            }
            EmitOperator(Op::Greater, ">", pendingOffset_, 1);
            return p;
        case '&':
            if ((c | 0x20) == 'h') return number(NumberPhase::Hex, p + 1);
            if ((c | 0x20) == 'o') return number(NumberPhase::Octal, p + 1);
            EmitOperator(Op::Ampersand, "&", pendingOffset_, 1);
            return p;
        default: {
            // "." before a digit starts a number, unless it follows a name:
            // "a.5" is no number.
            const bool afterName = lineHasTokens_ && !afterBlank_ &&
                                   (previousKind_ == TokenKind::Identifier || previousKind_ == TokenKind::Number ||
                                    previousKind_ == TokenKind::String || previousOp_ == Op::RParen);
            if (IsDigit(c) && !afterName) return number(NumberPhase::Fraction, p);
            EmitOperator(Op::Dot, ".", pendingOffset_, 1);
            return p;
        }
    }
}

const char* Lexer::StartDate(const char* p, const char* e) {
    const char* q = p + 1;
    while (q < e && static_cast<std::size_t>(q - p - 1) < kMaxDate && IsDateByte(static_cast<unsigned char>(*q))) ++q;
    if (q == e) {
        // The piece ends before the date does or fails: keep the bytes.
        date_.assign(p + 1, e);
        pendingOffset_ = Offset(p);
        state_ = State::DateCandidate;
        return e;
    }
    if (*q == '#' && IsDateText(std::string_view(p + 1, static_cast<std::size_t>(q - p - 1)))) {
        tokenOffset_ = Offset(p);
        Token& t = NewToken(TokenKind::Date);
        t.text = std::string_view(p + 1, static_cast<std::size_t>(q - p - 1));
        t.column = tokenOffset_ - lineStart_ + 1;
        t.length = static_cast<std::uint64_t>(q + 1 - p);
        Commit(t);
        return q + 1;
    }
    EmitOperator(Op::Hash, "#", Offset(p), 1);
    return p + 1;
}

const char* Lexer::ContinueDate(const char* p, const char* e) {
    const std::size_t room = kMaxDate - date_.size();
    const char* q = p;
    while (q < e && static_cast<std::size_t>(q - p) < room && IsDateByte(static_cast<unsigned char>(*q))) ++q;
    if (q == e) {
        date_.append(p, e);
        return e;
    }
    date_.append(p, q);
    state_ = State::Code;
    if (q < e && *q == '#' && IsDateText(date_)) {
        Token& t = NewToken(TokenKind::Date);
        t.text = Stored(date_);
        t.column = pendingOffset_ - lineStart_ + 1;
        t.length = static_cast<std::uint64_t>(Offset(q) + 1 - pendingOffset_);
        Commit(t);
        return q + 1;
    }
    EmitOperator(Op::Hash, "#", pendingOffset_, 1);
    Replay(std::move(date_), pendingOffset_ + 1);
    date_.clear();
    // A token that the kept bytes began goes on here.
    tokenStart_ = q;
    return q;
}

void Lexer::Replay(std::string bytes, std::int64_t offset) {
    const char* const base = base_;
    const std::int64_t baseOffset = baseOffset_;
    const bool copyTexts = copyTexts_;
    copyTexts_ = true;
    Lex(bytes.data(), bytes.data() + bytes.size(), offset);
    base_ = base;
    baseOffset_ = baseOffset;
    copyTexts_ = copyTexts;
}

const char* Lexer::ContinueRaw(const char* p, const char* e) {
    const char* q = scan::FindBreak(p, e);
    if (q == e) return e;
    state_ = State::Code;
    return q;
}

const char* Lexer::LineBreakAt(const char* q, const char* e) {
    EndLine(Offset(q), q);
    if (*q == '\n') {
        if (!breaks_.lf++) breaks_.firstLf = line_ - 1;
        return q + 1;
    }
    if (q + 1 == e) {
        pendingCr_ = true;  // an LF may follow in the next piece
        return e;
    }
    if (q[1] == '\n') {
        ++breaks_.crlf;
        ++lineStart_;
        if (rawStart_) ++rawStart_;
        return q + 2;
    }
    if (!breaks_.cr++) breaks_.firstCr = line_ - 1;
    return q + 1;
}

void Lexer::EndLine(std::int64_t end, const char* q) {
    if (mode_ != LineMode::Code) {
        std::string_view text;
        if (rawText_.empty() && rawStart_ && q) {
            text = Bounded(rawStart_, q, kMaxRawText);
        } else {
            if (rawStart_ && q) Append(rawText_, rawStart_, q, kMaxRawText);
            text = Stored(rawText_);
        }
        Token& raw = NewToken(TokenKind::Raw);
        raw.text = text;
        raw.column = 1;
        raw.length = static_cast<std::uint64_t>(end - lineStart_);
        Commit(raw);
        rawText_.clear();
    }
    Token& t = NewToken(TokenKind::LineEnd);
    t.column = end - lineStart_ + 1;
    t.length = static_cast<std::uint64_t>(end - lineStart_);
    t.flags = static_cast<std::uint8_t>((continues_ ? flag::kContinues : 0) | (commentGoesOn_ ? flag::kCommentGoesOn : 0));
    Commit(t);
    Flush();

    ++line_;
    lineStart_ = end + 1;
    lineUsed_ = lineHasTokens_ = afterBlank_ = false;
    continuationLine_ = continues_;
    previousKind_ = TokenKind::LineEnd;
    previousOp_ = Op::None;
    previousKeyword_ = Keyword::None;
    previousLineNumber_ = false;
    mode_ = nextMode_;
    nextMode_ = LineMode::Code;
    state_ = mode_ == LineMode::Raw ? State::Raw : commentGoesOn_ ? State::CommentLineStart : State::Code;
    rawStart_ = mode_ != LineMode::Code && q ? q + 1 : nullptr;
    continues_ = commentGoesOn_ = false;
}

void Lexer::FinishState() {
    const std::int64_t end = fed_;
    const State state = state_;
    state_ = State::Code;
    switch (state) {
        case State::Code:
        case State::Raw:
        case State::CommentLineStart: break;
        case State::Identifier: {
            const std::string_view text = Stored(tokenText_);
            const Keyword keyword = FindKeyword(text);
            if (keyword == Keyword::Rem && StatementStart()) {
                rem_ = true;
                tailLast_ = tailBefore_ = 0;
                EmitComment({}, end);
            } else {
                EmitIdentifier(text, keyword, end, 0);
            }
            break;
        }
        case State::IdentifierBang: EmitIdentifier(Stored(tokenText_), tokenKeyword_, end, '!'); break;
        case State::Bracketed:
            tokenFlags_ |= flag::kUnterminated;
            EmitIdentifier(Stored(tokenText_), Keyword::None, end, 0);
            break;
        case State::Number: EmitNumber(Stored(tokenText_), end, 0); break;
        case State::String: EmitString(Stored(tokenText_), end, true); break;
        case State::StringQuote: EmitString(Stored(tokenText_), end, false); break;
        case State::Comment: EmitComment(Stored(tokenText_), end); break;
        case State::Underscore: continues_ = true; break;
        case State::PendingOp:
            switch (pendingOp_) {
                case ':': EmitOperator(Op::Colon, ":", pendingOffset_, 1); break;
                case '<': EmitOperator(Op::Less, "<", pendingOffset_, 1); break;
                case '>': EmitOperator(Op::Greater, ">", pendingOffset_, 1); break;
                case '&': EmitOperator(Op::Ampersand, "&", pendingOffset_, 1); break;
                default: EmitOperator(Op::Dot, ".", pendingOffset_, 1); break;
            }
            break;
        case State::DateCandidate:
            EmitOperator(Op::Hash, "#", pendingOffset_, 1);
            Replay(std::move(date_), pendingOffset_ + 1);
            date_.clear();
            FinishState();
            break;
    }
}

void Lexer::Finish() {
    FinishState();
    if (pendingCr_) {
        pendingCr_ = false;
        if (!breaks_.cr++) breaks_.firstCr = line_ - 1;
    } else if (fed_ > lineStart_ || lineUsed_) {
        if (mode_ != LineMode::Code && rawStart_) rawStart_ = nullptr;  // kept at the last piece's end
        EndLine(fed_, nullptr);
        breaks_.lastLineUnterminated = true;
    }
    Flush();
    sink_.PieceEnd();
}

}  // namespace quibex::vb6::lex
