#pragma once
// What a type library tells a VB6 project about the names it may use: the
// library's name and identity, its types and their members. Read from the
// bytes of a .tlb file or of the TYPELIB resource of a .dll, .ocx or .exe,
// by a portable reader that checks every offset and count the file gives
// against the bytes there are: a damaged or hostile file yields an error,
// never a read out of bounds, and the work and memory it costs grow with
// its size only.
//
// Formats: MSFT (written by MIDL and by ICreateTypeLib2, the one nearly
// every component carries). SLTG (the older ICreateTypeLib format of a few
// system libraries such as Windows' own stdole2.tlb) is recognised and
// reported as not supported; VB6's own libraries come from the built-in
// table in vb6/libraries instead.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quibex::vb6::typelib {

enum class TypeKind { Enum, Record, Module, Interface, Dispatch, CoClass, Alias, Union };
enum class MemberKind { Method, PropertyGet, PropertyLet, PropertySet, Variable, Constant };

// "Enum", "CoClass", ...; "Method", "PropertyGet", ...
std::string_view TypeKindName(TypeKind kind);
std::string_view MemberKindName(MemberKind kind);

// A type as VB6 would write it: "Long", "String", "Object", a type of the
// same library by name, or one of another library, which has no name here
// but its GUID ("{00020400-0000-0000-C000-000000000046}"). Empty name and
// GUID: no value (a Sub) or a type this reader does not name.
struct TypeRef {
    std::string name;
    std::string guid;  // an imported type's
    bool array = false;

    bool Empty() const { return name.empty() && guid.empty(); }
};

struct Parameter {
    std::string name;  // may be empty: libraries need not name parameters
    TypeRef type;
    bool optional = false;
    bool out = false;
};

// Member flags worth knowing for name lookup (FUNCFLAG/VARFLAG values).
struct Member {
    std::string name;
    MemberKind kind = MemberKind::Method;
    std::int32_t id = 0;  // the DISPID; 0 is the default member
    TypeRef type;         // the value: a function's (its [retval]), a property's, a field's
    std::vector<Parameter> parameters;  // without the [retval] one
    bool hidden = false;
    bool restricted = false;
};

// A coclass's interface, or an interface's base.
struct ImplementedType {
    TypeRef type;
    int typeIndex = -1;  // in this library's types; -1 for another library's
    bool isDefault = false;
    bool isSource = false;  // an event interface
};

struct TypeInfo {
    std::string name;
    TypeKind kind = TypeKind::Enum;
    std::string guid;
    std::uint32_t flags = 0;  // TYPEFLAG_* values
    std::vector<Member> members;
    std::vector<ImplementedType> implemented;
    TypeRef aliasOf;  // an Alias's type

    // A coclass whose members are global names (TYPEFLAG_FAPPOBJECT).
    bool IsAppObject() const { return flags & 0x1; }
    bool IsCreatable() const { return flags & 0x2; }
    bool IsControl() const { return flags & 0x20; }
    bool IsHidden() const { return flags & 0x10; }
    bool IsRestricted() const { return flags & 0x200; }
    // A coclass's default interface and its default event interface, as
    // indexes into `implemented`; nothing when there is none.
    std::optional<std::size_t> DefaultInterface() const;
    std::optional<std::size_t> DefaultSource() const;
};

enum class Format { Msft, Sltg };

struct TypeLibrary {
    std::string name;  // "stdole", what `Reference=` lines and code qualify with
    std::string guid;  // "{00020430-0000-0000-C000-000000000046}"
    std::uint16_t majorVersion = 0, minorVersion = 0;
    std::uint32_t lcid = 0;
    std::string helpString;
    Format format = Format::Msft;
    std::vector<TypeInfo> types;
};

struct ReadResult {
    std::optional<TypeLibrary> library;
    std::string error;  // why there is none: "not a type library", "truncated type information"
};

// The type library in `bytes`: a bare MSFT or SLTG file, or a PE image
// whose TYPELIB resource `resourceIndex` (from 0, in directory order) holds one.
ReadResult ReadTypeLibrary(std::string_view bytes, std::size_t resourceIndex = 0);

// How many TYPELIB resources the PE image `bytes` carries (0 for any
// other bytes).
std::size_t CountTypeLibraryResources(std::string_view bytes);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" from 16 bytes in the order
// Windows stores a GUID; empty for fewer bytes.
std::string GuidText(std::string_view sixteenBytes);

}  // namespace quibex::vb6::typelib
