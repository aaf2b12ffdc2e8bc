#include "tests/ui/probe/Driver.h"

#include <thread>

#include "ui/resource.h"

namespace quibex::probe {

namespace {

struct Search {
    DWORD process;
    const std::wstring* className;
    HWND owner;
    HWND found;
};

// A named callback of the system's own calling convention (stdcall on
// 32-bit), which a lambda would not convert to.
BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if ((s->process && pid != s->process) || !IsWindowVisible(hwnd) || ClassOf(hwnd) != *s->className) return TRUE;
    if (s->owner && GetWindow(hwnd, GW_OWNER) != s->owner) return TRUE;
    s->found = hwnd;
    return FALSE;
}

}  // namespace

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};  // the longest class name there can be
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::wstring TextOf(HWND hwnd, std::chrono::milliseconds timeout) {
    const UINT ms = static_cast<UINT>(timeout.count());
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, ms, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, ms,
                        &copied);
    text.resize(copied);  // nothing when the second answer does not come either
    return text;
}

HWND FindTopLevel(DWORD process, const std::wstring& className, HWND owner) {
    Search search{process, &className, owner, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout, const char* what,
               std::chrono::milliseconds poll) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return;
        if (std::chrono::steady_clock::now() > end) throw Failure(std::string("timed out waiting for ") + what);
        std::this_thread::sleep_for(poll);
    }
}

HWND WaitFor(const std::function<HWND()>& find, std::chrono::milliseconds timeout, const char* what,
             std::chrono::milliseconds poll) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = find()) != nullptr; }, timeout, what, poll);
    return found;
}

Program Start(const std::string& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + Widen(exe) + L"\"";
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        throw Failure("cannot start '" + exe + "': error " + std::to_string(GetLastError()));
    }
    CloseHandle(info.hThread);
    Program program;
    program.process.Reset(info.hProcess);
    program.pid = info.dwProcessId;
    return program;
}

HWND WaitForMainWindow(DWORD pid, std::chrono::milliseconds timeout, std::chrono::milliseconds poll) {
    return WaitFor([&] { return FindTopLevel(pid, L"Quibex.frmMain"); }, timeout, "the main window", poll);
}

HWND FillOpenDialog(DWORD pid, HWND main, const std::wstring& file, std::chrono::milliseconds timeout,
                    std::chrono::milliseconds poll) {
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_FILEOPEN, 0), 0);
    HWND dialog = WaitFor([&] { return FindTopLevel(pid, L"#32770", main); }, timeout, "the open dialog", poll);
    // The file-name box: a combo box in the Explorer-style dialog, an edit
    // box in the old one.
    HWND nameBox = GetDlgItem(dialog, 0x47C);
    if (!nameBox) nameBox = GetDlgItem(dialog, 0x480);
    if (!nameBox) throw Failure("the open dialog has no file-name box");
    SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    return dialog;
}

void AcceptOpenDialog(HWND dialog, std::chrono::milliseconds timeout, std::chrono::milliseconds poll) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    WaitUntil([&] { return !IsWindow(dialog); }, timeout, "the open dialog to accept the file (does it exist?)", poll);
}

void CloseAndWait(HWND main, HANDLE process, std::chrono::milliseconds timeout) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        throw Failure("the program did not end after its close request");
    }
}

}  // namespace quibex::probe
