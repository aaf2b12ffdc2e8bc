#pragma once
// MSFT type libraries laid out byte by byte, for the tests of the type
// library reader and of everything that looks names up in libraries: a
// small builder, and one sample library (an enum, a creatable coclass with
// its interface and event interface, a global application object, a module
// of functions and constants, and a type of another library).

#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/PeImage.h"

namespace quibex::test {

// TYPEKIND, VARENUM, INVOKEKIND and the flags the tests use.
enum MsftKind : std::uint32_t { kEnum = 0, kRecord = 1, kModule = 2, kInterface = 3, kDispatch = 4, kCoClass = 5, kAlias = 6 };
enum MsftVt : std::uint16_t { kVtI2 = 2, kVtI4 = 3, kVtCy = 6, kVtDate = 7, kVtBstr = 8, kVtDispatch = 9, kVtBool = 11,
                              kVtVariant = 12, kVtVoid = 24, kVtHresult = 25 };
enum MsftInvoke : std::uint32_t { kFunc = 1, kGet = 2, kLet = 4, kSet = 8 };
constexpr std::uint32_t kParamIn = 0x1, kParamOut = 0x2, kParamRetval = 0x8, kParamOptional = 0x10;
constexpr std::uint32_t kTypeAppObject = 0x1, kTypeCanCreate = 0x2, kTypeHidden = 0x10, kTypeDual = 0x40,
                        kTypeDispatchable = 0x1000;
constexpr std::uint32_t kImplDefault = 0x1, kImplSource = 0x2;

// A plain automation type as the format writes it inline.
inline std::int32_t Vt(std::uint16_t vt) { return static_cast<std::int32_t>(0x80000000u | std::uint32_t{vt} << 16 | vt); }

struct MsftParam {
    std::string name;
    std::int32_t type;
    std::uint32_t flags = kParamIn;
};

struct MsftMember {
    std::string name;
    bool function = true;
    std::uint32_t invoke = kFunc;  // functions
    std::int32_t type = Vt(kVtVoid);
    std::vector<MsftParam> params;
    std::int32_t id = 0;
    std::uint32_t flags = 0;      // FUNCFLAG / VARFLAG
    std::int16_t varKind = 2;     // variables: VAR_CONST, or 3 for VAR_DISPATCH
    std::int32_t value = 0;
};

struct MsftType {
    std::string name;
    MsftKind kind;
    std::string guid;  // "{...}" or empty
    std::uint32_t flags = 0;
    std::vector<MsftMember> members{};
    std::vector<std::pair<int, std::uint32_t>> implemented{};  // coclass: type index, IMPLTYPEFLAGS
    std::int32_t dataType = -1;  // an alias's type; an interface's base reference
};

inline std::string GuidBytes(std::string_view text) {
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": Data1..3 little-endian, Data4 in order.
    std::string hex;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c))) hex += c;
    auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16)); };
    std::string out = U32(byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3)) + U16(byte(4) << 8 | byte(5)) +
                      U16(byte(6) << 8 | byte(7));
    for (std::size_t i = 8; i < 16; ++i) out += static_cast<char>(byte(i));
    return out;
}

class MsftBuilder {
public:
    MsftBuilder(std::string name, std::string guid, std::uint16_t major, std::uint16_t minor)
        : libName_(std::move(name)), libGuid_(std::move(guid)), version_(std::uint32_t{minor} << 16 | major) {}

    int AddType(MsftType type) {
        types_.push_back(std::move(type));
        return static_cast<int>(types_.size()) - 1;
    }
    // Type descriptors: offsets into their segment, usable wherever a type goes.
    std::int32_t UserDefined(int typeIndex) { return Descriptor(29, typeIndex * 0x64); }
    std::int32_t PointerTo(std::int32_t type) { return Descriptor(26, type); }
    std::int32_t SafeArrayOf(std::int32_t type) { return Descriptor(27, type); }
    // A type of another library, known by its GUID.
    std::int32_t Imported(std::string_view guid, std::string_view file) {
        const auto fileAt = static_cast<std::int32_t>(importFiles_.size());
        importFiles_ += U32(static_cast<std::uint32_t>(Guid("{00020430-0000-0000-C000-000000000046}"))) + U32(0) + U16(2) + U16(0) +
                        U16(static_cast<std::uint32_t>(file.size() * 4)) + std::string(file);
        Pad(importFiles_);
        const auto infoAt = static_cast<std::uint32_t>(importInfo_.size());
        importInfo_ += U16(1) + std::string(1, '\x01') + std::string(1, static_cast<char>(kDispatch)) +
                       U32(static_cast<std::uint32_t>(fileAt)) + U32(static_cast<std::uint32_t>(Guid(guid)));
        return Descriptor(29, static_cast<std::int32_t>(infoAt | 1));
    }

    std::string Bytes() {
        const int libName = Name(libName_);
        const int libGuid = libGuid_.empty() ? -1 : Guid(libGuid_);
        for (const MsftType& t : types_) {
            Name(t.name);
            if (!t.guid.empty()) Guid(t.guid);
            for (const MsftMember& m : t.members) {
                Name(m.name);
                for (const MsftParam& p : m.params) Name(p.name);
            }
        }
        const int helpString = String("Orders and their events");
        // Reference records of the coclasses.
        std::vector<std::int32_t> firstRef(types_.size(), -1);
        std::string refs;
        for (std::size_t i = 0; i < types_.size(); ++i) {
            const auto& impl = types_[i].implemented;
            for (std::size_t k = 0; k < impl.size(); ++k) {
                const auto at = static_cast<std::int32_t>(refs.size());
                if (k == 0) firstRef[i] = at;
                const std::int32_t next = k + 1 < impl.size() ? at + 16 : -1;
                refs += U32(static_cast<std::uint32_t>(impl[k].first * 0x64)) + U32(impl[k].second) + U32(0xFFFFFFFF) +
                        U32(static_cast<std::uint32_t>(next));
            }
        }
        const std::size_t n = types_.size();
        const std::size_t segDir = 0x54 + 4 * n;
        std::vector<std::string> segments(15);
        segments[1] = importInfo_;
        segments[2] = importFiles_;
        segments[3] = refs;
        segments[4] = std::string(0x80, '\xFF');
        segments[5] = guids_;
        segments[6] = std::string(0x200, '\xFF');
        segments[7] = names_;
        segments[8] = strings_;
        segments[9] = descriptors_;
        segments[0] = std::string(0x64 * n, '\0');  // filled below, once member offsets are known
        std::size_t at = segDir + 15 * 16;
        std::vector<std::size_t> segAt(15);
        for (std::size_t s = 0; s < 15; ++s) {
            segAt[s] = at;
            at += segments[s].size();
        }
        // Member array groups follow the segments.
        std::string groups;
        std::vector<std::int32_t> groupAt(n, -1);
        for (std::size_t i = 0; i < n; ++i) {
            if (types_[i].members.empty()) continue;
            groupAt[i] = static_cast<std::int32_t>(at + groups.size());
            groups += Group(types_[i]);
        }
        for (std::size_t i = 0; i < n; ++i) {
            const MsftType& t = types_[i];
            std::size_t functions = 0, variables = 0;
            for (const MsftMember& m : t.members) (m.function ? functions : variables)++;
            std::int32_t dataType = t.dataType;
            if (t.kind == kCoClass) dataType = firstRef[i];
            const std::size_t implCount = t.kind == kCoClass ? t.implemented.size() : (t.dataType != -1 ? 1 : 0);
            std::string info = U32(t.kind) + U32(static_cast<std::uint32_t>(groupAt[i])) + U32(0) + U32(0xFFFFFFFF) +
                               U32(3) + U32(0) + U16(static_cast<std::uint32_t>(functions)) +
                               U16(static_cast<std::uint32_t>(variables)) + U32(0) + U32(0) + U32(0) + U32(0) +
                               U32(static_cast<std::uint32_t>(t.guid.empty() ? -1 : Guid(t.guid))) + U32(t.flags) +
                               U32(static_cast<std::uint32_t>(Name(t.name))) + U32(0) + U32(0xFFFFFFFF) + U32(0) +
                               U32(0) + U32(0xFFFFFFFF) + U16(static_cast<std::uint32_t>(implCount)) + U16(0) + U32(4) +
                               U32(static_cast<std::uint32_t>(dataType)) + U32(0) + U32(0) + U32(0xFFFFFFFF);
            segments[0].replace(0x64 * i, 0x64, info);
        }
        std::string header = "MSFT" + U32(0x00010002) + U32(static_cast<std::uint32_t>(libGuid)) + U32(0x409) +
                             U32(0) + U32(0x41) + U32(version_) + U32(0) + U32(static_cast<std::uint32_t>(n)) +
                             U32(static_cast<std::uint32_t>(helpString)) + U32(0) + U32(0) +
                             U32(static_cast<std::uint32_t>(nameCount_)) + U32(static_cast<std::uint32_t>(nameChars_)) +
                             U32(static_cast<std::uint32_t>(libName)) + U32(0xFFFFFFFF) + U32(0xFFFFFFFF) + U32(0x20) +
                             U32(0x80) + U32(0xFFFFFFFF) + U32(static_cast<std::uint32_t>(importInfo_.size() / 12));
        for (std::size_t i = 0; i < n; ++i) header += U32(static_cast<std::uint32_t>(0x64 * i));
        for (std::size_t s = 0; s < 15; ++s) {
            const bool present = !segments[s].empty() || s == 0 || s == 7;
            header += U32(present ? static_cast<std::uint32_t>(segAt[s]) : 0xFFFFFFFF) +
                      U32(static_cast<std::uint32_t>(segments[s].size())) + U32(0xFFFFFFFF) + U32(0x0F);
        }
        for (const std::string& s : segments) header += s;
        return header + groups;
    }

    int Name(std::string_view text) {
        if (text.empty()) return -1;
        const auto found = nameAt_.find(std::string(text));
        if (found != nameAt_.end()) return found->second;
        const int at = static_cast<int>(names_.size());
        names_ += U32(0xFFFFFFFF) + U32(0xFFFFFFFF) + U32(static_cast<std::uint32_t>(text.size()) | 0x3800u << 16) +
                  std::string(text);
        Pad(names_);
        nameAt_.emplace(std::string(text), at);
        ++nameCount_;
        nameChars_ += text.size();
        return at;
    }

private:
    static void Pad(std::string& s) {
        while (s.size() % 4) s += 'W';
    }
    int Guid(std::string_view text) {
        const auto found = guidAt_.find(std::string(text));
        if (found != guidAt_.end()) return found->second;
        const int at = static_cast<int>(guids_.size());
        guids_ += GuidBytes(text) + U32(0xFFFFFFFE) + U32(0xFFFFFFFF);
        guidAt_.emplace(std::string(text), at);
        return at;
    }
    int String(std::string_view text) {
        const int at = static_cast<int>(strings_.size());
        strings_ += U16(static_cast<std::uint32_t>(text.size())) + std::string(text);
        while (strings_.size() % 4 || strings_.size() - at < 8) strings_ += 'W';
        return at;
    }
    std::int32_t Descriptor(std::uint16_t vt, std::int32_t ref) {
        const auto at = static_cast<std::int32_t>(descriptors_.size());
        descriptors_ += U16(vt) + U16(0x7FFE) + U32(static_cast<std::uint32_t>(ref));
        return at;
    }

    // Records, then member ids, names and record offsets.
    std::string Group(const MsftType& t) {
        std::string records, ids, names, offsets;
        std::vector<const MsftMember*> ordered;
        for (const MsftMember& m : t.members)
            if (m.function) ordered.push_back(&m);
        for (const MsftMember& m : t.members)
            if (!m.function) ordered.push_back(&m);
        for (std::size_t i = 0; i < ordered.size(); ++i) {
            const MsftMember& m = *ordered[i];
            offsets += U32(static_cast<std::uint32_t>(records.size()));
            ids += U32(static_cast<std::uint32_t>(m.id));
            names += U32(static_cast<std::uint32_t>(Name(m.name)));
            if (m.function) {
                const auto size = static_cast<std::uint32_t>(24 + 12 * m.params.size());
                records += U32(size | static_cast<std::uint32_t>(i) << 16) + U32(static_cast<std::uint32_t>(m.type)) +
                           U32(m.flags) + U16(0) + U16(0x34) + U32(4 | m.invoke << 3 | 4 << 8) +
                           U16(static_cast<std::uint32_t>(m.params.size())) + U16(0);
                for (const MsftParam& p : m.params)
                    records += U32(static_cast<std::uint32_t>(p.type)) + U32(static_cast<std::uint32_t>(Name(p.name))) +
                               U32(p.flags);
            } else {
                records += U32(20 | static_cast<std::uint32_t>(i) << 16) + U32(static_cast<std::uint32_t>(m.type)) +
                           U32(m.flags) + U16(static_cast<std::uint16_t>(m.varKind)) + U16(0x20) +
                           U32(static_cast<std::uint32_t>(m.value));
            }
        }
        return U32(static_cast<std::uint32_t>(records.size())) + records + ids + names + offsets;
    }

    std::string libName_, libGuid_;
    std::uint32_t version_;
    std::vector<MsftType> types_;
    std::string names_, guids_, strings_, descriptors_, importInfo_, importFiles_;
    std::map<std::string, int> nameAt_, guidAt_;
    std::size_t nameCount_ = 0, nameChars_ = 0;
};

constexpr std::string_view kSampleLibraryGuid = "{6A1F0C21-7C3E-4D5B-9A11-3C0FFEE0B001}";
constexpr std::string_view kPictureDispGuid = "{7BF80981-BF32-101A-8BBB-00AA00300CAB}";

// OrdersLib 1.2: enum OrderStatus; dispinterfaces IOrder and IOrderEvents;
// coclass Order (creatable, IOrder default, IOrderEvents default source);
// IOrderGlobals and the application object OrderGlobals; module
// OrderFunctions; a hidden interface _Hidden.
inline std::string SampleTypeLibrary() {
    MsftBuilder b("OrdersLib", std::string(kSampleLibraryGuid), 1, 2);
    MsftType status{"OrderStatus", kEnum, "{6A1F0C21-7C3E-4D5B-9A11-3C0FFEE0B002}"};
    status.members = {{"osOpen", false, 0, Vt(kVtI4), {}, 0, 0, 2, 0}, {"osShipped", false, 0, Vt(kVtI4), {}, 1, 0, 2, 1}};
    const int statusIndex = b.AddType(status);

    const int orderIndex = 1, eventsIndex = 2;
    MsftType order{"IOrder", kDispatch, "{6A1F0C21-7C3E-4D5B-9A11-3C0FFEE0B003}", kTypeDual | kTypeDispatchable};
    order.members = {
        {"Total", true, kGet, Vt(kVtHresult), {{"", b.PointerTo(Vt(kVtCy)), kParamOut | kParamRetval}}, 0},
        {"Total", true, kLet, Vt(kVtHresult), {{"", Vt(kVtCy)}}, 0},
        {"Ship", true, kFunc, Vt(kVtHresult),
         {{"When", Vt(kVtDate)}, {"Note", Vt(kVtVariant), kParamIn | kParamOptional},
          {"", b.PointerTo(Vt(kVtBool)), kParamOut | kParamRetval}}, 1},
        {"Status", true, kGet, b.UserDefined(statusIndex), {}, 2},
        {"Picture", true, kGet, b.Imported(kPictureDispGuid, "stdole2.tlb"), {}, 3},
        {"Lines", true, kGet, b.SafeArrayOf(Vt(kVtBstr)), {}, 4},
        {"Secret", true, kFunc, Vt(kVtVoid), {}, 5, 0x40},
        {"Note", false, 0, Vt(kVtBstr), {}, 6, 0, 3},
    };
    if (b.AddType(order) != orderIndex) return {};
    MsftType events{"IOrderEvents", kDispatch, "{6A1F0C21-7C3E-4D5B-9A11-3C0FFEE0B004}", kTypeDispatchable};
    events.members = {{"Shipped", true, kFunc, Vt(kVtVoid), {{"Id", Vt(kVtI4)}}, 1}};
    if (b.AddType(events) != eventsIndex) return {};
    MsftType coclass{"Order", kCoClass, "{6A1F0C21-7C3E-4D5B-9A11-3C0FFEE0B005}", kTypeCanCreate};
    coclass.implemented = {{orderIndex, kImplDefault}, {eventsIndex, kImplDefault | kImplSource}};
    b.AddType(coclass);

    MsftType globals{"IOrderGlobals", kDispatch, "{6A1F0C21-7C3E-4D5B-9A11-3C0FFEE0B006}", kTypeDispatchable};
    globals.members = {{"FindOrder", true, kFunc, b.UserDefined(orderIndex), {{"Id", Vt(kVtI4)}}, 1}};
    const int globalsIndex = b.AddType(globals);
    MsftType app{"OrderGlobals", kCoClass, "{6A1F0C21-7C3E-4D5B-9A11-3C0FFEE0B007}", kTypeAppObject | kTypeCanCreate};
    app.implemented = {{globalsIndex, kImplDefault}};
    b.AddType(app);

    MsftType module{"OrderFunctions", kModule, "{6A1F0C21-7C3E-4D5B-9A11-3C0FFEE0B008}"};
    module.members = {{"NewOrderId", true, kFunc, Vt(kVtI4), {{"Prefix", Vt(kVtBstr)}}, 0x60000000},
                      {"kMaxOrders", false, 0, Vt(kVtI4), {}, 0x40000000, 0, 2, 100}};
    b.AddType(module);
    MsftType hidden{"_Hidden", kInterface, "", kTypeHidden};
    hidden.dataType = orderIndex * 0x64;
    b.AddType(hidden);
    return b.Bytes();
}

}  // namespace quibex::test
