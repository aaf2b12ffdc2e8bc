#include "vb6/libraries/LibraryModel.h"

#include <algorithm>
#include <utility>

namespace quibex::vb6::libraries {

extern const std::string_view kBuiltinsText;  // Builtins.txt, embedded by the build

std::string_view LibraryModel::BuiltinText() { return kBuiltinsText; }

namespace {

// Interfaces inherit a few levels deep; a longer chain is a damaged library.
constexpr int kMaxBaseDepth = 16;

}  // namespace

std::string LowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

LibraryModel LibraryModel::WithBuiltins() {
    LibraryModel model;
    // The table is part of the program and tested to parse whole.
    model.AddBuiltinText(BuiltinText());
    return model;
}

TypeId LibraryModel::AddType(LibraryType type) {
    const auto id = static_cast<TypeId>(types_.size());
    for (std::size_t i = 0; i < type.members.size(); ++i) type.memberIndex.emplace(LowerName(type.members[i].name), i);
    for (std::size_t i = 0; i < type.events.size(); ++i) type.eventIndex.emplace(LowerName(type.events[i].name), i);
    libraries_[type.library].types.push_back(id);
    typesByName_[LowerName(type.name)].push_back(id);
    if (!type.guid.empty()) typesByGuid_.emplace(type.guid, id);
    types_.push_back(std::move(type));
    return id;
}

void LibraryModel::IndexGlobals(TypeId id) {
    const LibraryType& type = types_[id];
    globals_[LowerName(type.name)].push_back({GlobalKind::Type, type.library, id, -1});
    const bool enumMembers = type.kind == TypeKind::Enum;
    if (!enumMembers && !type.global) return;
    for (const auto& [lower, i] : type.memberIndex) {
        // One global name for each member name: a property's Get, Let and Set are one.
        const Member& m = type.members[i];
        if (m.restricted) continue;
        GlobalKind kind = GlobalKind::Property;
        if (enumMembers) {
            kind = GlobalKind::EnumMember;
        } else if (m.kind == MemberKind::Constant) {
            kind = GlobalKind::Constant;
        } else if (m.kind == MemberKind::Method) {
            kind = GlobalKind::Procedure;
        }
        globals_[lower].push_back({kind, type.library, id, static_cast<int>(i)});
    }
}

LibraryId LibraryModel::AddTypeLibrary(const typelib::TypeLibrary& source) {
    const auto libraryId = static_cast<LibraryId>(libraries_.size());
    libraries_.push_back({source.name, source.guid, false, {}});
    globals_[LowerName(source.name)].push_back({GlobalKind::Library, libraryId, std::nullopt, -1});

    // An interface's members with those of its bases, restricted ones left out.
    auto membersOf = [&](std::size_t index, std::vector<Member>& into) {
        for (int depth = 0; depth < kMaxBaseDepth && index < source.types.size(); ++depth) {
            const typelib::TypeInfo& t = source.types[index];
            for (const Member& m : t.members)
                if (!m.restricted) into.push_back(m);
            if (t.implemented.empty() || t.implemented.front().typeIndex < 0) break;
            index = static_cast<std::size_t>(t.implemented.front().typeIndex);
        }
    };
    for (const typelib::TypeInfo& t : source.types) {
        LibraryType type;
        type.name = t.name;
        type.kind = t.kind;
        type.library = libraryId;
        type.guid = t.guid;
        type.global = t.kind == TypeKind::Module || (t.kind == TypeKind::CoClass && t.IsAppObject());
        type.creatable = t.IsCreatable();
        type.hidden = t.IsHidden() || t.IsRestricted();
        type.control = t.IsControl();
        type.aliasOf = t.aliasOf.name;
        if (t.kind == TypeKind::CoClass) {
            const auto interface = t.DefaultInterface();
            if (interface && t.implemented[*interface].typeIndex >= 0)
                membersOf(static_cast<std::size_t>(t.implemented[*interface].typeIndex), type.members);
            const auto source_ = t.DefaultSource();
            if (source_ && t.implemented[*source_].typeIndex >= 0)
                membersOf(static_cast<std::size_t>(t.implemented[*source_].typeIndex), type.events);
        } else if (t.kind == TypeKind::Interface || t.kind == TypeKind::Dispatch) {
            membersOf(static_cast<std::size_t>(&t - source.types.data()), type.members);
        } else {
            type.members = t.members;
        }
        IndexGlobals(AddType(std::move(type)));
    }
    return libraryId;
}

std::optional<LibraryId> LibraryModel::FindLibrary(std::string_view name) const {
    const std::string lower = LowerName(name);
    for (std::size_t i = 0; i < libraries_.size(); ++i)
        if (LowerName(libraries_[i].name) == lower) return static_cast<LibraryId>(i);
    return std::nullopt;
}

namespace {

// In an expression a name means a value before a type or a library: `App`
// is VB's App object, `Dim a As App` names the class (FindType).
bool IsValue(const GlobalName& g) { return g.kind != GlobalKind::Type && g.kind != GlobalKind::Library; }

// The type a type-declaration character at the end of a name stands for.
std::string_view SuffixType(char c) {
    switch (c) {
        case '$': return "String";
        case '%': return "Integer";
        case '&': return "Long";
        case '!': return "Single";
        case '#': return "Double";
        case '@': return "Currency";
        default: return {};
    }
}

}  // namespace

std::optional<LibraryId> LibraryModel::FindLibraryByGuid(std::string_view guid) const {
    // GUIDs are hexadecimal: compared without regard to letter case.
    const std::string lower = LowerName(guid);
    for (std::size_t i = 0; i < libraries_.size(); ++i)
        if (!libraries_[i].guid.empty() && LowerName(libraries_[i].guid) == lower) return static_cast<LibraryId>(i);
    return std::nullopt;
}

std::vector<GlobalName> LibraryModel::LookupGlobal(std::string_view name) const {
    auto found = globals_.find(LowerName(name));
    std::vector<GlobalName> all;
    if (found != globals_.end()) {
        all = found->second;
    } else if (name.size() > 1 && !SuffixType(name.back()).empty() && SuffixType(name[name.size() - 2]).empty()) {
        // VB6 takes a call of a function with a type character that agrees
        // with its type (Replace$ for Replace, which returns a String).
        found = globals_.find(LowerName(name.substr(0, name.size() - 1)));
        if (found == globals_.end()) return {};
        for (const GlobalName& g : found->second) {
            if (g.member < 0) continue;
            const Member& m = types_[*g.type].members[static_cast<std::size_t>(g.member)];
            if (!m.type.array && m.type.name == SuffixType(name.back())) all.push_back(g);
        }
    }
    std::stable_partition(all.begin(), all.end(), IsValue);
    return all;
}

std::optional<GlobalName> LibraryModel::FindGlobal(std::string_view name) const {
    std::vector<GlobalName> all = LookupGlobal(name);
    if (all.empty()) return std::nullopt;
    return all.front();
}

std::optional<GlobalName> LibraryModel::FindGlobal(LibraryId library, std::string_view name) const {
    const auto found = globals_.find(LowerName(name));
    if (found == globals_.end()) return std::nullopt;
    std::optional<GlobalName> type;
    for (const GlobalName& g : found->second) {
        if (g.library != library || g.kind == GlobalKind::Library) continue;
        if (IsValue(g)) return g;
        if (!type) type = g;
    }
    return type;
}

std::optional<TypeId> LibraryModel::FindType(std::string_view name) const {
    const std::size_t dot = name.find('.');
    if (dot != std::string_view::npos) {
        const auto library = FindLibrary(name.substr(0, dot));
        if (!library) return std::nullopt;
        return FindType(*library, name.substr(dot + 1));
    }
    const auto found = typesByName_.find(LowerName(name));
    if (found == typesByName_.end() || found->second.empty()) return std::nullopt;
    return found->second.front();
}

std::optional<TypeId> LibraryModel::FindType(LibraryId library, std::string_view name) const {
    const auto found = typesByName_.find(LowerName(name));
    if (found == typesByName_.end()) return std::nullopt;
    for (const TypeId id : found->second)
        if (types_[id].library == library) return id;
    return std::nullopt;
}

std::optional<TypeId> LibraryModel::FindTypeByGuid(std::string_view guid) const {
    const auto found = typesByGuid_.find(std::string(guid));
    if (found == typesByGuid_.end()) return std::nullopt;
    return found->second;
}

const Member* LibraryModel::FindMember(TypeId type, std::string_view name) const {
    const LibraryType& t = types_[type];
    const auto found = t.memberIndex.find(LowerName(name));
    return found == t.memberIndex.end() ? nullptr : &t.members[found->second];
}

const Member* LibraryModel::FindEvent(TypeId type, std::string_view name) const {
    const LibraryType& t = types_[type];
    const auto found = t.eventIndex.find(LowerName(name));
    return found == t.eventIndex.end() ? nullptr : &t.events[found->second];
}

std::optional<TypeId> LibraryModel::ResolveTypeName(LibraryId library, const typelib::TypeRef& ref) const {
    if (!ref.guid.empty()) return FindTypeByGuid(ref.guid);
    if (ref.name.empty()) return std::nullopt;
    if (const auto own = FindType(library, ref.name)) return own;
    return FindType(ref.name);
}

std::optional<TypeId> LibraryModel::ValueType(TypeId holder, const Member& member) const {
    std::optional<TypeId> type = ResolveTypeName(types_[holder].library, member.type);
    // An alias names the type it stands for (IFontDisp -> Font); a coclass
    // stands for its default interface, whose members it already carries.
    for (int depth = 0; type && depth < kMaxBaseDepth && types_[*type].kind == TypeKind::Alias; ++depth)
        type = ResolveTypeName(types_[*type].library, {types_[*type].aliasOf, {}, false});
    return type;
}

}  // namespace quibex::vb6::libraries
