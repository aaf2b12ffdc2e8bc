// The set-up modules against the real shell, registry and file system.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "setup/WinSupport.h"
#include "setup/mdlInstall_win.h"
#include "setup/mdlParam.h"
#include "setup/mdlPath.h"
#include "setup/mdlShellLnk.h"
#include "tests/setup/SetupFiles.h"
#include "tests/support/TestSupport.h"

namespace quibex {
namespace {

using test::IsFile;
using test::IsFolder;
using test::Listing;
using test::LinkProperties;
using test::ReadLink;
using test::TempDir;

using win::Widen;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each test gets the component object library, as the program's thread has it.
class SetupWin : public ::testing::Test {
protected:
    win::ComApartment apartment_{COINIT_APARTMENTTHREADED};
};

// ---- Special folders -------------------------------------------------------

TEST_F(SetupWin, ProgramsFoldersAreExistingFoldersEndingInABackslash) {
    for (const std::wstring& folder : {mdlPath::CommonProgramsFolder(), mdlPath::UserProgramsFolder()}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(folder.back(), L'\\') << ::testing::PrintToString(folder);
        EXPECT_NE(folder.substr(folder.size() - 2), L"\\\\") << ::testing::PrintToString(folder);
        EXPECT_TRUE(IsFolder(folder)) << ::testing::PrintToString(folder);
    }
    EXPECT_NE(mdlPath::CommonProgramsFolder(), mdlPath::UserProgramsFolder());
}

// The user's folder falls back on a registry value; this reads values of a
// key of the test's own.
TEST_F(SetupWin, RegistryFolderReadsStringValuesThatFit) {
    const std::wstring subKey = L"Software\\Quibex setup tests " + std::to_wstring(GetCurrentProcessId());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    auto setString = [&](const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
        RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    setString(L"Plain", L"C:\\Menu\\Programs");
    setString(L"Ended", L"C:\\Menu\\Programs\\");
    setString(L"Expand", L"C:\\Menu\\Programs", REG_EXPAND_SZ);
    setString(L"Empty", L"");
    setString(L"Long", L"C:\\" + std::wstring(300, L'x'));
    const DWORD number = 0x5C3A43;  // the bytes of "C:\" as a number
    RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);

    struct Case {
        std::wstring subKey;
        std::wstring value;
        std::wstring expected;
    };
    const Case cases[] = {
        {subKey, L"Plain", L"C:\\Menu\\Programs\\"},
        {subKey, L"Ended", L"C:\\Menu\\Programs\\"},
        {subKey, L"Expand", L"C:\\Menu\\Programs\\"},
        {subKey, L"Empty", L""},
        {subKey, L"Long", L""},
        {subKey, L"Number", L""},
        {subKey, L"Missing", L""},
        {subKey + L"\\Missing", L"Plain", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mdlPath::RegistryFolder(c.subKey, c.value), c.expected) << ::testing::PrintToString(c.value);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, subKey.c_str());
}

// ---- Writable test ---------------------------------------------------------

TEST_F(SetupWin, WritableFolderIsTrueAndLeavesNothingBehind) {
    TempDir dir;
    const std::wstring folder = Widen(dir.Path());
    EXPECT_TRUE(mdlPath::IsFolderWritable(folder));
    EXPECT_TRUE(mdlPath::IsFolderWritable(folder + L"\\"));
    EXPECT_TRUE(Listing(folder).empty());
}

TEST_F(SetupWin, WritableIsFalseWhereNoFileCanBeMade) {
    TempDir dir;
    const std::string file = dir.Write("plain.txt", "not a folder");
    struct Case {
        const char* what;
        std::wstring folder;
    };
    const Case cases[] = {
        {"empty", L""},
        {"missing folder", Widen(dir.Join("missing"))},
        {"a file", Widen(file)},
    };
    for (const Case& c : cases) EXPECT_FALSE(mdlPath::IsFolderWritable(c.folder)) << c.what;
    EXPECT_EQ(Listing(Widen(dir.Path())), std::set<std::wstring>{L"plain.txt"});
    EXPECT_EQ(Contents(file), "not a folder");
}

// Puts a file holding "keep" under each of the next `count` names of `names`
// into `dir`; returns the names.
std::set<std::wstring> Occupy(const TempDir& dir, mdlPath::TestFileNames& names, int count) {
    std::set<std::wstring> taken;
    for (int i = 0; i < count; ++i) {
        const std::wstring name = names.Next();
        if (taken.insert(name).second) dir.Write(win::ToAnsi(name).value(), "keep");
    }
    return taken;
}

// `dir` holds exactly `kept`, each file still with its "keep".
void ExpectKept(const TempDir& dir, const std::set<std::wstring>& kept) {
    EXPECT_EQ(Listing(Widen(dir.Path())), kept);
    for (const std::wstring& name : kept) {
        const std::string path = dir.Join(win::ToAnsi(name).value());
        if (IsFile(Widen(path))) {
            EXPECT_EQ(Contents(path), "keep") << path;
        }
    }
}

// Files (and a folder) under the names the test would try first stay as they
// are: it goes on to a free name, or answers false when it runs out of them.
TEST_F(SetupWin, WritableNeverTouchesWhatHasTheSameName) {
    const std::uint32_t seed = 43210;
    for (int occupied : {1, 3, mdlPath::kTestFileAttempts}) {
        TempDir dir;
        mdlPath::TestFileNames taken(seed);
        std::set<std::wstring> kept = Occupy(dir, taken, occupied);
        const std::wstring folderName = taken.Next();
        ASSERT_TRUE(CreateDirectoryW((Widen(dir.Path()) + L"\\" + folderName).c_str(), nullptr));
        kept.insert(folderName);

        mdlPath::TestFileNames names(seed);
        EXPECT_EQ(mdlPath::IsFolderWritable(Widen(dir.Path()), names), occupied < mdlPath::kTestFileAttempts)
            << occupied << " names taken";
        ExpectKept(dir, kept);
    }
}

// The time-seeded form: files with the first names of the seconds around now stay.
TEST_F(SetupWin, WritableOnTheClockKeepsFilesOfTheLikelyNames) {
    TempDir dir;
    const std::uint32_t now = mdlPath::SecondsSinceMidnight();
    std::set<std::wstring> kept;
    for (std::uint32_t seed = now; seed <= now + 3; ++seed) {
        mdlPath::TestFileNames names(seed);
        kept.merge(Occupy(dir, names, 2));
    }
    EXPECT_TRUE(mdlPath::IsFolderWritable(Widen(dir.Path())));
    ExpectKept(dir, kept);
}

// ---- Own location ----------------------------------------------------------

TEST_F(SetupWin, ExePathIsThisProgramInExeFolder) {
    const std::wstring path = mdlParam::ExePath();
    const std::wstring folder = mdlParam::ExeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_EQ(path.substr(0, folder.size()), folder);
    EXPECT_EQ(mdlParam::LowerCase(path.substr(folder.size())), L"setup_win_tests.exe");
    EXPECT_TRUE(IsFile(path));
    EXPECT_TRUE(IsFolder(folder));
}

// ---- Shortcut --------------------------------------------------------------

std::string Narrow(const std::wstring& text) { return win::ToAnsi(text).value_or("?"); }

void ExpectLink(const std::wstring& linkFile, const mdlMain::ShortcutValues& v, const char* what) {
    ASSERT_TRUE(IsFile(linkFile)) << what;
    const LinkProperties p = ReadLink(linkFile);
    EXPECT_STRCASEEQ(p.target.c_str(), Narrow(v.target).c_str()) << what;
    EXPECT_EQ(p.workingFolder, Narrow(v.workingFolder)) << what;
    EXPECT_EQ(p.arguments, Narrow(v.arguments)) << what;
    // Without an icon of its own the link object may name the target's.
    if (!v.iconFile.empty()) {
        EXPECT_EQ(p.iconFile, Narrow(v.iconFile)) << what;
        EXPECT_EQ(p.iconIndex, v.iconIndex) << what;
    }
    EXPECT_EQ(p.showCommand, v.showCommand) << what;
    EXPECT_EQ(p.description, Narrow(v.description)) << what;
}

HRESULT Create(const mdlMain::ShortcutValues& v) {
    return mdlShellLnk::CreateShortcut(v.linkFile, v.target, v.workingFolder, v.arguments, v.iconFile, v.iconIndex,
                                       v.showCommand, v.description);
}

TEST_F(SetupWin, CreateShortcutWritesALinkThatReadsBack) {
    TempDir dir;
    const std::wstring exe = mdlParam::ExePath();
    const std::wstring exeFolder = mdlParam::ExeFolder();
    struct Case {
        const char* what;
        mdlMain::ShortcutValues values;
    };
    const Case cases[] = {
        {"every property",
         {Widen(dir.Join("full.lnk")), exe, exeFolder, L"/x \"y z\"", exe, 2, SW_SHOWMINNOACTIVE, L"Olvek Quibex"}},
        {"set-up's values", {Widen(dir.Join("Quibex.lnk")), exe, exeFolder, L"", exe, 0, SW_SHOW, L"Olvek Quibex"}},
        {"only the target", {Widen(dir.Join("bare.lnk")), exe, L"", L"", L"", 7, SW_SHOWMAXIMIZED, L""}},
    };
    for (const Case& c : cases) {
        EXPECT_HRESULT_SUCCEEDED(Create(c.values)) << c.what;
        ExpectLink(c.values.linkFile, c.values, c.what);
    }
    // Writing the same link again replaces it without a question.
    mdlMain::ShortcutValues again = cases[1].values;
    again.description = L"Second";
    EXPECT_HRESULT_SUCCEEDED(Create(again));
    ExpectLink(again.linkFile, again, "written again");
}

TEST_F(SetupWin, CreateShortcutFailsWithoutWritingWhenTheFolderIsMissing) {
    TempDir dir;
    const std::wstring exe = mdlParam::ExePath();
    const std::wstring link = Widen(dir.Join("missing")) + L"\\Quibex.lnk";
    EXPECT_TRUE(FAILED(mdlShellLnk::CreateShortcut(link, exe, L"", L"", L"", 0, SW_SHOW, L"")));
    EXPECT_TRUE(Listing(Widen(dir.Path())).empty());
}

TEST_F(SetupWin, CreateShortcutRefusesTextWithoutAnAnsiForm) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "every character has a form in UTF-8";
    TempDir dir;
    const std::wstring link = Widen(dir.Join("Quibex.lnk"));
    // A Gothic letter, outside every ANSI code page but UTF-8.
    const std::wstring description = L"Quibex \U00010330";
    EXPECT_EQ(mdlShellLnk::CreateShortcut(link, mdlParam::ExePath(), L"", L"", L"", 0, SW_SHOW, description),
              HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_TRUE(Listing(Widen(dir.Path())).empty());
}

// ---- Installing ------------------------------------------------------------

// The real program's location, with folders and writability set by the test.
class TestSystem : public mdlMain::ISetupSystem {
public:
    std::wstring common, user;
    bool commonWritable = false;

    std::wstring CommonProgramsFolder() override { return common; }
    std::wstring UserProgramsFolder() override { return user; }
    bool IsFolderWritable(const std::wstring& folder) override { return commonWritable && folder == common; }
    std::wstring ExePath() override { return mdlParam::ExePath(); }
    std::wstring ExeFolder() override { return mdlParam::ExeFolder(); }
};

mdlMain::ShortcutValues SetUpValues(const std::wstring& linkFile) {
    return {linkFile, mdlParam::ExePath(), mdlParam::ExeFolder(), L"", mdlParam::ExePath(), 0, 5, L"Olvek Quibex"};
}

TEST_F(SetupWin, InstallShortcutWritesIntoTheChosenFolder) {
    struct Case {
        const char* what;
        bool commonKnown, commonWritable, userKnown;
        int expectedIn;  // 0: all-users folder, 1: user's folder, 2: current folder
    };
    const Case cases[] = {
        {"all-users folder writable", true, true, true, 0},
        {"all-users folder not writable", true, false, true, 1},
        {"no all-users folder", false, false, true, 1},
        {"neither folder known", false, false, false, 2},
    };
    for (const Case& c : cases) {
        TempDir common, user, current;
        test::CurrentDirGuard restore;
        ASSERT_TRUE(SetCurrentDirectoryW(Widen(current.Path()).c_str()));
        TestSystem system;
        system.common = c.commonKnown ? Widen(common.Path()) + L"\\" : L"";
        system.user = c.userKnown ? Widen(user.Path()) + L"\\" : L"";
        system.commonWritable = c.commonWritable;

        EXPECT_HRESULT_SUCCEEDED(mdlMain::InstallShortcut(system)) << c.what;

        const std::string* folders[] = {&common.Path(), &user.Path(), &current.Path()};
        for (int i = 0; i < 3; ++i) {
            const std::wstring folder = Widen(*folders[i]);
            if (i == c.expectedIn) {
                EXPECT_EQ(Listing(folder), std::set<std::wstring>{L"Quibex.lnk"}) << c.what;
                ExpectLink(folder + L"\\Quibex.lnk", SetUpValues(L""), c.what);
            } else {
                EXPECT_TRUE(Listing(folder).empty()) << c.what << ": folder " << i;
            }
        }
    }
}

TEST_F(SetupWin, InstallShortcutFailsWhenTheChosenFolderCannotTakeTheLink) {
    TempDir common, user;
    TestSystem system;
    system.common = Widen(common.Path()) + L"\\";
    system.user = Widen(user.Path()) + L"\\missing\\";
    EXPECT_TRUE(FAILED(mdlMain::InstallShortcut(system)));
    EXPECT_TRUE(Listing(Widen(common.Path())).empty());
    EXPECT_TRUE(Listing(Widen(user.Path())).empty());
}

TEST_F(SetupWin, SystemSetupPointsTheLinkAtThisProgram) {
    mdlMain::SystemSetup system;
    const mdlMain::ShortcutValues values = mdlMain::StartMenuShortcutValues(system);
    // Only worked out here: writing it would change this machine's Start menu.
    EXPECT_EQ(values, SetUpValues(mdlPath::CommonProgramsFolder() + L"Quibex.lnk"));
}

TEST_F(SetupWin, ErrorDescriptionGivesTheSystemsText) {
    for (HRESULT error : {E_ACCESSDENIED, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), E_OUTOFMEMORY}) {
        const std::wstring text = mdlMain::ErrorDescription(error);
        EXPECT_NE(text, L"Unknown error") << std::hex << error;
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.back(), L'\n');
        EXPECT_NE(text.back(), L'\r');
    }
}

}  // namespace
}  // namespace quibex
