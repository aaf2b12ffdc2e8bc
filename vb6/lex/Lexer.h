#pragma once
// The VB6 lexer: a state machine fed the bytes of a member file in pieces of
// any size, as a file is read. It gives the same tokens wherever the pieces
// are cut, holds no more than a bounded prefix of any token however long a
// line is, and reads the file's code page: a double-byte character is one
// character whose trail byte is never a quote, a separator or a bracket.
//
// Lines end as the engine ends them: at CR LF, a lone CR or a lone LF; a last
// line without a line break still counts. Each line's tokens end with a
// LineEnd token, which says whether " _" continues its statement or comment.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/CodePage.h"
#include "vb6/lex/TextArena.h"
#include "vb6/lex/Token.h"

namespace quibex::vb6::lex {

class TokenSink {
public:
    virtual ~TokenSink() = default;
    // The next tokens, in order. A line's LineEnd always ends a batch, so
    // that the sink can choose the next line's mode (Lexer::SetLineMode).
    virtual void Tokens(std::span<const Token> tokens) = 0;
    // Texts of the tokens given so far stop being valid when this returns:
    // a sink that holds tokens copies their texts here.
    virtual void PieceEnd() {}
};

struct LineBreakCounts {
    Figure crlf = 0, lf = 0, cr = 0;
    Figure firstLf = 0, firstCr = 0;  // the first line ending in a lone LF / CR
    bool lastLineUnterminated = false;
};

class Lexer {
public:
    Lexer(const CodePage& codePage, TokenSink& sink);
    ~Lexer();
    Lexer(const Lexer&) = delete;
    Lexer& operator=(const Lexer&) = delete;

    void Feed(const char* data, std::size_t size);
    // The end of the file: ends the last line. Feed may not follow.
    void Finish();

    // How the next line is read: as code; as code and also whole (a Raw
    // token before its LineEnd); or only whole, with no code tokens (a
    // form's layout, which is no VB code). Called from the sink, at a
    // LineEnd, for the line after it; before the first byte, for the first.
    enum class LineMode : std::uint8_t { Code, CodeAndRaw, Raw };
    void SetLineMode(LineMode mode);

    // The current line counts even if the bytes it held were not fed (a
    // byte order mark that the reader skips).
    void MarkLineUsed() { lineUsed_ = true; }

    // The physical line the next byte belongs to, from 1.
    Figure Line() const { return line_; }
    const LineBreakCounts& Breaks() const { return breaks_; }

    // A date literal holds at most this many bytes between its "#" marks.
    static constexpr std::size_t kMaxDate = 64;

private:
    enum class State : std::uint8_t {
        Code, Identifier, IdentifierBang, Bracketed, Number, String, StringQuote, Comment, CommentLineStart,
        Underscore, PendingOp, DateCandidate, Raw,
    };
    enum class NumberPhase : std::uint8_t { Integer, Fraction, ExponentSign, Exponent, Hex, Octal };

    // The state machine over [p, e), which lies at file offset `offset`.
    void Lex(const char* p, const char* e, std::int64_t offset);
    const char* LexCode(const char* p, const char* e);
    const char* ScanWord(const char* p, const char* e);
    const char* ContinueIdentifier(const char* p, const char* e);
    const char* EndIdentifier(const char* q, const char* e);
    const char* ResolveBang(const char* p);
    const char* ContinueBracketed(const char* p, const char* e);
    const char* ContinueNumber(const char* p, const char* e);
    const char* ContinueString(const char* p, const char* e);
    const char* ResolveQuote(const char* p, const char* e);
    const char* StartComment(const char* body, const char* e, std::int64_t startOffset, bool rem,
                             unsigned char before);
    const char* ContinueComment(const char* p, const char* e);
    const char* CommentLineStart(const char* p, const char* e);
    const char* ContinueUnderscore(const char* p, const char* e);
    const char* PendingOperator(const char* p, const char* e);
    const char* StartDate(const char* p, const char* e);
    const char* ContinueDate(const char* p, const char* e);
    const char* ContinueRaw(const char* p, const char* e);
    const char* LineBreakAt(const char* q, const char* e);
    // "#" was no date: it and the bytes kept after it are read as code.
    void Replay(std::string bytes, std::int64_t offset);
    // Starts a token whose text begins at `text` (in the range) and whose
    // first byte is at `offset`.
    void BeginToken(State state, const char* text, std::int64_t offset);

    std::int64_t Offset(const char* p) const { return baseOffset_ + (p - base_); }
    // The token's text from where it began (or went on) to q.
    std::string_view TextTo(const char* q, std::size_t limit);
    // The range ends inside a token: keeps its text so far, up to q.
    void KeepText(const char* q, std::size_t limit);
    std::string_view Stored(std::string_view text);
    Token& NewToken(TokenKind kind);
    void Commit(Token& token);
    void EmitOperator(Op op, std::string_view text, std::int64_t offset, std::uint64_t length);
    void EmitIdentifier(std::string_view text, Keyword keyword, std::int64_t end, char typeChar);
    void EmitNumber(std::string_view text, std::int64_t end, char typeChar);
    void EmitString(std::string_view text, std::int64_t end, bool unterminated);
    void EmitComment(std::string_view text, std::int64_t end);
    void EndLine(std::int64_t end, const char* q);
    bool StatementStart() const;
    void Flush();
    // The file ends: the token being read ends as at a line break.
    void FinishState();

    CodePage codePage_;
    TokenSink& sink_;
    std::array<std::uint8_t, 256> class_{};

    // The range being read.
    const char* base_ = nullptr;
    std::int64_t baseOffset_ = 0;
    std::int64_t fed_ = 0;    // bytes fed so far
    bool copyTexts_ = false;  // the range is the lexer's own: texts are copied

    State state_ = State::Code;
    LineMode mode_ = LineMode::Code;
    LineMode nextMode_ = LineMode::Code;

    // The line.
    Figure line_ = 1;
    std::int64_t lineStart_ = 0;  // file offset of its first byte
    bool lineUsed_ = false;       // it holds a byte that was not fed
    bool lineHasTokens_ = false;
    bool afterBlank_ = false;
    bool continuationLine_ = false;  // the line goes on with the statement before it
    bool continues_ = false;      // " _" ended it
    bool commentGoesOn_ = false;  // its comment ends with " _"
    bool pendingCr_ = false;
    LineBreakCounts breaks_;

    // The previous token, for "." and "!" after a name.
    TokenKind previousKind_ = TokenKind::LineEnd;
    Op previousOp_ = Op::None;
    Keyword previousKeyword_ = Keyword::None;
    bool previousLineNumber_ = false;  // ... was a line number

    // The token being read.
    const char* tokenStart_ = nullptr;  // where its text goes on in the range
    bool tokenContinued_ = false;       // tokenText_ holds its text from earlier ranges
    std::int64_t tokenOffset_ = 0;      // its first byte
    std::string tokenText_;
    std::uint8_t tokenFlags_ = 0;
    Keyword tokenKeyword_ = Keyword::None;  // IdentifierBang
    bool pendingLead_ = false;          // a lead byte ended the range inside a name
    NumberPhase numberPhase_ = NumberPhase::Integer;
    unsigned char pendingOp_ = 0;       // PendingOp: the byte that waits for the next
    std::int64_t pendingOffset_ = 0;    // where that byte, a "!", a closing quote or "#" stands
    bool rem_ = false;                  // the comment is a Rem
    unsigned char tailLast_ = 0, tailBefore_ = 0, lastByte_ = 0;  // a comment's end, for " _"
    std::string date_;                  // DateCandidate: the bytes after "#"

    // A whole line for the raw modes.
    const char* rawStart_ = nullptr;
    std::string rawText_;

    // Tokens waiting for the sink, and the texts that are no view of the piece.
    std::unique_ptr<Token[]> batch_;
    std::size_t batchSize_ = 0;
    TextArena arena_;
};

}  // namespace quibex::vb6::lex
