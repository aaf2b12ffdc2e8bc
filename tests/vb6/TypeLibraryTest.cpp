#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/PeImage.h"
#include "tests/support/TypeLibImage.h"
#include "vb6/pe/PeImage.h"
#include "vb6/typelib/TypeLibrary.h"

namespace quibex::vb6::typelib {
namespace {

using quibex::test::SampleTypeLibrary;
using quibex::test::U32;

const TypeInfo* FindType(const TypeLibrary& library, std::string_view name) {
    for (const TypeInfo& t : library.types)
        if (t.name == name) return &t;
    return nullptr;
}

const Member* FindMember(const TypeInfo& type, std::string_view name, MemberKind kind) {
    for (const Member& m : type.members)
        if (m.name == name && m.kind == kind) return &m;
    return nullptr;
}

TEST(TypeLibrary, LibraryIdentity) {
    const ReadResult read = ReadTypeLibrary(SampleTypeLibrary());
    ASSERT_TRUE(read.library) << read.error;
    EXPECT_EQ(read.library->name, "OrdersLib");
    EXPECT_EQ(read.library->guid, quibex::test::kSampleLibraryGuid);
    EXPECT_EQ(read.library->majorVersion, 1);
    EXPECT_EQ(read.library->minorVersion, 2);
    EXPECT_EQ(read.library->lcid, 0x409u);
    EXPECT_EQ(read.library->helpString, "Orders and their events");
}

TEST(TypeLibrary, TypesWithTheirKindsAndFlags) {
    const ReadResult read = ReadTypeLibrary(SampleTypeLibrary());
    ASSERT_TRUE(read.library) << read.error;
    const struct {
        const char* name;
        TypeKind kind;
        bool appObject, creatable, hidden;
    } expected[] = {
        {"OrderStatus", TypeKind::Enum, false, false, false},     {"IOrder", TypeKind::Dispatch, false, false, false},
        {"IOrderEvents", TypeKind::Dispatch, false, false, false}, {"Order", TypeKind::CoClass, false, true, false},
        {"IOrderGlobals", TypeKind::Dispatch, false, false, false}, {"OrderGlobals", TypeKind::CoClass, true, true, false},
        {"OrderFunctions", TypeKind::Module, false, false, false}, {"_Hidden", TypeKind::Interface, false, false, true},
    };
    ASSERT_EQ(read.library->types.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const TypeInfo& t = read.library->types[i];
        EXPECT_EQ(t.name, expected[i].name);
        EXPECT_EQ(t.kind, expected[i].kind) << t.name;
        EXPECT_EQ(t.IsAppObject(), expected[i].appObject) << t.name;
        EXPECT_EQ(t.IsCreatable(), expected[i].creatable) << t.name;
        EXPECT_EQ(t.IsHidden(), expected[i].hidden) << t.name;
    }
    EXPECT_EQ(read.library->types[3].guid, "{6A1F0C21-7C3E-4D5B-9A11-3C0FFEE0B005}");
}

TEST(TypeLibrary, CoclassInterfacesAndInterfaceBase) {
    const ReadResult read = ReadTypeLibrary(SampleTypeLibrary());
    ASSERT_TRUE(read.library) << read.error;
    const TypeInfo& order = *FindType(*read.library, "Order");
    ASSERT_EQ(order.implemented.size(), 2u);
    ASSERT_TRUE(order.DefaultInterface());
    ASSERT_TRUE(order.DefaultSource());
    EXPECT_EQ(order.implemented[*order.DefaultInterface()].type.name, "IOrder");
    EXPECT_EQ(order.implemented[*order.DefaultInterface()].typeIndex, 1);
    EXPECT_EQ(order.implemented[*order.DefaultSource()].type.name, "IOrderEvents");
    const TypeInfo& hidden = *FindType(*read.library, "_Hidden");
    ASSERT_EQ(hidden.implemented.size(), 1u);
    EXPECT_EQ(hidden.implemented[0].type.name, "IOrder");
    EXPECT_FALSE(hidden.DefaultSource());
}

TEST(TypeLibrary, MembersWithKindsParametersAndTypes) {
    const ReadResult read = ReadTypeLibrary(SampleTypeLibrary());
    ASSERT_TRUE(read.library) << read.error;
    const TypeInfo& order = *FindType(*read.library, "IOrder");
    const struct {
        const char* name;
        MemberKind kind;
        const char* type;  // name, or GUID for another library's
        bool array;
        std::size_t parameters;
    } expected[] = {
        {"Total", MemberKind::PropertyGet, "Currency", false, 0},  // the [retval] is the value, not a parameter
        {"Total", MemberKind::PropertyLet, "", false, 1},
        {"Ship", MemberKind::Method, "Boolean", false, 2},
        {"Status", MemberKind::PropertyGet, "OrderStatus", false, 0},
        {"Picture", MemberKind::PropertyGet, "{7BF80981-BF32-101A-8BBB-00AA00300CAB}", false, 0},
        {"Lines", MemberKind::PropertyGet, "String", true, 0},
        {"Secret", MemberKind::Method, "", false, 0},
        {"Note", MemberKind::Variable, "String", false, 0},
    };
    ASSERT_EQ(order.members.size(), std::size(expected));
    for (const auto& e : expected) {
        const Member* m = FindMember(order, e.name, e.kind);
        ASSERT_TRUE(m) << e.name << " " << MemberKindName(e.kind);
        EXPECT_EQ(m->type.name.empty() ? m->type.guid : m->type.name, e.type) << e.name;
        EXPECT_EQ(m->type.array, e.array) << e.name;
        EXPECT_EQ(m->parameters.size(), e.parameters) << e.name;
    }
    const Member& ship = *FindMember(order, "Ship", MemberKind::Method);
    EXPECT_EQ(ship.id, 1);
    EXPECT_EQ(ship.parameters[0].name, "When");
    EXPECT_EQ(ship.parameters[0].type.name, "Date");
    EXPECT_FALSE(ship.parameters[0].optional);
    EXPECT_EQ(ship.parameters[1].name, "Note");
    EXPECT_TRUE(ship.parameters[1].optional);
    EXPECT_TRUE(FindMember(order, "Secret", MemberKind::Method)->hidden);
    EXPECT_FALSE(ship.hidden);

    const TypeInfo& status = *FindType(*read.library, "OrderStatus");
    ASSERT_EQ(status.members.size(), 2u);
    EXPECT_EQ(status.members[1].name, "osShipped");
    EXPECT_EQ(status.members[1].kind, MemberKind::Constant);
    const TypeInfo& module = *FindType(*read.library, "OrderFunctions");
    EXPECT_TRUE(FindMember(module, "NewOrderId", MemberKind::Method));
    EXPECT_TRUE(FindMember(module, "kMaxOrders", MemberKind::Constant));
    const TypeInfo& globals = *FindType(*read.library, "IOrderGlobals");
    EXPECT_EQ(FindMember(globals, "FindOrder", MemberKind::Method)->type.name, "IOrder");
}

TEST(TypeLibrary, ReadFromTheResourceOfAnImage) {
    const std::string library = SampleTypeLibrary();
    for (bool plus : {false, true}) {
        const std::string image = quibex::test::PeImage(library, plus, 0, "TYPELIB");
        EXPECT_EQ(CountTypeLibraryResources(image), 1u);
        const ReadResult read = ReadTypeLibrary(image);
        ASSERT_TRUE(read.library) << read.error;
        EXPECT_EQ(read.library->name, "OrdersLib");
        EXPECT_FALSE(ReadTypeLibrary(image, 1).library);
    }
    // The type's name is matched whatever its letter case; a numbered type is another.
    EXPECT_TRUE(ReadTypeLibrary(quibex::test::PeImage(library, false, 0, "TypeLib")).library);
    EXPECT_EQ(ReadTypeLibrary(quibex::test::PeImage(library, false, 16)).error, "no type library resource in the image");
}

TEST(TypeLibrary, ForeignOrDamagedBytesGiveAnError) {
    const std::string good = SampleTypeLibrary();
    auto patched = [&](std::size_t at, std::uint32_t value) {
        std::string b = good;
        b.replace(at, 4, U32(value));
        return b;
    };
    const std::size_t segDir = 0x54 + 4 * 8;
    const std::size_t typeTable = *quibex::vb6::ByteView(good).U32(segDir);
    const std::size_t descriptors = *quibex::vb6::ByteView(good).U32(segDir + 16 * 9);
    const struct {
        const char* what;
        std::string bytes;
        const char* error;
    } cases[] = {
        {"empty", "", "not a type library"},
        {"text", "Attribute VB_Name = \"Module1\"\r\n", "not a type library"},
        {"magic alone", "MSFT", "truncated header"},
        {"a placeholder", std::string("MSFT\0\0\0\0 a type library stands in here\r\n", 40), "truncated header"},
        {"SLTG", "SLTG" + std::string(200, '\0'), "SLTG type libraries are not supported"},
        {"an image without resources", "MZ" + std::string(200, '\0'), "no type library resource in the image"},
        {"huge type count", patched(0x20, 0x7FFFFFFF), "impossible number of types"},
        {"segment past the end", patched(segDir, 0x7FFFFFF0), "no valid segment directory"},
        {"type name outside the names", patched(typeTable + 0x34, 0x00FFFFF0), "name outside the name table"},
        {"unknown type kind", patched(typeTable, 9), "unknown kind of type"},
        {"members outside the file", patched(typeTable + 4, 0x7FFFFFF0), "member records outside the file"},
        {"a pointer to itself", patched(descriptors + 4, 0), "type descriptors nest too deep"},
    };
    for (const auto& c : cases) {
        const ReadResult read = ReadTypeLibrary(c.bytes);
        EXPECT_FALSE(read.library) << c.what;
        EXPECT_EQ(read.error, c.error) << c.what;
    }
    // Cut anywhere, the library is never read in part.
    for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(ReadTypeLibrary(good.substr(0, n)).library) << n;
}

TEST(TypeLibrary, AnyWordSetToAnExtremeIsReadWithinBounds) {
    // Each word of the file in turn made negative, huge or zero: whatever is
    // read stays within the bytes and within a budget the file's size sets
    // (the sanitizer builds make a stray read fail here).
    const std::string good = SampleTypeLibrary();
    std::size_t members = 0;
    for (std::size_t at = 0; at + 4 <= good.size(); at += 4) {
        for (std::uint32_t value : {0xFFFFFFFFu, 0x7FFFFFFFu, 0u, 0x64u}) {
            std::string bytes = good;
            bytes.replace(at, 4, U32(value));
            const ReadResult read = ReadTypeLibrary(bytes);
            if (!read.library) {
                EXPECT_FALSE(read.error.empty());
                continue;
            }
            for (const TypeInfo& t : read.library->types) members += t.members.size();
            EXPECT_LE(read.library->types.size(), good.size() / 0x64);
        }
    }
    EXPECT_GT(members, 0u);
}

TEST(TypeLibrary, ALibraryAnotherToolWrote) {
    // Wine's stdole2.tlb is an image whose TYPELIB resource another MSFT
    // writer made; where Wine is installed it checks this reader against
    // more than the tests' own writer.
    std::string found;
    for (const char* path : {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/stdole2.tlb",
                             "/usr/lib/wine/x86_64-windows/stdole2.tlb", "/usr/lib/i386-linux-gnu/wine/i386-windows/stdole2.tlb"})
        if (std::filesystem::exists(path)) found = path;
    if (found.empty()) GTEST_SKIP() << "no Wine stdole2.tlb on this machine";
    std::ifstream in(found, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const ReadResult read = ReadTypeLibrary(bytes.str());
    ASSERT_TRUE(read.library) << read.error;
    EXPECT_EQ(read.library->name, "stdole");
    EXPECT_EQ(read.library->guid, "{00020430-0000-0000-C000-000000000046}");
    EXPECT_EQ(read.library->majorVersion, 2);
    const TypeInfo* font = FindType(*read.library, "StdFont");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->kind, TypeKind::CoClass);
    ASSERT_TRUE(font->DefaultInterface());
    EXPECT_EQ(font->implemented[*font->DefaultInterface()].type.name, "Font");
    const TypeInfo* functions = FindType(*read.library, "StdFunctions");
    ASSERT_TRUE(functions);
    const Member* load = FindMember(*functions, "LoadPicture", MemberKind::Method);
    ASSERT_TRUE(load);
    EXPECT_EQ(load->type.name, "IPictureDisp");
    ASSERT_EQ(load->parameters.size(), 4u);
    EXPECT_TRUE(load->parameters[0].optional);
    EXPECT_EQ(FindType(*read.library, "OLE_COLOR")->aliasOf.name, "Long");
}

}  // namespace
}  // namespace quibex::vb6::typelib
