#pragma once
// Reads a member file's bytes into statements as VB6 does: " _" joins
// physical lines into one logical line, ":" separates statements outside
// strings and comments, a name and ":" or a number at a line's start is a
// label, a one-line If is one statement with its parts, #If/#Else branches
// are kept or left out by the compile constants, Type and Enum blocks hold
// members whatever they are called, and procedures end only at End Sub,
// End Function or End Property. A form's layout block is read as lines.
//
// Memory stays bounded: a statement is given in pieces of at most
// Statement::kMaxTokens tokens, each holding bounded texts.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/CodePage.h"
#include "vb6/lex/Lexer.h"
#include "vb6/lex/TextArena.h"
#include "vb6/syntax/Conditions.h"
#include "vb6/syntax/Statement.h"

namespace quibex::vb6::syntax {

class StatementReader : private lex::TokenSink {
public:
    StatementReader(const CodePage& codePage, const Constants& constants, StatementSink& sink);
    StatementReader(const StatementReader&) = delete;
    StatementReader& operator=(const StatementReader&) = delete;

    // The file's next bytes; its end.
    void Feed(const char* data, std::size_t size) { lexer_.Feed(data, size); }
    void Finish();

    lex::Lexer& Lexer() { return lexer_; }
    // The constants after the member's own #Const lines.
    const Constants& CompileConstants() const { return constants_; }

private:
    enum class Layout : std::uint8_t { None, Header, Block, Done };
    struct Condition {
        bool parentActive;  // the branch around the #If is kept
        bool taken;         // a branch of this #If was kept
        bool active;        // the current branch is kept
    };

    void Tokens(std::span<const lex::Token> tokens) override;
    void PieceEnd() override;

    void LineToken(const lex::Token& t);
    void Hold(const lex::Token& t);
    void ToVector();
    void ClearHeld();
    std::size_t HeldCount() const { return inVector_ ? held_.size() : spanCount_; }
    std::span<const lex::Token> Held() const {
        return inVector_ ? std::span<const lex::Token>(held_) : std::span<const lex::Token>(span_, spanCount_);
    }
    void Code(const lex::Token& t);
    void EndLine(const lex::Token& end);
    void EndLogicalLine();
    void BeginStatement(const lex::Token& t);
    void EndStatement();
    void Emit(StatementKind kind, std::span<const lex::Token> tokens, bool continues);
    void EmitHeld(StatementKind kind, bool continues);
    StatementKind Classify() const;
    bool IsProcedureStart(bool inTypeBlock) const;
    void StartInlineIf();
    void WatchParentheses();
    void ElseOfInlineIf();
    void Directive();
    void EmitDirective(std::span<const lex::Token> tokens);
    bool Active() const { return conditions_.empty() || conditions_.back().active; }
    void LayoutOfLine(std::string_view raw, bool truncated);

    lex::Lexer lexer_;
    CodePage codePage_;
    Constants constants_;
    StatementSink& sink_;

    // The physical line.
    Figure line_ = 1;
    int lineTokens_ = 0;
    lex::TokenKind firstKind_ = lex::TokenKind::LineEnd;
    lex::Keyword firstKeyword_ = lex::Keyword::None;
    bool continuationLine_ = false;  // the line goes on with the statement before it
    bool commentLine_ = false;       // ... or with a comment
    bool skipLine_ = false;          // a layout line whose tokens are no code
    std::string_view raw_;
    bool rawTruncated_ = false;

    // The layout block and the header before it.
    Layout layout_ = Layout::None;
    int layoutDepth_ = 0;
    bool versionPending_ = false;  // line 1 starts with VERSION; is a blank next?
    lex::Token versionToken_;
    std::string versionText_;
    bool classHeader_ = false;     // "VERSION 1.0 CLASS"

    // The logical line and the statement.
    bool inLogical_ = false;
    bool logicalStart_ = false;  // no statement has begun on the logical line yet
    // The statement's tokens: a run of the lexer's batch, or copies.
    std::span<const lex::Token> batch_;
    const lex::Token* span_ = nullptr;
    std::size_t spanCount_ = 0;
    bool inVector_ = false;
    std::vector<lex::Token> held_;
    std::size_t pinned_ = 0;     // held_ tokens whose texts are copied
    lex::TextArena arena_;
    Figure statementLine_ = 0;
    bool firstOfLine_ = false;
    bool directive_ = false;
    bool ifStatement_ = false;   // If ... Then
    bool elseIfStatement_ = false;
    bool pendingThen_ = false;   // Then ended the tokens so far
    int parenDepth_ = 0;
    std::size_t keywords_ = 0;   // keyword tokens held
    // The tokens that end, split or decide the statement being read.
    const std::array<bool, 8 * 128>* structural_ = nullptr;
    bool chunked_ = false;       // pieces of the statement went out
    std::vector<Part> inlineIfs_;  // the one-line Ifs the statement stands in

    // Blocks and conditional compilation.
    Context context_ = Context::Module;
    std::vector<Condition> conditions_;
};

}  // namespace quibex::vb6::syntax
