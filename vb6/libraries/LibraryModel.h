#pragma once
// The names a VB6 project can use without declaring them: those of VB6's
// own libraries (VBA, VB, VBRUN, stdole; a table compiled in from
// Builtins.txt) and of the type libraries and components it references
// (read by vb6/typelib). One model over both, looked up by name without
// regard to letter case, as VB6 looks names up.
//
// Everything is kept by value and named by index (LibraryId, TypeId), so
// what a caller keeps stays valid as more libraries are added.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vb6/typelib/TypeLibrary.h"

namespace quibex::vb6::libraries {

using typelib::Member;
using typelib::MemberKind;
using typelib::TypeKind;

using LibraryId = std::uint32_t;
using TypeId = std::uint32_t;

struct Library {
    std::string name;  // "VBA", "VB", "stdole", "Scripting"
    std::string guid;
    bool builtin = false;
    std::vector<TypeId> types;
};

struct LibraryType {
    std::string name;
    TypeKind kind = TypeKind::CoClass;
    LibraryId library = 0;
    std::string guid;
    bool global = false;     // its members are global names: a module, an application object (VB.Global)
    bool creatable = false;  // `New` may make one
    bool hidden = false;
    bool control = false;  // a control class: VB.TextBox, a component's control
    // A class's members are those of its default interface (and that
    // interface's bases); its events are those of its default event interface.
    std::vector<Member> members;
    std::vector<Member> events;
    std::string aliasOf;  // an alias's type

    // The first member and event of each lower-case name, made by the model.
    std::unordered_map<std::string, std::size_t> memberIndex, eventIndex;
};

enum class GlobalKind {
    Procedure,   // a function or sub of a module or global object: Left$, MsgBox, Load
    Property,    // a property or variable of one: App, Screen, Err (a function there), Forms
    Constant,    // vbCrLf, a module's constant
    EnumMember,  // vbOKOnly, a library's enum's member
    Type,        // Collection, TextBox, VbMsgBoxStyle: usable after `As` and `New`
    Library,     // VBA, VB: usable as a qualifier (VBA.Left)
};

// What a global name stands for: `member` indexes the holder's members
// (-1 for a type or library name).
struct GlobalName {
    GlobalKind kind = GlobalKind::Procedure;
    LibraryId library = 0;
    std::optional<TypeId> type;
    int member = -1;
};

class LibraryModel {
public:
    // An empty model; WithBuiltins() is the usual start.
    LibraryModel() = default;

    // VB6's own libraries, in the order VB6 searches them: VBA, VB, VBRUN, stdole.
    static LibraryModel WithBuiltins();

    // Adds the libraries of a text in Builtins.txt's format; the error names
    // the first line that is not understood.
    struct AddResult {
        bool ok = true;
        std::string error;  // "line 12: unknown keyword 'fnction'"
    };
    AddResult AddBuiltinText(std::string_view text);

    // Adds a type library read by vb6/typelib after those already there, so
    // a name of the earlier ones wins, as the earlier reference wins in VB6.
    LibraryId AddTypeLibrary(const typelib::TypeLibrary& library);

    std::size_t LibraryCount() const { return libraries_.size(); }
    std::size_t TypeCount() const { return types_.size(); }
    const Library& GetLibrary(LibraryId id) const { return libraries_[id]; }
    const LibraryType& GetType(TypeId id) const { return types_[id]; }
    std::optional<LibraryId> FindLibrary(std::string_view name) const;
    // By the GUID a project's `Reference=*\G{...}` line names, so a library
    // already in the model (stdole) is not read from its file again.
    std::optional<LibraryId> FindLibraryByGuid(std::string_view guid) const;

    // Every global meaning of `name`, first the one VB6 would take: a value
    // before a type or library of that name. A name ending in a type
    // character also finds a function of that type (Replace$).
    std::vector<GlobalName> LookupGlobal(std::string_view name) const;
    std::optional<GlobalName> FindGlobal(std::string_view name) const;
    // Within one library only, as `VBA.Left` qualifies it.
    std::optional<GlobalName> FindGlobal(LibraryId library, std::string_view name) const;

    // A type by name ("TextBox", "VB.TextBox") or by GUID, first in library order.
    std::optional<TypeId> FindType(std::string_view name) const;
    std::optional<TypeId> FindType(LibraryId library, std::string_view name) const;
    std::optional<TypeId> FindTypeByGuid(std::string_view guid) const;

    // A member or event of a type by name: the first accessor of that name
    // (members of one name differ only by Get/Let/Set).
    const Member* FindMember(TypeId type, std::string_view name) const;
    const Member* FindEvent(TypeId type, std::string_view name) const;
    // The type a member's value has, when the model knows it: `App.Path` ->
    // nothing (a String), `Text1.Font` -> StdFont, `Err` -> ErrObject.
    std::optional<TypeId> ValueType(TypeId holder, const Member& member) const;

    // The text the built-in libraries are made from (Builtins.txt).
    static std::string_view BuiltinText();

private:
    friend class BuiltinParser;
    TypeId AddType(LibraryType type);
    void IndexGlobals(TypeId id);
    std::optional<TypeId> ResolveTypeName(LibraryId library, const typelib::TypeRef& ref) const;

    std::vector<Library> libraries_;
    std::vector<LibraryType> types_;
    std::unordered_map<std::string, std::vector<GlobalName>> globals_;  // by lower-case name
    std::unordered_map<std::string, std::vector<TypeId>> typesByName_;
    std::unordered_map<std::string, TypeId> typesByGuid_;
};

// ASCII letters in lower case: VB6 compares names without regard to case.
std::string LowerName(std::string_view name);

}  // namespace quibex::vb6::libraries
