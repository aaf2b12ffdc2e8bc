#include "engine/mdlFill.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "engine/LineScanner.h"

namespace quibex {

namespace {

// The run's display and label steps absorb their own failures: a step that
// throws leaves its field or caption as it was, and the next step runs.
template <class F>
void Step(F&& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

constexpr std::size_t kReadBuffer = 256 * 1024;
constexpr Figure kRefreshEvery = 221;

// Keys longer than this name nothing we know, so their text is not kept.
constexpr std::size_t kMaxKey = 64;
// No file system takes a path this long (Windows stops at 32767 characters),
// so a longer value is no member path; the line is passed over rather than
// held in memory whole.
constexpr std::size_t kMaxValue = 64 * 1024;

// Reads a project or group file line by line, keeping at most one line of
// bounded length. Lines end as in member files (CR LF, CR or LF).
class ListFileReader {
public:
    explicit ListFileReader(std::unique_ptr<ByteSource> source) : source_(std::move(source)), buffer_(64 * 1024) {}

    // The next line that holds "=", split; false at the end of the file.
    // Every line read on the way, that one included, goes to `observer`.
    bool Next(KeyValue& out, IRunObserver* observer) {
        std::string line;
        while (ReadLine(line)) {
            if (observer) Step([&] { observer->ProjectLine(line); });
            if (auto kv = SplitLine(line)) {
                out = std::move(*kv);
                return true;
            }
        }
        return false;
    }

private:
    // One line into `line`; an overlong line comes back empty (ignored).
    bool ReadLine(std::string& line) {
        line.clear();
        bool any = false, overlong = false;
        for (;;) {
            if (pos_ == size_) {
                if (eof_) return any;
                size_ = source_->Read(buffer_.data(), buffer_.size());
                pos_ = 0;
                if (size_ == 0) {
                    eof_ = true;
                    return any;
                }
            }
            if (afterCr_) {
                afterCr_ = false;
                if (buffer_[pos_] == '\n') {
                    ++pos_;
                    continue;
                }
            }
            const char* begin = buffer_.data() + pos_;
            const char* end = buffer_.data() + size_;
            const char* stop = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
            if (!overlong) {
                line.append(begin, stop);
                overlong = line.size() > kMaxKey + 1 + kMaxValue && KeyTooLongOrValueTooLong(line);
                if (overlong) line.clear();
            }
            any = true;
            pos_ = static_cast<std::size_t>(stop - buffer_.data());
            if (stop != end) {
                afterCr_ = *stop == '\r';
                ++pos_;
                return true;
            }
        }
    }

    static bool KeyTooLongOrValueTooLong(const std::string& line) {
        std::size_t eq = line.find('=');
        return eq == std::string::npos || eq > kMaxKey || line.size() - eq - 1 > kMaxValue;
    }

    std::unique_ptr<ByteSource> source_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0, size_ = 0;
    bool eof_ = false, afterCr_ = false;
};

}  // namespace

const MemberKind* FindMemberKind(std::string_view lowerKey) {
    for (const MemberKind& kind : kMemberKinds) {
        if (kind.key == lowerKey) return &kind;
    }
    return nullptr;
}

std::optional<KeyValue> SplitLine(std::string_view line) {
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    KeyValue kv;
    // The key is neither trimmed nor otherwise touched: "Form = x" has the
    // key "form " and names nothing.
    kv.key = AsciiLower(line.substr(0, eq));
    std::string_view value = line.substr(eq + 1);
    std::size_t semicolon = value.find(';');
    if (semicolon != std::string_view::npos) {
        // "Module=mdlMain; mdlMain.bas": the file comes after the name.
        value = value.substr(semicolon + 1);
        std::size_t first = value.find_first_not_of(' ');
        if (first == std::string_view::npos) {
            value = {};
        } else {
            value = value.substr(first, value.find_last_not_of(' ') - first + 1);
        }
    }
    kv.value.assign(value);
    return kv;
}

std::size_t LastSeparator(std::string_view path, const CodePage& codePage, bool slashToo) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (codePage.doubleByte && codePage.IsLeadByte(c)) {
            ++i;  // its trail byte may look like "\" but is not one
            continue;
        }
        if (c == '\\' || (slashToo && c == '/')) last = i;
    }
    return last;
}

std::string DisplayName(std::string_view path, const CodePage& codePage) {
    std::size_t sep = LastSeparator(path, codePage, false);
    if (sep == std::string_view::npos || sep == 0) return std::string(path);
    return std::string(path.substr(sep + 1));
}

std::string CompanionPath(std::string_view path, const CodePage& codePage) {
    if (path.empty()) return {};
    // The last character may be two bytes long in a double-byte code page.
    std::size_t lastStart = path.size() - 1;
    if (codePage.doubleByte) {
        for (std::size_t i = 0; i < path.size(); ++i) {
            lastStart = i;
            if (codePage.IsLeadByte(static_cast<unsigned char>(path[i]))) ++i;
        }
    }
    return std::string(path.substr(0, lastStart)) + "x";
}

mdlFill::mdlFill(StatisticsModel& statistics, IDisplay& display, IFileSystem& files, IRunObserver& observer)
    : stats_(statistics), display_(display), files_(files), observer_(observer) {}

std::unique_ptr<ByteSource> mdlFill::OpenForReading(const std::string& path) {
    return files_.OpenForReading(path);
}

void mdlFill::EnterFolderOf(const std::string& path) {
    std::size_t sep = LastSeparator(path, files_.TextCodePage(), files_.SlashSeparatesFolders());
    if (sep == std::string::npos || sep == 0) return;
    std::string folder = path.substr(0, sep);
    // "C:" alone would mean the current folder of drive C; the file is at
    // the root of the drive.
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    Step([&] { files_.ChangeDirectory(folder); });
}

void mdlFill::ReadProjectFile(const std::string& path) {
    ListFileReader reader(OpenForReading(path));
    EnterFolderOf(path);
    Step([&] { observer_.ProjectBegin(path); });
    // Told also when a member's failure or a read error ends the reading.
    struct EndGuard {
        IRunObserver& observer;
        ~EndGuard() { Step([&] { observer.ProjectEnd(); }); }
    } endGuard{observer_};
    KeyValue kv;
    while (reader.Next(kv, &observer_)) {
        if (const MemberKind* kind = FindMemberKind(kv.key)) AddMember(kv.value, kind->key);
    }
}

void mdlFill::ReadGroupFile(const std::string& path) {
    ListFileReader reader(OpenForReading(path));
    EnterFolderOf(path);
    KeyValue kv;
    while (reader.Next(kv, nullptr)) {
        if (kv.key == "startupproject" || kv.key == "project") ReadProjectFile(kv.value);
        // A project makes its own folder current; the next relative project
        // path must again resolve against the group's folder.
        EnterFolderOf(path);
    }
}

void mdlFill::AddMember(const std::string& path, std::string_view kind) {
    Step([&] { stats_.GrowMembers(); });
    if (stats_.MemberCount < 1) return;  // no record could be started
    ListMember(path, kind);
    CountMemberLines(path);
}

void mdlFill::ListMember(const std::string& path, std::string_view kind) {
    MemberRecord& record = stats_.Members(stats_.MemberCount);
    const CodePage& codePage = files_.TextCodePage();
    Step([&] { display_.AddItem(DisplayName(path, codePage)); });
    Step([&] { display_.SetListIndex(display_.ListCount() - 1); });
    Step([&] { record.Path = path; });
    Step([&] {
        const MemberKind* found = FindMemberKind(kind);
        if (!found) return;
        record.TypeName = found->typeName;
        Figure count = LeadingNumber(display_.Caption(found->countLabel));
        display_.SetCaption(found->countLabel, std::to_string(count + 1));
    });
    Step([&] {
        if (path.empty()) return;
        if (auto size = files_.RegularFileSize(path)) record.FileSize = *size;
    });
    Step([&] {
        if (path.empty()) return;
        if (auto size = files_.RegularFileSize(CompanionPath(path, codePage))) record.BinarySize = *size;
    });
    Step([&] { display_.SetCaption(Label::LabelFileT, record.Path); });
    Step([&] { display_.SetCaption(Label::LabelTypeT, record.TypeName); });
    Step([&] { display_.SetCaption(Label::LabelSizeT, SizeText(record.FileSize)); });
    Step([&] { display_.SetCaption(Label::LabelBinaryT, SizeText(record.BinarySize)); });
    Step([&] { display_.SetCaption(Label::LabelTotalT, SizeText(record.FileSize + record.BinarySize)); });
    stats_.BinaryTotal += record.BinarySize;
    Step([&] { display_.SetCaption(Label::LabelBinaryTotalT, SizeText(stats_.BinaryTotal)); });
    Step([&] { ShowProjectTotalFile(); });
    Step([&] { observer_.Yield(); });
}

void mdlFill::ShowProjectTotalFile() {
    display_.SetCaption(Label::LabelTotalFileT,
                        LineFigureText(stats_.InterfaceLinesTotal + stats_.CodeLinesTotal,
                                       stats_.BinaryTotal + stats_.InterfaceBytesTotal + stats_.CodeBytesTotal));
}

void mdlFill::RefreshLineFigures() {
    const MemberRecord& r = stats_.Members(stats_.MemberCount);
    display_.SetCaption(Label::LabelInterfaceT, LineFigureText(r.InterfaceLines, r.InterfaceBytes));
    display_.SetCaption(Label::LabelCodeT, LineFigureText(r.CodeLines, r.CodeBytes));
    display_.SetCaption(Label::LabelLineT,
                        LineFigureText(r.InterfaceLines + r.CodeLines, r.InterfaceBytes + r.CodeBytes));
    display_.SetCaption(Label::LabelInterfaceTotalT,
                        LineFigureText(stats_.InterfaceLinesTotal, stats_.InterfaceBytesTotal));
    display_.SetCaption(Label::LabelCodeTotalT, LineFigureText(stats_.CodeLinesTotal, stats_.CodeBytesTotal));
    ShowProjectTotalFile();
}

void mdlFill::CountMemberLines(const std::string& path) {
    std::unique_ptr<ByteSource> file;
    if (path.empty()) {
        observer_.MemberUnreadable(path, "the project gives no file name");
    } else {
        try {
            file = OpenForReading(path);
        } catch (const std::exception& e) {
            observer_.MemberUnreadable(path, e.what());
        }
    }
    MemberRecord& record = stats_.Members(stats_.MemberCount);
    if (file) {
        LineScanner scanner(files_.TextCodePage());
        // Adds lines to the record and the totals, and refreshes the figures
        // and yields whenever the run's line count reaches a multiple of 221.
        struct Counter {
            mdlFill& fill;
            MemberRecord& record;
            StatisticsModel& stats;
            Figure untilRefresh;  // lines until the next multiple of 221

            void Add(Figure lines, Figure chars, bool isCode) {
                Figure size = chars + 2 * lines;  // a line break counts two, whatever it was
                if (isCode) {
                    record.CodeLines += lines;
                    record.CodeBytes += size;
                    stats.CodeLinesTotal += lines;
                    stats.CodeBytesTotal += size;
                } else {
                    record.InterfaceLines += lines;
                    record.InterfaceBytes += size;
                    stats.InterfaceLinesTotal += lines;
                    stats.InterfaceBytesTotal += size;
                }
            }
            void OnLine(Figure chars, bool isCode) {
                Add(1, chars, isCode);
                if (--untilRefresh == 0) {
                    untilRefresh = kRefreshEvery;
                    Step([&] { fill.RefreshLineFigures(); });
                    Step([&] { fill.observer_.Yield(); });
                }
            }
            // Never reaches the next refresh: the scanner keeps that line
            // for OnLine.
            void OnCodeLines(Figure lines, Figure chars) {
                Add(lines, chars, true);
                untilRefresh -= lines;
            }
            Figure CodeLineBudget() const { return untilRefresh; }
        } counter{*this, record, stats_,
                  kRefreshEvery - (stats_.InterfaceLinesTotal + stats_.CodeLinesTotal) % kRefreshEvery};
        if (buffer_.empty()) buffer_.resize(kReadBuffer);
        Step([&] { observer_.MemberTextBegin(path); });
        try {
            while (std::size_t n = file->Read(buffer_.data(), buffer_.size())) {
                scanner.Feed(buffer_.data(), n, counter);
                Step([&] { observer_.MemberText(buffer_.data(), n); });
            }
            scanner.Finish(counter);
        } catch (const std::exception& e) {
            // A read error ends the counting; the lines counted so far stay.
            observer_.MemberUnreadable(path, e.what());
        }
        Step([&] { observer_.MemberTextEnd(); });
    }
    Step([&] { RefreshLineFigures(); });
    Step([&] { observer_.Yield(); });
}

mdlFill::RunOutcome mdlFill::ReadChosenFile(const std::string& path, ExtensionCase extensionCase) {
    RunOutcome outcome;
    EnterFolderOf(path);
    std::string extension = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    if (extensionCase == ExtensionCase::Any) extension = AsciiLower(extension);
    try {
        if (extension == ".vbp") {
            outcome.read = true;
            ReadProjectFile(path);
        } else if (extension == ".vbg") {
            outcome.read = true;
            ReadGroupFile(path);
        }
    } catch (const std::exception& e) {
        outcome.error = e.what();
    }
    return outcome;
}

}  // namespace quibex
