#pragma once
// What a project file (.vbp) says about the project itself, beside the
// member lines the engine reads: its type and name, what starts it, the
// file it builds, its version, its conditional-compilation constants, its
// resource file and the type libraries and components it needs.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"
#include "vb6/SourceModel.h"

namespace quibex::vb6 {

// A "Reference=" line: a type library (*\G{GUID}#2.0#0#path#description)
// or another project of the group (*\A..\Lib\Lib.vbp).
struct LibraryReference {
    std::string guid;         // "{00020430-0000-0000-C000-000000000046}"
    std::string version;      // "2.0"
    std::string locale;       // "0"
    std::string path;         // as written, relative to the project's folder or absolute
    std::string description;  // "OLE Automation"
    std::string project;      // for *\A: the project path; empty otherwise
    std::string raw;          // the value as written
};
LibraryReference ParseLibraryReference(std::string_view value);

struct ProjectFacts {
    std::string path;  // as the user or the group named the project file
    std::string type;  // "Exe", "OleDll", "Control", "OleExe"
    std::string name;
    std::string title;
    std::string startup;     // "frmMain", "Sub Main", "(None)"
    std::string exeName32;   // "App.exe"
    std::string condComp;    // "DEBUG = 1 : TRACE = 0"
    std::string resFile32;   // "App.RES", as written
    std::optional<Figure> resFile32Size;  // filled by whoever can reach the file
    std::string compatibleMode;   // "0" none, "1" project, "2" binary
    std::string compatibleExe32;
    std::optional<Figure> majorVer, minorVer, revisionVer;
    std::vector<LibraryReference> references;
    std::vector<ObjectReference> objects;
    // The run's member records of this project: [firstMember, firstMember + memberCount).
    Figure firstMember = 0;
    Figure memberCount = 0;

    // One line of the project file, as written.
    void AddLine(std::string_view line);
};

// The CondComp value of a project file read from `source` (empty when it
// has none), so that its members can be read with its constants before
// the engine reaches that line, which comes after the member lines.
std::string ReadCondComp(ByteSource& source);

}  // namespace quibex::vb6
