#pragma once
// What a VB6 member file holds beyond its line count: every physical line in
// one of five classes, the procedures with their complexity, what the
// member declares, the controls of a form's layout block, and the facts
// about the file's bytes (line breaks, NUL bytes, byte order mark) that tell
// whether the VB6 IDE would load it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/MemberStatistics.h"
#include "vb6/decl/Declaration.h"
#include "vb6/syntax/Statement.h"

namespace quibex::vb6 {

struct LineCounts {
    std::array<Figure, kLineClassCount> count{};

    Figure& operator[](LineClass c) { return count[static_cast<int>(c)]; }
    Figure operator[](LineClass c) const { return count[static_cast<int>(c)]; }
    Figure Total() const;
    LineCounts& operator+=(const LineCounts& other);
    friend bool operator==(const LineCounts&, const LineCounts&) = default;
};

struct Procedure {
    ProcedureKind kind = ProcedureKind::Sub;
    Scope scope = Scope::Public;
    bool isStatic = false;
    std::string name;
    Figure firstLine = 0;  // physical lines, from 1: the header's first line
    Figure lastLine = 0;   // the "End ..." line, or the file's last line
    bool ended = false;    // false when the file ends before "End ..."
    LineCounts lines;      // the lines from firstLine to lastLine, by class
    Figure complexity = 1; // 1 + the decision words of its code
    Figure nesting = 0;    // the deepest nesting of If/Select/For/Do/While/With
    // An event handler "X_Y": X is a control of the member, the member's own
    // object ("Form", "UserControl", "Class", ...) or a WithEvents variable.
    bool handler = false;
    std::string handlerObject;  // X as the control or variable is written
    // Its parameters and return type, its local declarations and labels,
    // its On Error, GoTo, GoSub, Return and Exit statements.
    decl::ProcedureDeclarations declared;
};

struct Declare {
    std::string name;
    std::string library;  // the "Lib" string, as written
    std::string alias;    // the "Alias" string, empty when there is none
    bool isFunction = false;
    Scope scope = Scope::Public;
    Figure line = 0;
};

// A control placed by the layout block: "Begin VB.CommandButton cmdOK".
struct Control {
    std::string name;
    std::string className;        // "VB.CommandButton", "MSComctlLib.ListView"
    std::optional<Figure> index;  // a control array's "Index = n"
    Figure depth = 1;             // 1: on the form itself; 2: inside a frame ...
    Figure line = 0;
};

// An "Object = ..." line of a member or project: an ActiveX component (a
// type library GUID, its version and its file), or a user control project
// of the same group ("*\A...").
struct ObjectReference {
    std::string guid;     // "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}", or empty
    std::string version;  // "2.0"
    std::string locale;   // "0"
    std::string file;     // "MSCOMCTL.OCX"
    std::string project;  // for "*\A...": the project path, else empty
    std::string raw;      // the value as written
};
// Parses the value of an Object line in either form: a project file's
// {GUID}#2.0#0; MSCOMCTL.OCX or a member's "{GUID}#2.0#0"; "MSCOMCTL.OCX".
ObjectReference ParseObjectReference(std::string_view value);

// How the file's lines end and what bytes it holds that the IDE refuses.
struct FileFacts {
    Figure crlf = 0, lf = 0, cr = 0;   // line breaks of each kind
    Figure firstLf = 0, firstCr = 0;   // the first line that ends in a lone LF / CR
    bool lastLineUnterminated = false;
    Figure nulBytes = 0;
    Figure firstNulLine = 0;
    bool utf8Bom = false;
    Figure invalidDoubleByte = 0;      // lead bytes without a valid trail byte
    Figure firstInvalidDoubleByteLine = 0;
};

struct MemberModel {
    LineCounts lines;
    std::vector<Procedure> procedures;
    std::vector<Declare> declares;
    std::vector<Control> controls;
    // The layout block's own object: "VB.Form" "frmMain"; empty when the
    // file has none. A class module's header gives class "CLASS" and no name.
    std::string designerClass;
    std::string designerName;
    std::vector<ObjectReference> objects;   // the member's own Object lines
    std::vector<std::string> binaryFiles;   // files the layout refers to ("frmMain.frx"), once each
    std::vector<std::string> withEvents;    // WithEvents variables
    Figure controlCount = 0;                // controls placed, the form itself not counted
    Figure controlNames = 0;                // distinct control names (a control array counts once)
    Figure controlDepth = 0;                // the deepest control
    // Module-level declarations in order (the procedures' own are with
    // them), and the Option and DefType statements.
    std::vector<decl::Declaration> declarations;
    decl::Options options;
    FileFacts file;
};

}  // namespace quibex::vb6
