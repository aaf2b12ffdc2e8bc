#pragma once
// Reads one VB6 member file (form, module, class, user control, property
// page, user document) in a single pass and builds its MemberModel. Bytes
// come in pieces of any size, as a file is read; no more than a bounded part
// of any line is held, so a 2 GiB member is read in a few hundred KiB.
//
// Lines end as the engine ends them: at CR LF, at a lone CR or at a lone LF,
// and a last line without a line break still counts. So the five line
// classes of a member always add up to the engine's interface and code lines.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/CodePage.h"
#include "vb6/SourceModel.h"

namespace quibex::vb6 {

class SourceReader {
public:
    explicit SourceReader(const CodePage& codePage);
    ~SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    // The next bytes of the file.
    void Feed(const char* data, std::size_t size);
    // The end of the file: ends the last line and gives the model. The
    // reader cannot be fed after this.
    MemberModel Finish();

    // A physical line is analysed in its first this many bytes (VB6 itself
    // stops at 1023 characters); the rest is only measured for its line
    // break, a continuation at its end and the file facts.
    static constexpr std::size_t kAnalysedLineBytes = 64 * 1024;

    class Analyser;
    // The analyser may read this many bytes past a line's end; the first of
    // them is a CR or LF.
    static constexpr std::size_t kPadding = 16;

private:
    void AnalyseHeldLine();
    void EndLine();
    void AddToLine(const char* begin, const char* end);
    void CheckDoubleByte(const char* begin, const char* end);

    CodePage codePage_;
    std::unique_ptr<Analyser> analyser_;
    std::string line_;            // the current line when it spans pieces
    bool lineOpen_ = false;       // the current line has bytes
    bool lineHeld_ = false;       // ... and they are in line_
    bool truncated_ = false;      // line_ holds only its first bytes
    bool pendingCr_ = false;      // a CR ended the last piece
    bool pendingLead_ = false;    // double-byte check: a lead byte ended the last piece
    unsigned char tailLast_ = 0;  // the line's last non-blank byte and the byte before it
    unsigned char tailBefore_ = 0;
    unsigned char lastByte_ = 0;  // the line's last byte so far
    Figure lines_ = 0;            // lines ended so far
    unsigned char head_[3] = {};  // the file's first bytes, for a byte order mark
    int headBytes_ = 0;
    FileFacts facts_;
};

// The whole text at once, for tests and small files.
MemberModel ReadSource(std::string_view text, const CodePage& codePage = CodePage{});

}  // namespace quibex::vb6
