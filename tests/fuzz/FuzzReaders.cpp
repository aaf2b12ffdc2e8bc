// Reads an arbitrary project or group file, whose lines may name member
// files that the input also supplies, and checks that the run keeps its
// invariants: one list entry per record, totals equal to the sums of the
// records, label texts equal to the figures they show.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/mdlFill.h"
#include "tests/support/MemoryFileSystem.h"

namespace {

class CountingObserver : public quibex::IRunObserver {
public:
    void Yield() override { ++yields; }
    long yields = 0;
};

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input is split at bytes 0x00 into the chosen file and then member
    // files named "m0.frm", "m1.bas", ... in a folder "Sub" beside it. The
    // first byte picks project or group and the code page.
    if (size < 1) return 0;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    quibex::test::MemoryFileSystem files;
    if (data[0] & 2) {
        files.codePage_.AddLeadRange(0x81, 0x9F);
    }
    std::size_t start = 0, index = 0;
    std::string chosen;
    static const char* kExtensions[] = {".frm", ".bas", ".cls", ".ctl", ".vbp", ".frx"};
    while (start <= text.size()) {
        std::size_t end = text.find('\0', start);
        if (end == std::string::npos) end = text.size();
        std::string part = text.substr(start, end - start);
        if (index == 0) {
            chosen = part;
        } else {
            files.Add("\\P\\Sub\\m" + std::to_string(index - 1) + kExtensions[(index - 1) % 6], part);
        }
        ++index;
        start = end + 1;
    }
    const std::string path = (data[0] & 1) ? "\\P\\G.vbg" : "\\P\\P.vbp";
    files.Add(path, chosen);

    quibex::StatisticsModel stats;
    quibex::MemoryDisplay display;
    display.ResetFigures();
    CountingObserver observer;
    quibex::mdlFill fill(stats, display, files, observer);
    fill.ReadChosenFile(path, quibex::mdlFill::ExtensionCase::Exact);

    Check(display.ListCount() == stats.RecordCount());
    Check(stats.MemberCount == stats.RecordCount());
    quibex::Figure sums[5] = {};
    for (const quibex::MemberRecord& r : stats.Records()) {
        Check(r.FileSize >= 0 && r.BinarySize >= 0 && r.InterfaceLines >= 0 && r.CodeLines >= 0);
        Check(r.InterfaceBytes >= 2 * r.InterfaceLines && r.CodeBytes >= 2 * r.CodeLines);
        sums[0] += r.BinarySize;
        sums[1] += r.InterfaceLines;
        sums[2] += r.InterfaceBytes;
        sums[3] += r.CodeLines;
        sums[4] += r.CodeBytes;
    }
    Check(sums[0] == stats.BinaryTotal && sums[1] == stats.InterfaceLinesTotal &&
          sums[2] == stats.InterfaceBytesTotal && sums[3] == stats.CodeLinesTotal && sums[4] == stats.CodeBytesTotal);
    if (stats.RecordCount() > 0) {
        using quibex::Label;
        const quibex::MemberRecord& last = stats.Members(stats.RecordCount());
        Check(display.Text(Label::LabelFileT) == last.Path);
        Check(display.Text(Label::LabelLineT) ==
              quibex::LineFigureText(last.InterfaceLines + last.CodeLines, last.InterfaceBytes + last.CodeBytes));
        Check(display.Text(Label::LabelTotalFileT) ==
              quibex::LineFigureText(stats.InterfaceLinesTotal + stats.CodeLinesTotal,
                                     stats.BinaryTotal + stats.InterfaceBytesTotal + stats.CodeBytesTotal));
        quibex::Figure counted = 0;
        for (Label l : {Label::LabelFormT, Label::LabelMDIFormT, Label::LabelModuleT, Label::LabelClassModuleT,
                        Label::LabelUserControlT, Label::LabelPropertyPageT, Label::LabelUserDocumentT}) {
            counted += quibex::LeadingNumber(display.Text(l));
        }
        Check(counted == stats.RecordCount());
        // One yield per member listed and one per member file end, plus one
        // per 221 lines of the run.
        quibex::Figure lines = stats.InterfaceLinesTotal + stats.CodeLinesTotal;
        Check(observer.yields == 2 * stats.RecordCount() + lines / 221);
    }
    return 0;
}
