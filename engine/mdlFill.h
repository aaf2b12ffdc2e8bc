#pragma once
// The analysis engine: reads project group files (.vbg) and project files
// (.vbp), lists and measures every member, splits each member file into
// interface and code lines, and writes every figure through the display as
// it goes.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Display.h"
#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"
#include "engine/RunObserver.h"

namespace quibex {

// The kinds of member a project file lists, by the lower-case key of its line.
struct MemberKind {
    std::string_view key;       // "form"
    std::string_view typeName;  // "Form"
    Label countLabel;           // LabelFormT
};
// Every kind, in the order of the window's count labels: the one list of
// them for the engine, the window and every report.
inline constexpr MemberKind kMemberKinds[] = {
    {"form", "Form", Label::LabelFormT},
    {"mdiform", "MDI Form", Label::LabelMDIFormT},
    {"module", "Module", Label::LabelModuleT},
    {"class", "Class Module", Label::LabelClassModuleT},
    {"usercontrol", "User Control", Label::LabelUserControlT},
    {"propertypage", "Property Page", Label::LabelPropertyPageT},
    {"userdocument", "User Document", Label::LabelUserDocumentT},
};
// The kind of a lower-case key, or nothing for a key that names no member.
const MemberKind* FindMemberKind(std::string_view lowerKey);

// A project or group file line split at its first "=": key lower-cased, and
// the value after the first ";" with spaces trimmed, if it has one.
struct KeyValue {
    std::string key;
    std::string value;
};
// Nothing for a line without "=". Exposed for tests.
std::optional<KeyValue> SplitLine(std::string_view line);

// Where the folder part of `path` ends: the last "\" (and the last "/" when
// `slashToo`), never inside a double-byte character. npos when there is none.
std::size_t LastSeparator(std::string_view path, const CodePage& codePage, bool slashToo);

// The list entry of a member: its path after the last "\", or the whole path
// when there is no "\" or nothing before it.
std::string DisplayName(std::string_view path, const CodePage& codePage);

// The companion binary file: the path without its last character, plus "x"
// ("Form1.frm" -> "Form1.frx"). Empty for an empty path.
std::string CompanionPath(std::string_view path, const CodePage& codePage);

class mdlFill {
public:
    mdlFill(StatisticsModel& statistics, IDisplay& display, IFileSystem& files, IRunObserver& observer);

    // Reads a project file and adds every member it lists. Throws FileError
    // when the file cannot be opened; members read before stay listed.
    void ReadProjectFile(const std::string& path);

    // Reads a group file and every project it lists, in order. Throws
    // FileError when the group, or one of its projects, cannot be opened.
    void ReadGroupFile(const std::string& path);

    // Makes the folder part of `path` current; never fails.
    void EnterFolderOf(const std::string& path);

    // Opens a file for line reading; throws FileError.
    std::unique_ptr<ByteSource> OpenForReading(const std::string& path);

    // One member: starts its record, lists and sizes it, counts its lines.
    void AddMember(const std::string& path, std::string_view kind);

    // Lists the member in the current record and shows its file figures.
    void ListMember(const std::string& path, std::string_view kind);

    // Counts the interface and code lines of the member file into the current
    // record and the project totals, keeping the line figures shown current.
    void CountMemberLines(const std::string& path);

    // What a run over a chosen file did.
    struct RunOutcome {
        bool read = false;          // the name ended in .vbp or .vbg
        std::string error;          // why reading stopped early, or empty
    };
    enum class ExtensionCase { Exact, Any };

    // The reading part of a run over a chosen file: enters its folder, then
    // reads it as a project (".vbp") or a group (".vbg"), comparing the
    // extension exactly as the window does or in any letter case as the
    // reporter does. A reading error ends the reading and is returned.
    RunOutcome ReadChosenFile(const std::string& path, ExtensionCase extensionCase);

private:
    void RefreshLineFigures();
    void ShowProjectTotalFile();

    StatisticsModel& stats_;
    IDisplay& display_;
    IFileSystem& files_;
    IRunObserver& observer_;
    std::vector<char> buffer_;
};

}  // namespace quibex
