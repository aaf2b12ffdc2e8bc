#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "setup/mdlInstall.h"

namespace quibex::mdlMain {

void PrintTo(const ShortcutValues& v, std::ostream* os) {
    using ::testing::PrintToString;
    *os << "{link " << PrintToString(v.linkFile) << ", target " << PrintToString(v.target) << ", folder "
        << PrintToString(v.workingFolder) << ", arguments " << PrintToString(v.arguments) << ", icon "
        << PrintToString(v.iconFile) << "," << v.iconIndex << ", show " << v.showCommand << ", description "
        << PrintToString(v.description) << "}";
}

namespace {

// Folders and writability as a test sets them; counts who asked for the
// user's folder.
class FakeSystem : public ISetupSystem {
public:
    std::wstring common;
    std::wstring user;
    std::set<std::wstring> writable;
    int userAsked = 0;

    std::wstring CommonProgramsFolder() override { return common; }
    std::wstring UserProgramsFolder() override {
        ++userAsked;
        return user;
    }
    bool IsFolderWritable(const std::wstring& folder) override { return writable.count(folder) > 0; }
    std::wstring ExePath() override { return L"D:\\Apps\\Quibex\\Quibex.exe"; }
    std::wstring ExeFolder() override { return L"D:\\Apps\\Quibex\\"; }
};

ShortcutValues Expected(const std::wstring& linkFile) {
    ShortcutValues v;
    v.linkFile = linkFile;
    v.target = L"D:\\Apps\\Quibex\\Quibex.exe";
    v.workingFolder = L"D:\\Apps\\Quibex\\";
    v.arguments = L"";
    v.iconFile = L"D:\\Apps\\Quibex\\Quibex.exe";
    v.iconIndex = 0;
    v.showCommand = 5;
    v.description = L"Olvek Quibex";
    return v;
}

TEST(StartMenuShortcutValues, AllUsersFolderWhenWritableElseTheUsers) {
    const std::wstring all = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\";
    const std::wstring mine = L"C:\\Users\\me\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";
    struct Case {
        const char* what;
        std::wstring common;
        std::wstring user;
        std::set<std::wstring> writable;
        std::wstring linkFile;
        bool userAsked;
    };
    const Case cases[] = {
        {"all-users folder writable", all, mine, {all, mine}, all + L"Quibex.lnk", false},
        {"all-users folder not writable", all, mine, {mine}, mine + L"Quibex.lnk", true},
        {"user's folder is taken unchecked", all, mine, {}, mine + L"Quibex.lnk", true},
        {"no all-users folder", L"", mine, {mine}, mine + L"Quibex.lnk", true},
        {"no folder at all", L"", L"", {}, L"Quibex.lnk", true},
        {"all-users not writable, no user's folder", all, L"", {}, L"Quibex.lnk", true},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        system.common = c.common;
        system.user = c.user;
        system.writable = c.writable;
        EXPECT_EQ(StartMenuShortcutValues(system), Expected(c.linkFile)) << c.what;
        EXPECT_EQ(system.userAsked > 0, c.userAsked) << c.what;
    }
}

TEST(SetupErrorText, NamesTheLinkTheNumberInDecimalAndHexAndTheDescription) {
    EXPECT_EQ(SetupErrorText(L"C:\\P\\Quibex.lnk", static_cast<std::int32_t>(0x80070005u), L"Access is denied."),
              L"Cannot write the shortcut 'C:\\P\\Quibex.lnk'.\n\nError -2147024891 (0x80070005): Access is denied.");

    struct Case {
        std::uint32_t error;
        std::wstring number;
    };
    const Case cases[] = {
        {0x80004005u, L"Error -2147467259 (0x80004005): "},
        {0x80000000u, L"Error -2147483648 (0x80000000): "},
        {0xFFFFFFFFu, L"Error -1 (0xFFFFFFFF): "},
        {0x0000002Au, L"Error 42 (0x0000002A): "},
    };
    for (const Case& c : cases) {
        EXPECT_THAT(SetupErrorText(L"Quibex.lnk", static_cast<std::int32_t>(c.error), L"x"),
                    ::testing::HasSubstr(c.number));
    }
}

}  // namespace
}  // namespace quibex::mdlMain
