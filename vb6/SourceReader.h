#pragma once
// Reads one VB6 member file (form, module, class, user control, property
// page, user document) in a single pass and builds its MemberModel from the
// statement layer: bytes come in pieces of any size, as a file is read, and
// the model is the same wherever the pieces are cut; no more than a bounded
// part of any line is held, so a 2 GiB member is read in a few hundred KiB.
//
// Lines end as the engine ends them: at CR LF, at a lone CR or at a lone LF,
// and a last line without a line break still counts. So the five line
// classes of a member always add up to the engine's interface and code lines.
// A UTF-8 byte order mark is noted in the file facts and skipped.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/CodePage.h"
#include "vb6/SourceModel.h"
#include "vb6/syntax/Conditions.h"

namespace quibex::vb6 {

namespace syntax {
class StatementReader;
}

class SourceReader {
public:
    // `constants`: the project's compile constants (CondComp, --define);
    // VB6's own when none are given.
    explicit SourceReader(const CodePage& codePage, const syntax::Constants& constants = syntax::Constants{});
    ~SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    // The next bytes of the file.
    void Feed(const char* data, std::size_t size);
    // The end of the file: ends the last line and gives the model. The
    // reader cannot be fed after this.
    MemberModel Finish();

    class Builder;

private:
    // Bytes past the byte order mark, with the facts the statements do not see.
    void FeedText(const char* data, std::size_t size);
    void Invalid();

    CodePage codePage_;
    std::unique_ptr<Builder> builder_;
    std::unique_ptr<syntax::StatementReader> statements_;
    unsigned char head_[3] = {};  // the file's first bytes, for a byte order mark
    int headBytes_ = 0;
    bool pendingLead_ = false;    // double-byte check: a lead byte ended the last piece
    FileFacts facts_;
};

// The whole text at once, for tests and small files.
MemberModel ReadSource(std::string_view text, const CodePage& codePage = CodePage{},
                       const syntax::Constants& constants = syntax::Constants{});

}  // namespace quibex::vb6
