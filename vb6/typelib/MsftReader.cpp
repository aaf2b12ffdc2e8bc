#include "vb6/typelib/MsftReader.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "vb6/pe/PeImage.h"

// The layout followed here is the one the public descriptions of the MSFT
// format give: a 0x54-byte header, the offsets of the type descriptions, a
// directory of fifteen segments (offset, length, two reserved words), and
// per type a 0x64-byte record whose member records sit in an array group
// elsewhere in the file. Every offset is checked before it is followed.

namespace quibex::vb6::typelib {

namespace {

constexpr std::size_t kHeaderSize = 0x54;
constexpr std::size_t kSegmentCount = 15;
constexpr std::size_t kTypeInfoSize = 0x64;
constexpr std::uint32_t kHelpDllFlag = 0x100;
// Function records have 24 fixed bytes, variable records 20, parameters 12.
constexpr std::size_t kFuncFixed = 24, kVarFixed = 20, kParamSize = 12;
// Pointers to pointers to arrays: real types nest a few levels.
constexpr int kMaxTypeDepth = 8;
// A coclass implements a handful of interfaces.
constexpr std::size_t kMaxImplemented = 256;

enum Segment : std::size_t {
    kTypeInfoTable = 0,
    kImportInfo = 1,
    kImportFiles = 2,
    kRefTable = 3,
    kGuidTable = 5,
    kNameTable = 7,
    kStringTable = 8,
    kTypeDescriptors = 9,
    kArrayDescriptors = 10,
};

enum VarType : std::uint16_t {
    kVtI2 = 2, kVtI4 = 3, kVtR4 = 4, kVtR8 = 5, kVtCy = 6, kVtDate = 7, kVtBstr = 8, kVtDispatch = 9,
    kVtError = 10, kVtBool = 11, kVtVariant = 12, kVtUnknown = 13, kVtDecimal = 14, kVtI1 = 16, kVtUi1 = 17,
    kVtUi2 = 18, kVtUi4 = 19, kVtI8 = 20, kVtUi8 = 21, kVtInt = 22, kVtUint = 23, kVtVoid = 24, kVtHresult = 25,
    kVtPtr = 26, kVtSafeArray = 27, kVtCArray = 28, kVtUserDefined = 29, kVtLpstr = 30, kVtLpwstr = 31,
};
constexpr std::uint16_t kVtArrayFlag = 0x2000;
constexpr std::uint16_t kVtTypeMask = 0x0FFF;

constexpr std::uint32_t kParamOut = 0x2, kParamLcid = 0x4, kParamRetval = 0x8, kParamOptional = 0x10;
constexpr std::uint32_t kFuncRestricted = 0x1, kFuncHidden = 0x40;
constexpr std::uint32_t kVarHidden = 0x40, kVarRestricted = 0x80;
constexpr std::uint32_t kImplDefault = 0x1, kImplSource = 0x2;
constexpr std::int16_t kVarConst = 2;
// Dual interfaces mark references from their dispatch side with this bit.
constexpr std::uint32_t kDispatchSideRef = 0x01000000;

// VB6's name for an automation type; empty for the ones it has no word for.
std::string VbTypeName(std::uint16_t vt) {
    switch (vt & kVtTypeMask) {
        case kVtI2: case kVtUi2: return "Integer";
        case kVtI4: case kVtUi4: case kVtInt: case kVtUint: case kVtError: return "Long";
        case kVtR4: return "Single";
        case kVtR8: return "Double";
        case kVtCy: case kVtI8: case kVtUi8: return "Currency";
        case kVtDate: return "Date";
        case kVtBstr: case kVtLpstr: case kVtLpwstr: return "String";
        case kVtDispatch: return "Object";
        case kVtBool: return "Boolean";
        case kVtVariant: case kVtDecimal: return "Variant";
        case kVtUnknown: return "IUnknown";
        case kVtI1: case kVtUi1: return "Byte";
        default: return {};
    }
}

struct Malformed {
    const char* why;
};

class MsftReader {
public:
    explicit MsftReader(std::string_view bytes) : file_(bytes) {
        // However the records of a hostile file overlap, members and
        // parameters cost at most one per few bytes of the file.
        memberBudget_ = bytes.size() / 8 + 16;
    }

    TypeLibrary Read() {
        const std::uint32_t varFlags = Need(file_.U32(0x14), "truncated header");
        const std::int32_t typeCount = Need(file_.I32(0x20), "truncated header");
        if (!file_.Has(0, kHeaderSize)) throw Malformed{"truncated header"};
        if (typeCount < 0 || static_cast<std::size_t>(typeCount) > file_.Size() / kTypeInfoSize)
            throw Malformed{"impossible number of types"};
        FindSegments(static_cast<std::size_t>(typeCount), (varFlags & kHelpDllFlag) != 0);

        TypeLibrary library;
        library.format = Format::Msft;
        library.guid = Guid(*file_.I32(0x08));
        library.lcid = *file_.U32(0x0C);
        const std::uint32_t version = *file_.U32(0x18);
        library.majorVersion = static_cast<std::uint16_t>(version & 0xFFFF);
        library.minorVersion = static_cast<std::uint16_t>(version >> 16);
        library.helpString = String(*file_.I32(0x24));
        library.name = Name(*file_.I32(0x38));

        const Seg& table = segments_[kTypeInfoTable];
        if (static_cast<std::size_t>(typeCount) > table.length / kTypeInfoSize)
            throw Malformed{"type information outside its segment"};
        typeCount_ = static_cast<std::size_t>(typeCount);
        // Names first: references between types name their target.
        typeNames_.reserve(typeCount_);
        for (std::size_t i = 0; i < typeCount_; ++i)
            typeNames_.push_back(Name(*file_.I32(table.offset + i * kTypeInfoSize + 0x34)));
        library.types.reserve(typeCount_);
        for (std::size_t i = 0; i < typeCount_; ++i) library.types.push_back(ReadType(i));
        return library;
    }

private:
    struct Seg {
        std::size_t offset = 0, length = 0;
        bool present = false;
    };

    template <typename T>
    static T Need(std::optional<T> value, const char* why) {
        if (!value) throw Malformed{why};
        return *value;
    }

    // The directory follows the header, an optional help DLL word and the
    // type offsets; writers disagree on the help DLL word, so the place the
    // flag gives is tried first and the other one second.
    void FindSegments(std::size_t typeCount, bool helpDll) {
        const std::size_t base = kHeaderSize + 4 * typeCount;
        for (const std::size_t at : {helpDll ? base + 4 : base, helpDll ? base : base + 4}) {
            if (ReadSegments(at)) return;
        }
        throw Malformed{"no valid segment directory"};
    }

    bool ReadSegments(std::size_t at) {
        if (!file_.Has(at, kSegmentCount * 16)) return false;
        std::array<Seg, kSegmentCount> found{};
        for (std::size_t i = 0; i < kSegmentCount; ++i) {
            const std::int32_t offset = *file_.I32(at + 16 * i);
            const std::int32_t length = *file_.I32(at + 16 * i + 4);
            if (offset == -1) continue;  // absent
            if (offset < 0 || length < 0 || !file_.Has(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)))
                return false;
            found[i] = {static_cast<std::size_t>(offset), static_cast<std::size_t>(length), true};
        }
        if (!found[kTypeInfoTable].present || !found[kNameTable].present) return false;
        segments_ = found;
        return true;
    }

    // `count` bytes at `offset` inside segment `s`, or nothing.
    std::optional<std::size_t> InSegment(Segment s, std::int64_t offset, std::size_t count) const {
        const Seg& seg = segments_[s];
        if (!seg.present || offset < 0 || static_cast<std::uint64_t>(offset) > seg.length ||
            count > seg.length - static_cast<std::size_t>(offset))
            return std::nullopt;
        return seg.offset + static_cast<std::size_t>(offset);
    }

    // Offset -1 stands for no name; any other must lie in the name table.
    std::string Name(std::int32_t offset) {
        if (offset == -1) return {};
        const auto at = InSegment(kNameTable, offset, 12);
        if (!at) throw Malformed{"name outside the name table"};
        const std::size_t length = *file_.U8(*at + 8);
        const auto text = InSegment(kNameTable, std::int64_t{offset} + 12, length);
        if (!text) throw Malformed{"name outside the name table"};
        return std::string(file_.Slice(*text, length));
    }

    std::string String(std::int32_t offset) {
        if (offset == -1) return {};
        const auto at = InSegment(kStringTable, offset, 2);
        if (!at) throw Malformed{"text outside the string table"};
        const std::size_t length = *file_.U16(*at);
        const auto text = InSegment(kStringTable, std::int64_t{offset} + 2, length);
        if (!text) throw Malformed{"text outside the string table"};
        return std::string(file_.Slice(*text, length));
    }

    std::string Guid(std::int32_t offset) {
        if (offset == -1) return {};
        const auto at = InSegment(kGuidTable, offset, 16);
        if (!at) throw Malformed{"GUID outside the GUID table"};
        return GuidText(file_.Slice(*at, 16));
    }

    // The type a reference names: a type of this library by its place in
    // the type table, or (low bit set) an imported one by its GUID.
    TypeRef Reference(std::uint32_t href, int* typeIndex = nullptr) {
        href &= ~kDispatchSideRef;
        if ((href & 3) == 0) {
            if (href % kTypeInfoSize != 0 || href / kTypeInfoSize >= typeCount_) throw Malformed{"bad type reference"};
            if (typeIndex) *typeIndex = static_cast<int>(href / kTypeInfoSize);
            return {typeNames_[href / kTypeInfoSize], {}, false};
        }
        const auto info = InSegment(kImportInfo, href & ~3u, 12);
        if (!info) throw Malformed{"bad imported type reference"};
        // Flags bit 0: the last word is a GUID's offset, not a type number.
        if (!(*file_.U8(*info + 2) & 1)) return {};
        return {{}, Guid(*file_.I32(*info + 8)), false};
    }

    // A type written as a word: negative for a plain automation type in
    // its low half, else the offset of a type descriptor.
    TypeRef Type(std::int32_t encoded, int depth = 0) {
        if (encoded < 0) return Plain(static_cast<std::uint16_t>(encoded & 0xFFFF));
        if (depth >= kMaxTypeDepth) throw Malformed{"type descriptors nest too deep"};
        const auto at = InSegment(kTypeDescriptors, encoded, 8);
        if (!at) throw Malformed{"type descriptor outside its segment"};
        const std::uint16_t vt = *file_.U16(*at);
        const std::int32_t ref = *file_.I32(*at + 4);
        switch (vt & kVtTypeMask) {
            case kVtPtr: return Type(ref, depth + 1);
            case kVtSafeArray: {
                TypeRef element = Type(ref, depth + 1);
                element.array = true;
                return element;
            }
            case kVtCArray: {
                const auto array = InSegment(kArrayDescriptors, ref, 8);
                if (!array) throw Malformed{"array descriptor outside its segment"};
                TypeRef element = Type(*file_.I32(*array), depth + 1);
                element.array = true;
                return element;
            }
            case kVtUserDefined: return Reference(static_cast<std::uint32_t>(ref));
            default: return Plain(vt);
        }
    }

    static TypeRef Plain(std::uint16_t vt) { return {VbTypeName(vt), {}, (vt & kVtArrayFlag) != 0}; }

    void Spend(std::size_t units) {
        if (units > memberBudget_) throw Malformed{"member records overlap"};
        memberBudget_ -= units;
    }

    TypeInfo ReadType(std::size_t index) {
        const std::size_t at = segments_[kTypeInfoTable].offset + index * kTypeInfoSize;
        TypeInfo type;
        type.name = typeNames_[index];
        const std::uint32_t kind = *file_.U32(at) & 0xF;
        if (kind > static_cast<std::uint32_t>(TypeKind::Union)) throw Malformed{"unknown kind of type"};
        type.kind = static_cast<TypeKind>(kind);
        type.guid = Guid(*file_.I32(at + 0x2C));
        type.flags = *file_.U32(at + 0x30);
        const std::size_t functions = *file_.U16(at + 0x18);
        const std::size_t variables = *file_.U16(at + 0x1A);
        const std::size_t implementedCount = *file_.U16(at + 0x4C);
        const std::int32_t dataType = *file_.I32(at + 0x54);

        switch (type.kind) {
            case TypeKind::CoClass: ReadImplemented(type, dataType, implementedCount); break;
            case TypeKind::Interface:
            case TypeKind::Dispatch:
                if (implementedCount > 0 && dataType != -1) {
                    ImplementedType base;
                    base.type = Reference(static_cast<std::uint32_t>(dataType), &base.typeIndex);
                    type.implemented.push_back(std::move(base));
                }
                break;
            case TypeKind::Alias: type.aliasOf = Type(dataType); break;
            default: break;
        }
        if (functions + variables > 0) ReadMembers(type, *file_.I32(at + 0x04), functions, variables);
        return type;
    }

    // A coclass's interfaces: a chain of reference records.
    void ReadImplemented(TypeInfo& type, std::int32_t first, std::size_t count) {
        std::int32_t next = first;
        for (std::size_t i = 0; i < count && next != -1; ++i) {
            if (i == kMaxImplemented) throw Malformed{"too many implemented interfaces"};
            const auto at = InSegment(kRefTable, next, 16);
            if (!at) throw Malformed{"reference record outside its segment"};
            ImplementedType implemented;
            implemented.type = Reference(*file_.U32(*at), &implemented.typeIndex);
            const std::uint32_t flags = *file_.U32(*at + 4);
            implemented.isDefault = (flags & kImplDefault) != 0;
            implemented.isSource = (flags & kImplSource) != 0;
            type.implemented.push_back(std::move(implemented));
            next = *file_.I32(*at + 12);
        }
    }

    // The array group: its records' size, the function records, the
    // variable records, then one member id, one name and one record offset
    // per member.
    void ReadMembers(TypeInfo& type, std::int32_t groupOffset, std::size_t functions, std::size_t variables) {
        const std::size_t count = functions + variables;
        Spend(count);
        if (groupOffset < 0) throw Malformed{"member records outside the file"};
        const std::size_t group = static_cast<std::size_t>(groupOffset);
        const std::uint32_t recordsSize = Need(file_.U32(group), "member records outside the file");
        const std::size_t records = group + 4;
        if (!file_.Has(records, recordsSize) || !file_.Has(records + recordsSize, 12 * count))
            throw Malformed{"member records outside the file"};
        const std::size_t ids = records + recordsSize;
        const std::size_t names = ids + 4 * count;
        const std::size_t end = records + recordsSize;

        std::size_t at = records;
        type.members.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const bool isFunction = i < functions;
            const std::size_t size = Need(file_.U16(at), "member records outside the file");
            if (size < (isFunction ? kFuncFixed : kVarFixed) || size > end - at)
                throw Malformed{"bad member record size"};
            Member member = isFunction ? ReadFunction(at, size) : ReadVariable(at);
            member.id = *file_.I32(ids + 4 * i);
            member.name = Name(*file_.I32(names + 4 * i));
            type.members.push_back(std::move(member));
            at += size;
        }
    }

    Member ReadFunction(std::size_t at, std::size_t size) {
        Member member;
        const std::int32_t returnType = *file_.I32(at + 4);
        const std::uint32_t flags = *file_.U32(at + 8);
        const std::uint32_t kindWord = *file_.U32(at + 0x10);
        const std::int16_t parameterCount = static_cast<std::int16_t>(*file_.U16(at + 0x14));
        member.hidden = (flags & kFuncHidden) != 0;
        member.restricted = (flags & kFuncRestricted) != 0;
        switch ((kindWord >> 3) & 0xF) {
            case 2: member.kind = MemberKind::PropertyGet; break;
            case 4: member.kind = MemberKind::PropertyLet; break;
            case 8: member.kind = MemberKind::PropertySet; break;
            default: member.kind = MemberKind::Method; break;
        }
        if (parameterCount < 0 || kFuncFixed + kParamSize * static_cast<std::size_t>(parameterCount) > size)
            throw Malformed{"bad parameter count"};
        Spend(static_cast<std::size_t>(parameterCount));
        // The parameters close the record, whatever optional words precede them.
        const std::size_t first = at + size - kParamSize * static_cast<std::size_t>(parameterCount);
        bool hasRetval = false;
        for (std::size_t p = 0; p < static_cast<std::size_t>(parameterCount); ++p) {
            const std::size_t param = first + kParamSize * p;
            const std::uint32_t paramFlags = *file_.U32(param + 8);
            TypeRef type = Type(*file_.I32(param));
            if (paramFlags & kParamRetval) {
                member.type = std::move(type);
                hasRetval = true;
                continue;
            }
            if (paramFlags & kParamLcid) continue;  // supplied by the caller's runtime, never written
            Parameter parameter;
            parameter.name = Name(*file_.I32(param + 4));
            parameter.type = std::move(type);
            parameter.optional = (paramFlags & kParamOptional) != 0;
            parameter.out = (paramFlags & kParamOut) != 0;
            member.parameters.push_back(std::move(parameter));
        }
        if (!hasRetval) member.type = Type(returnType);
        return member;
    }

    Member ReadVariable(std::size_t at) {
        Member member;
        member.type = Type(*file_.I32(at + 4));
        const std::uint32_t flags = *file_.U32(at + 8);
        member.kind = static_cast<std::int16_t>(*file_.U16(at + 12)) == kVarConst ? MemberKind::Constant
                                                                                   : MemberKind::Variable;
        member.hidden = (flags & kVarHidden) != 0;
        member.restricted = (flags & kVarRestricted) != 0;
        return member;
    }

    ByteView file_;
    std::array<Seg, kSegmentCount> segments_{};
    std::size_t typeCount_ = 0;
    std::vector<std::string> typeNames_;
    std::size_t memberBudget_ = 0;
};

}  // namespace

ReadResult ReadMsft(std::string_view bytes) {
    try {
        return {MsftReader(bytes).Read(), {}};
    } catch (const Malformed& m) {
        return {std::nullopt, m.why};
    }
}

}  // namespace quibex::vb6::typelib
