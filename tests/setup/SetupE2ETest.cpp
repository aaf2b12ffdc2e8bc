// Quibex.exe itself, started as a user would start it: set-up mode writes the
// Start-menu shortcut without a window; without "/Setup" the main window
// comes up. The program runs in a process of its own; this one watches its
// windows, reads the link it wrote and makes folders unwritable around it.
//
// The unwritable folders need Wine: the folder behind a Windows path is made
// immutable with chattr +i, which stops root too (root ignores missing write
// bits, and the tests run as root). Each folder is noted in
// setup-e2e-locked.txt in the current folder before it is locked, so that the
// ctest clean-up can unlock it even when this program dies half-way.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "setup/WinSupport.h"
#include "tests/setup/SetupFiles.h"
#include "tests/ui/probe/Driver.h"
#include "tests/support/TestSupport.h"

namespace quibex {
namespace {

using probe::ClassOf;
using test::IsFile;
using test::Listing;
using test::LinkProperties;
using test::ReadLink;
using test::TempDir;

constexpr DWORD kSafetyNetMs = 60000;  // a run that hangs fails instead of blocking ctest
// How long the program may take to answer a question about one of its
// windows; one that hangs cannot block the test.
constexpr std::chrono::milliseconds kAnswerTimeout{5000};
constexpr char kLockJournal[] = "setup-e2e-locked.txt";

using win::Widen;
std::string Narrow(const std::wstring& text) { return win::ToAnsi(text).value_or("?"); }

std::wstring WithBackslash(std::wstring path) {
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

// ---- Wine's bridges to the Linux side ----------------------------------------

using UnixFileNameFn = char*(CDECL*)(const wchar_t*);
using DosFileNameFn = wchar_t*(CDECL*)(const char*);
using UnixSpawnFn = LONG(WINAPI*)(char* const argv[], int wait);

template <class Fn>
Fn WineExport(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(dll), name)));
}

bool UnderWine() { return WineExport<void*>(L"ntdll.dll", "wine_get_version") != nullptr; }

// The Linux path behind a Windows one; empty when there is none.
std::string UnixPathOf(const std::wstring& path) {
    const auto fn = WineExport<UnixFileNameFn>(L"kernel32.dll", "wine_get_unix_file_name");
    char* unix = fn ? fn(path.c_str()) : nullptr;
    if (!unix) return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// The build hands over the program's path as the build host names it: under
// Wine a Linux path, which becomes a drive path here.
std::wstring QuibexExePath() {
    const std::string built = QUIBEX_EXE;
    if (built.empty() || built[0] != '/') return Widen(built);
    const auto fn = WineExport<DosFileNameFn>(L"kernel32.dll", "wine_get_dos_file_name");
    wchar_t* dos = fn ? fn(built.c_str()) : nullptr;
    if (!dos) return {};
    std::wstring result = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    if (result.rfind(L"\\\\?\\", 0) == 0) result.erase(0, 4);
    return result;
}

// Runs a Linux program and waits for it; its exit status, or an NTSTATUS
// when it could not be started at all.
LONG RunUnix(std::vector<std::string> args) {
    const auto spawn = WineExport<UnixSpawnFn>(L"ntdll.dll", "__wine_unix_spawnvp");
    if (!spawn) return -1;
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return spawn(argv.data(), TRUE);
}

// A folder nobody can create files in while this lives, root included.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const std::wstring& folder) : unixPath_(UnixPathOf(folder)) {
        if (unixPath_.empty()) {
            problem_ = "no Linux path behind " + Narrow(folder);
            return;
        }
        // Noted before the lock, so that a crash cannot leave it locked unseen.
        std::ofstream(kLockJournal, std::ios::app) << unixPath_ << '\n';
        const LONG status = RunUnix({"chattr", "+i", "--", unixPath_});
        if (status == 0) {
            locked_ = true;
        } else if (status < 0) {
            char code[16];
            snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(status));
            problem_ = std::string("cannot run chattr (status 0x") + code + "); is e2fsprogs installed?";
        } else {
            problem_ = "chattr +i " + unixPath_ + " exited with " + std::to_string(status) +
                       ": this file system or user cannot make a folder immutable (overlayfs cannot; root "
                       "needs CAP_LINUX_IMMUTABLE)";
        }
    }
    ~UnwritableFolder() {
        if (locked_) {
            EXPECT_EQ(RunUnix({"chattr", "-i", "--", unixPath_}), 0) << "could not unlock " << unixPath_;
        }
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

    bool Locked() const { return locked_; }
    const std::string& Problem() const { return problem_; }

private:
    std::string unixPath_;
    std::string problem_;
    bool locked_ = false;
};

bool CanCreateFileIn(const std::wstring& folder) {
    const std::wstring probe = WithBackslash(folder) + L"quibex-e2e-probe-" + std::to_wstring(GetCurrentProcessId());
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    DeleteFileW(probe.c_str());
    return true;
}

// Wine's menu builder turns every link written into the Start menu into a
// menu entry of the Linux user running the tests. Wine reads the override
// when the process starts, so it cannot be set from here for the program.
bool MenuBuilderKeptOut() {
    wchar_t value[4096] = {};
    const DWORD n = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", value, 4096);
    if (n == 0 || n >= 4096) return false;
    std::wstring overrides = value;
    for (wchar_t& c : overrides) c = towlower(c);
    return overrides.find(L"winemenubuilder.exe=d") != std::wstring::npos;
}

// ---- Files and folders -------------------------------------------------------

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return WithBackslash(path);
}

std::optional<std::string> Contents(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ---- Running the program -----------------------------------------------------

struct SeenWindow {
    HWND window;
    std::wstring className, caption;
};

struct RunResult {
    bool ended = false;
    DWORD exitCode = STILL_ACTIVE;
    // Visible top-level windows of the program, each once, as first seen.
    std::vector<SeenWindow> shown;
    // Classes of the top-level windows it created, shown or not.
    std::vector<std::wstring> created;
};

RunResult* g_watched = nullptr;

void CALLBACK OnWindowCreated(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object != OBJID_WINDOW || !g_watched) return;
    // Helper windows (the component library's) hang below the message-only
    // root, not the desktop, and are of no interest here.
    if (GetAncestor(window, GA_PARENT) == GetDesktopWindow()) g_watched->created.push_back(ClassOf(window));
}

// Starts Quibex.exe with `arguments` in `folder` and watches it until it
// ends. `onShown` gets each visible top-level window of the program once, as
// it appears, and can close it; a program that is still running after the
// safety net is killed.
RunResult RunQuibex(const std::wstring& arguments, const std::wstring& folder,
                    const std::function<void(const SeenWindow&)>& onShown) {
    RunResult result;
    const std::wstring exe = QuibexExePath();
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Suspended, so that the window watch is in place before its first window.
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << Narrow(commandLine) << ": error " << GetLastError();
        return result;
    }
    win::FileHandle processHandle(process.hProcess), threadHandle(process.hThread);
    g_watched = &result;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnWindowCreated,
                                         process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
    EXPECT_NE(hook, nullptr);
    ResumeThread(process.hThread);

    struct Watch {
        DWORD pid;
        RunResult* result;
        std::vector<SeenWindow> fresh;

        // A named callback: a lambda does not convert to the 32-bit stdcall
        // WNDENUMPROC.
        static BOOL CALLBACK Visit(HWND window, LPARAM param) {
            auto& w = *reinterpret_cast<Watch*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid != w.pid || !IsWindowVisible(window)) return TRUE;
            const auto& shown = w.result->shown;
            if (std::none_of(shown.begin(), shown.end(), [&](const SeenWindow& s) { return s.window == window; }))
                w.fresh.push_back({window, ClassOf(window), probe::TextOf(window, kAnswerTimeout)});
            return TRUE;
        }
    } watch{process.dwProcessId, &result, {}};
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (wait == WAIT_OBJECT_0) break;

        watch.fresh.clear();
        EnumWindows(&Watch::Visit, reinterpret_cast<LPARAM>(&watch));
        for (const SeenWindow& seen : watch.fresh) {
            result.shown.push_back(seen);
            if (onShown) onShown(seen);
        }

        if (GetTickCount() - start > kSafetyNetMs) {
            ADD_FAILURE() << Narrow(commandLine) << " still runs after " << kSafetyNetMs / 1000 << " s; killed";
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
            break;
        }
    }
    // Events still under way are delivered before the watch ends.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (hook) UnhookWinEvent(hook);
    g_watched = nullptr;

    GetExitCodeProcess(process.hProcess, &result.exitCode);
    result.ended = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    return result;
}

std::string Describe(const RunResult& run) {
    std::string text = "exit code " + std::to_string(static_cast<long>(run.exitCode)) + "; shown:";
    for (const SeenWindow& s : run.shown) text += " [" + Narrow(s.className) + " '" + Narrow(s.caption) + "']";
    text += "; created:";
    for (const std::wstring& c : run.created) text += " " + Narrow(c);
    return text;
}

bool IsDialogBox(const SeenWindow& seen) { return seen.className == L"#32770"; }
bool IsMainWindow(const SeenWindow& seen) { return seen.caption == L"Quibex" && !IsDialogBox(seen); }

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
    struct Find {
        const wchar_t* className;
        std::vector<HWND> found;

        static BOOL CALLBACK Visit(HWND child, LPARAM param) {
            auto& f = *reinterpret_cast<Find*>(param);
            if (_wcsicmp(ClassOf(child).c_str(), f.className) == 0) f.found.push_back(child);
            return TRUE;
        }
    } find{className, {}};
    EnumChildWindows(parent, &Find::Visit, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// The system's description of an error number, without its line break.
std::wstring SystemDescription(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = n ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!description.empty() && wcschr(L"\r\n ", description.back())) description.pop_back();
    return description;
}

// ---- The fixture -------------------------------------------------------------

constexpr wchar_t kLinkName[] = L"Quibex.lnk";

class SetupE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (UnderWine()) {
            ASSERT_TRUE(MenuBuilderKeptOut()) << "WINEDLLOVERRIDES lacks winemenubuilder.exe=d: the links written "
                                                 "here would become menu entries of this machine";
        }
        exe_ = QuibexExePath();
        ASSERT_TRUE(IsFile(exe_)) << "no program at " << Narrow(exe_) << " (built as " << QUIBEX_EXE << ")";
        exeFolder_ = exe_.substr(0, exe_.find_last_of(L'\\') + 1);
        common_ = ShellFolder(CSIDL_COMMON_PROGRAMS);
        user_ = ShellFolder(CSIDL_PROGRAMS);
        ASSERT_FALSE(common_.empty());
        ASSERT_FALSE(user_.empty());
        ASSERT_NE(common_, user_);
        // A link of an earlier run, or of someone's own set-up in this
        // prefix, goes aside and comes back at the end.
        for (const std::wstring* folder : {&common_, &user_}) {
            const std::wstring link = *folder + kLinkName;
            if (auto bytes = Contents(link)) {
                saved_.push_back({link, *bytes});
                ASSERT_TRUE(DeleteFileW(link.c_str()));
            }
        }
        commonBefore_ = Listing(common_);
        userBefore_ = Listing(user_);
        current_ = Widen(currentDir_.Path());
    }

    void TearDown() override {
        for (const std::wstring* folder : {&common_, &user_}) DeleteFileW((*folder + kLinkName).c_str());
        for (const auto& [path, bytes] : saved_) {
            std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
        }
    }

    // Runs the program in the test's own current folder.
    RunResult Run(const std::wstring& arguments, const std::function<void(const SeenWindow&)>& onShown = {}) {
        return RunQuibex(arguments, current_, onShown);
    }

    // Set-up ended well without a window, and wrote the one link into
    // `folder`: nothing else there or anywhere else changed.
    void ExpectSilentSetupInto(const RunResult& run, const std::wstring& folder, const std::string& what) {
        EXPECT_TRUE(run.ended) << what;
        EXPECT_EQ(run.exitCode, 0u) << what << ": " << Describe(run);
        EXPECT_TRUE(run.shown.empty()) << what << ": " << Describe(run);
        EXPECT_TRUE(run.created.empty()) << what << ": " << Describe(run);

        std::set<std::wstring> common = commonBefore_, user = userBefore_;
        (folder == common_ ? common : user).insert(kLinkName);
        EXPECT_EQ(Listing(common_), common) << what;
        EXPECT_EQ(Listing(user_), user) << what;
        EXPECT_TRUE(Listing(current_).empty()) << what;
        ExpectSetupLink(folder + kLinkName, what);
    }

    void ExpectSetupLink(const std::wstring& linkFile, const std::string& what) {
        ASSERT_TRUE(IsFile(linkFile)) << what << ": no " << Narrow(linkFile);
        const LinkProperties link = ReadLink(linkFile);
        EXPECT_STRCASEEQ(link.target.c_str(), Narrow(exe_).c_str()) << what;
        EXPECT_STRCASEEQ(link.workingFolder.c_str(), Narrow(exeFolder_).c_str()) << what;
        EXPECT_EQ(link.arguments, "") << what;
        EXPECT_STRCASEEQ(link.iconFile.c_str(), Narrow(exe_).c_str()) << what;
        EXPECT_EQ(link.iconIndex, 0) << what;
        EXPECT_EQ(link.showCommand, SW_SHOW) << what;
        EXPECT_EQ(link.description, "Olvek Quibex") << what;
    }

    void ExpectNoLinkAnywhere(const std::string& what) {
        EXPECT_EQ(Listing(common_), commonBefore_) << what;
        EXPECT_EQ(Listing(user_), userBefore_) << what;
        EXPECT_TRUE(Listing(current_).empty()) << what;
    }

    void ForgetLinks() {
        for (const std::wstring* folder : {&common_, &user_}) DeleteFileW((*folder + kLinkName).c_str());
    }

    win::ComApartment apartment_{COINIT_APARTMENTTHREADED};
    std::wstring exe_, exeFolder_, common_, user_, current_;
    std::set<std::wstring> commonBefore_, userBefore_;
    std::vector<std::pair<std::wstring, std::string>> saved_;
    TempDir currentDir_;
};

// Any spelling of "/Setup" after a slash, with or without a value, and with
// other text in front: the link goes into the all-users folder (writable for
// this user) and the program ends without a window.
TEST_F(SetupE2E, SetupParameterWritesTheLinkWithoutAWindow) {
    for (const wchar_t* arguments : {L"/Setup", L"/setup:x", L"/SETUP=1", L"Project1.vbp /setup"}) {
        const std::string what = Narrow(arguments);
        ExpectSilentSetupInto(Run(arguments), common_, what);
        ForgetLinks();
    }
}

// A second set-up writes the same link again, without a question.
TEST_F(SetupE2E, SetupAgainReplacesTheLink) {
    ExpectSilentSetupInto(Run(L"/Setup"), common_, "first");
    const std::wstring link = common_ + kLinkName;
    std::ofstream(std::filesystem::path(link), std::ios::binary | std::ios::trunc) << "not a link";
    ExpectSilentSetupInto(Run(L"/Setup"), common_, "second");
}

// Without a slash "Setup" is just a word: the main window comes up, with an
// empty list even when a project file is named, and a close request ends
// the program. Nothing is written.
TEST_F(SetupE2E, WithoutASlashTheMainWindowComesUp) {
    currentDir_.Write("Project1.vbp", "Type=Exe\r\nForm=Form1.frm\r\nName=\"Project1\"\r\n");
    currentDir_.Write("Form1.frm",
                      "VERSION 5.00\r\nAttribute VB_Name = \"Form1\"\r\nPrivate Sub Form_Load()\r\nEnd Sub\r\n");
    const std::set<std::wstring> project = Listing(current_);

    for (const wchar_t* arguments : {L"", L"Setup", L"-setup", L"Project1.vbp"}) {
        const std::string what = "'" + Narrow(arguments) + "'";
        int mainWindows = 0;
        LRESULT listCount = -1;
        const RunResult run = Run(arguments, [&](const SeenWindow& seen) {
            if (!IsMainWindow(seen)) return;
            ++mainWindows;
            const std::vector<HWND> lists = ChildrenOfClass(seen.window, L"ListBox");
            if (lists.size() == 1) {
                DWORD_PTR count = 0;
                if (SendMessageTimeoutW(lists[0], LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count))
                    listCount = static_cast<LRESULT>(count);
            }
            PostMessageW(seen.window, WM_CLOSE, 0, 0);
        });
        EXPECT_TRUE(run.ended) << what;
        EXPECT_EQ(run.exitCode, 0u) << what << ": " << Describe(run);
        // The window watch sees what it should (the set-up tests count on it).
        EXPECT_FALSE(run.created.empty()) << what;
        EXPECT_EQ(mainWindows, 1) << what << ": " << Describe(run);
        EXPECT_EQ(listCount, 0) << what << ": the list should be empty";
        EXPECT_TRUE(std::none_of(run.shown.begin(), run.shown.end(), IsDialogBox)) << what << ": " << Describe(run);
        EXPECT_EQ(Listing(common_), commonBefore_) << what;
        EXPECT_EQ(Listing(user_), userBefore_) << what;
        EXPECT_EQ(Listing(current_), project) << what;
    }
}

// ---- Folders that cannot be written ------------------------------------------

class SetupE2EUnwritable : public SetupE2E {
protected:
    void SetUp() override {
        if (!UnderWine()) GTEST_SKIP() << "folders are made unwritable through Wine's Linux side";
        SetupE2E::SetUp();
    }
};

TEST_F(SetupE2EUnwritable, AllUsersFolderUnwritableGivesTheUsersFolder) {
    std::optional<UnwritableFolder> common;
    common.emplace(common_);
    if (!common->Locked()) GTEST_SKIP() << common->Problem();
    ASSERT_FALSE(CanCreateFileIn(common_)) << "chattr +i reported success, yet the folder still takes new files";

    ExpectSilentSetupInto(Run(L"/Setup"), user_, "all-users folder unwritable");
}

TEST_F(SetupE2EUnwritable, BothFoldersUnwritableShowOneErrorBox) {
    std::optional<UnwritableFolder> common, user;
    common.emplace(common_);
    if (!common->Locked()) GTEST_SKIP() << common->Problem();
    user.emplace(user_);
    if (!user->Locked()) GTEST_SKIP() << user->Problem();
    ASSERT_FALSE(CanCreateFileIn(common_));
    ASSERT_FALSE(CanCreateFileIn(user_));

    std::vector<SeenWindow> boxes;
    std::wstring boxText;
    const RunResult run = Run(L"/Setup", [&](const SeenWindow& seen) {
        if (!IsDialogBox(seen)) return;
        boxes.push_back(seen);
        for (HWND label : ChildrenOfClass(seen.window, L"Static")) boxText += probe::TextOf(label, kAnswerTimeout);
        // As a click on its OK button.
        PostMessageW(seen.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(seen.window, IDOK)));
    });

    EXPECT_TRUE(run.ended);
    EXPECT_NE(run.exitCode, 0u) << Describe(run);
    ASSERT_EQ(boxes.size(), 1u) << Describe(run);
    EXPECT_EQ(boxes[0].caption, L"Quibex");
    EXPECT_EQ(run.shown.size(), 1u) << "only the error box: " << Describe(run);

    // The box names the error, as a number and in the system's words. The
    // program's exit code is that error.
    const DWORD error = run.exitCode;
    wchar_t hex[16];
    swprintf(hex, 16, L"%08X", static_cast<unsigned>(error));
    const bool namesNumber =
        boxText.find(std::to_wstring(static_cast<long>(static_cast<LONG>(error)))) != std::wstring::npos ||
        boxText.find(hex) != std::wstring::npos;
    EXPECT_TRUE(namesNumber) << Narrow(boxText) << " lacks the error number " << Narrow(hex);
    const std::wstring description = SystemDescription(error);
    ASSERT_FALSE(description.empty()) << "the system has no words for " << Narrow(hex);
    EXPECT_NE(boxText.find(description), std::wstring::npos)
        << Narrow(boxText) << " lacks '" << Narrow(description) << "'";

    common.reset();
    user.reset();
    ExpectNoLinkAnywhere("both folders unwritable");
}

}  // namespace
}  // namespace quibex
