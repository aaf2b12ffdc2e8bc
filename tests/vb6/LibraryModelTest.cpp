#include <gtest/gtest.h>

#include "tests/support/TypeLibImage.h"
#include "vb6/libraries/LibraryModel.h"

namespace quibex::vb6::libraries {
namespace {

std::string Describe(const LibraryModel& model, const GlobalName& g) {
    std::string text = model.GetLibrary(g.library).name;
    if (g.type) text += "." + model.GetType(*g.type).name;
    if (g.member >= 0) text += "." + model.GetType(*g.type).members[static_cast<std::size_t>(g.member)].name;
    return text;
}

TEST(LibraryModel, TheBuiltinTableIsReadWhole) {
    LibraryModel model;
    const auto added = model.AddBuiltinText(LibraryModel::BuiltinText());
    EXPECT_TRUE(added.ok) << added.error;
    for (const char* library : {"VBA", "VB", "VBRUN", "stdole"}) EXPECT_TRUE(model.FindLibrary(library)) << library;
    EXPECT_EQ(model.FindLibraryByGuid("{00020430-0000-0000-c000-000000000046}"), model.FindLibrary("stdole"));
    EXPECT_FALSE(model.FindLibraryByGuid("{00000000-0000-0000-0000-000000000000}"));
}

TEST(LibraryModel, GlobalNamesOfVb6sOwnLibraries) {
    const LibraryModel model = LibraryModel::WithBuiltins();
    const struct {
        const char* name;
        GlobalKind kind;
        const char* is;  // library.type.member
    } cases[] = {
        {"Left$", GlobalKind::Procedure, "VBA.Strings.Left$"},
        {"left", GlobalKind::Procedure, "VBA.Strings.Left"},
        {"MID$", GlobalKind::Procedure, "VBA.Strings.Mid$"},
        {"InStr", GlobalKind::Procedure, "VBA.Strings.InStr"},
        {"Format", GlobalKind::Procedure, "VBA.Strings.Format"},
        {"MsgBox", GlobalKind::Procedure, "VBA.Interaction.MsgBox"},
        {"CreateObject", GlobalKind::Procedure, "VBA.Interaction.CreateObject"},
        {"CallByName", GlobalKind::Procedure, "VBA.Interaction.CallByName"},
        {"UBound", GlobalKind::Procedure, "VBA._HiddenModule.UBound"},
        {"Date", GlobalKind::Property, "VBA.DateTime.Date"},
        {"Err", GlobalKind::Property, "VBA.Information.Err"},
        {"Debug", GlobalKind::Property, "VBA._Debug.Debug"},
        {"vbCrLf", GlobalKind::Constant, "VBA.Constants.vbCrLf"},
        {"vbNullString", GlobalKind::Constant, "VBA.Constants.vbNullString"},
        {"vbOKOnly", GlobalKind::EnumMember, "VBA.VbMsgBoxStyle.vbOKOnly"},
        {"vbYes", GlobalKind::EnumMember, "VBA.VbMsgBoxResult.vbYes"},
        {"vbKeyF12", GlobalKind::EnumMember, "VBA.KeyCodeConstants.vbKeyF12"},
        {"vbRed", GlobalKind::EnumMember, "VBA.ColorConstants.vbRed"},
        {"App", GlobalKind::Property, "VB.Global.App"},
        {"Screen", GlobalKind::Property, "VB.Global.Screen"},
        {"Unload", GlobalKind::Procedure, "VB.Global.Unload"},
        {"LoadResString", GlobalKind::Procedure, "VB.Global.LoadResString"},
        {"LoadPicture", GlobalKind::Procedure, "VB.Global.LoadPicture"},  // VB before stdole
        {"vbModal", GlobalKind::EnumMember, "VBRUN.FormShowConstants.vbModal"},
        {"vbHourglass", GlobalKind::EnumMember, "VBRUN.MousePointerConstants.vbHourglass"},
        {"Collection", GlobalKind::Type, "VBA.Collection"},
        {"TextBox", GlobalKind::Type, "VB.TextBox"},
        {"StdFont", GlobalKind::Type, "stdole.StdFont"},
        {"VBA", GlobalKind::Library, "VBA"},
        // A type character that agrees with the function's type.
        {"Replace$", GlobalKind::Procedure, "VBA.Strings.Replace"},
        {"Join$", GlobalKind::Procedure, "VBA.Strings.Join"},
        {"RGB&", GlobalKind::Procedure, "VBA.Information.RGB"},
    };
    for (const auto& c : cases) {
        const auto found = model.FindGlobal(c.name);
        ASSERT_TRUE(found) << c.name;
        EXPECT_EQ(found->kind, c.kind) << c.name;
        EXPECT_EQ(Describe(model, *found), c.is) << c.name;
    }
    for (const char* unknown : {"Text1", "Left$$", "vbCrLf2", "_Placement", "Caption", "osShipped", "Len$", "Split$", "RGB$"})
        EXPECT_FALSE(model.FindGlobal(unknown)) << unknown;
    // A qualified name looks in its library only.
    EXPECT_TRUE(model.FindGlobal(*model.FindLibrary("vba"), "Left"));
    EXPECT_FALSE(model.FindGlobal(*model.FindLibrary("VB"), "Left"));
}

TEST(LibraryModel, MembersAndEventsOfObjectsAndControls) {
    const LibraryModel model = LibraryModel::WithBuiltins();
    // Each row: a chain written in code, as the model answers it step by step.
    const struct {
        const char* type;
        const char* member;
        const char* valueType;  // the member's value's type in the model, or ""
    } members[] = {
        {"App", "Path", ""},
        {"ErrObject", "Number", ""},
        {"ErrObject", "Raise", ""},
        {"TextBox", "Text", ""},
        {"TextBox", "SelStart", ""},
        {"TextBox", "SetFocus", ""},
        {"TextBox", "Font", "StdFont"},
        {"StdFont", "Bold", ""},
        {"Label", "Caption", ""},
        {"ListBox", "ListIndex", ""},
        {"ComboBox", "AddItem", ""},
        {"Form", "Caption", ""},
        {"Form", "Show", ""},
        {"Form", "Controls", ""},
        {"Form", "Picture", "Picture"},  // IPictureDisp is an alias of Picture
        {"MDIForm", "ActiveForm", "Form"},
        {"Screen", "ActiveForm", "Form"},
        {"UserControl", "Ambient", "AmbientProperties"},
        {"UserControl", "Extender", ""},
        {"Collection", "Add", ""},
        {"DebugObject", "Print", ""},
        {"Timer", "Interval", ""},
        {"Menu", "Checked", ""},
    };
    for (const auto& m : members) {
        const auto type = model.FindType(m.type);
        ASSERT_TRUE(type) << m.type;
        const Member* member = model.FindMember(*type, m.member);
        ASSERT_TRUE(member) << m.type << "." << m.member;
        const auto value = model.ValueType(*type, *member);
        EXPECT_EQ(value ? model.GetType(*value).name : "", m.valueType) << m.type << "." << m.member;
    }
    const auto err = model.FindGlobal("Err");
    EXPECT_EQ(model.GetType(*model.ValueType(*err->type, model.GetType(*err->type).members[err->member])).name,
              "ErrObject");

    const struct {
        const char* type;
        const char* event;
    } events[] = {
        {"Form", "Load"},          {"Form", "QueryUnload"},    {"Form", "Resize"},       {"Form", "KeyPress"},
        {"TextBox", "Change"},     {"TextBox", "Validate"},    {"CommandButton", "Click"}, {"Timer", "Timer"},
        {"ListBox", "ItemCheck"},  {"UserControl", "ReadProperties"}, {"MDIForm", "Unload"}, {"StdFont", "FontChanged"},
        {"PictureBox", "Paint"},   {"Data", "Reposition"},     {"Form", "DragDrop"},     {"Form", "LinkExecute"},
        {"UserControl", "GotFocus"}, {"_ClassModule", "Initialize"},
    };
    for (const auto& e : events) EXPECT_TRUE(model.FindEvent(*model.FindType(e.type), e.event)) << e.type << "_" << e.event;
    EXPECT_FALSE(model.FindEvent(*model.FindType("Timer"), "Click"));
    EXPECT_FALSE(model.FindEvent(*model.FindType("TextBox"), "Load"));
    EXPECT_TRUE(model.GetType(*model.FindType("TextBox")).control);
    EXPECT_TRUE(model.GetType(*model.FindType("VBA.Collection")).creatable);
}

TEST(LibraryModel, ATypeLibraryAddsItsNames) {
    LibraryModel model = LibraryModel::WithBuiltins();
    const auto read = typelib::ReadTypeLibrary(quibex::test::SampleTypeLibrary());
    ASSERT_TRUE(read.library) << read.error;
    const LibraryId orders = model.AddTypeLibrary(*read.library);
    EXPECT_EQ(model.GetLibrary(orders).name, "OrdersLib");

    const struct {
        const char* name;
        GlobalKind kind;
        const char* is;
    } cases[] = {
        {"OrdersLib", GlobalKind::Library, "OrdersLib"},
        {"osShipped", GlobalKind::EnumMember, "OrdersLib.OrderStatus.osShipped"},
        {"NewOrderId", GlobalKind::Procedure, "OrdersLib.OrderFunctions.NewOrderId"},
        {"kMaxOrders", GlobalKind::Constant, "OrdersLib.OrderFunctions.kMaxOrders"},
        {"FindOrder", GlobalKind::Procedure, "OrdersLib.OrderGlobals.FindOrder"},  // an application object's
        {"Order", GlobalKind::Type, "OrdersLib.Order"},
    };
    for (const auto& c : cases) {
        const auto found = model.FindGlobal(c.name);
        ASSERT_TRUE(found) << c.name;
        EXPECT_EQ(found->kind, c.kind) << c.name;
        EXPECT_EQ(Describe(model, *found), c.is) << c.name;
    }
    // A coclass carries its default interface's members and its event interface's events.
    const TypeId order = *model.FindType("OrdersLib.Order");
    EXPECT_TRUE(model.GetType(order).creatable);
    EXPECT_TRUE(model.FindMember(order, "ship"));
    EXPECT_TRUE(model.FindEvent(order, "Shipped"));
    EXPECT_FALSE(model.FindMember(order, "Shipped"));
    // A type of another library is found by its GUID: here stdole's Picture.
    const Member* picture = model.FindMember(order, "Picture");
    ASSERT_TRUE(picture);
    ASSERT_TRUE(model.ValueType(order, *picture));
    EXPECT_EQ(model.GetType(*model.ValueType(order, *picture)).name, "Picture");
    const TypeId globals = *model.FindType("OrderGlobals");
    EXPECT_EQ(model.GetType(*model.ValueType(globals, *model.FindMember(globals, "FindOrder"))).name, "IOrder");
    // The interface's hidden base interface is not a global name; its members are no globals.
    EXPECT_FALSE(model.FindGlobal("Ship"));
}

TEST(LibraryModel, AnEarlierLibraryWinsAName) {
    LibraryModel model = LibraryModel::WithBuiltins();
    ASSERT_TRUE(model.AddBuiltinText("library Shadow\nmodule Text\nfunction Left(S As String) As String\n").ok);
    const auto shadow = model.FindLibrary("Shadow");
    ASSERT_TRUE(shadow);
    EXPECT_EQ(Describe(model, *model.FindGlobal("Left")), "VBA.Strings.Left");
    EXPECT_EQ(model.LookupGlobal("Left").size(), 2u);
    EXPECT_EQ(Describe(model, *model.FindGlobal(*shadow, "Left")), "Shadow.Text.Left");
}

TEST(LibraryModel, ALineTheFormatDoesNotAllowIsNamed) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"library L\nmodule M\nfnction F()\n", "line 3: unknown keyword 'fnction'"},
        {"library L\nsub F()\n", "line 2: 'sub' outside a type"},
        {"module M\n", "line 1: a type before any library"},
        {"library L\nclass C\nlike Missing\n", "line 3: 'like Missing' names no type defined above"},
        {"library L\nmodule M\nfunction F(A As String\n", "line 3: unbalanced parentheses"},
        {"library L\nmodule M\nsub F() As Long\n", "line 3: a sub or event has no type"},
        {"library L\nclass C shiny\n", "line 2: unknown type flag 'shiny'"},
        {"library L\nclass C\nproperty P\n", "line 3: a property needs a type"},
        {"library L\nmodule M\nfunction F([A As Long) As Long\n", "line 3: unbalanced brackets in F"},
    };
    for (const auto& c : cases) {
        LibraryModel model;
        const auto added = model.AddBuiltinText(c.text);
        EXPECT_FALSE(added.ok) << c.text;
        EXPECT_EQ(added.error, c.error) << c.text;
    }
}

}  // namespace
}  // namespace quibex::vb6::libraries
