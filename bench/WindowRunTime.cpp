// Times the real Quibex.exe's analysis run from outside, for scripts/bench.
//
//   WindowRunTime open FILE --exe QUIBEX.EXE --runs N --out RESULT
//       Starts the program once and opens FILE N times through File > Open
//       in the real open dialog. Each run is timed from the moment the
//       dialog's OK is pressed until the main window is enabled again and the
//       processing window is gone, so neither Wine's start-up nor the dialog
//       counts. RESULT gets one "run SECONDS" line per run, then "entries N"
//       and the value labels after the last run as "Name": "text" lines,
//       the way the reporter's JSON writes them. The program is closed at
//       the end. A run must last long enough for its processing window to
//       be seen, a few milliseconds; the bench's project takes seconds.
//   WindowRunTime noop
//       Ends at once: a process start under Wine, to subtract from the times
//       of whole console programs.
//
// The program is only observed, never told it is being timed: no switch, no
// environment variable, nothing in the product knows about this tool.
#include "ui/Win32.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/Display.h"
#include "ui/ControlIds.h"
#include "ui/resource.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kStartTimeout = 60s;
constexpr auto kRunTimeout = 900s;
constexpr auto kEndTimeout = 30s;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::wstring Wide(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        10000, &copied);
    text.resize(copied);
    return text;
}

struct Search {
    DWORD process;
    const wchar_t* className;
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    if (pid != s->process || !IsWindowVisible(hwnd) || std::wstring_view(name) != s->className) return TRUE;
    if (s->owner && GetWindow(hwnd, GW_OWNER) != s->owner) return TRUE;
    s->found = hwnd;
    return FALSE;
}

HWND FindTopLevel(DWORD process, const wchar_t* className, HWND owner = nullptr) {
    Search search{process, className, owner, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <class Duration>
HWND WaitFor(const std::function<HWND()>& find, Duration timeout, const char* what,
             std::chrono::milliseconds poll = 20ms) {
    const auto end = Clock::now() + timeout;
    for (;;) {
        if (HWND found = find()) return found;
        if (Clock::now() > end) throw Failure(std::string("timed out waiting for ") + what);
        std::this_thread::sleep_for(poll);
    }
}

// One File > Open of `file`; returns the seconds from OK to the run's end.
double TimedRun(DWORD pid, HWND main, const std::wstring& file) {
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_FILEOPEN, 0), 0);
    HWND dialog = WaitFor([&] { return FindTopLevel(pid, L"#32770", main); }, kStartTimeout, "the open dialog");
    HWND nameBox = GetDlgItem(dialog, 0x47C);  // Explorer-style dialog: a combo box
    if (!nameBox) nameBox = GetDlgItem(dialog, 0x480);
    if (!nameBox) throw Failure("the open dialog has no file-name box");
    SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));

    const auto start = Clock::now();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    WaitFor([&] { return IsWindow(dialog) ? nullptr : main; }, kStartTimeout,
            "the open dialog to accept the file (does it exist?)", 1ms);
    // The processing window stands from the run's start to its end; between
    // the dialog's end and the run's start the main window looks as it does
    // after the run, so the run is over only once that window has been seen
    // and is gone again. Polled from here, without a message to the program,
    // whose thread serves nothing but the run meanwhile.
    bool seenRunning = false;
    WaitFor(
        [&]() -> HWND {
            const bool running = FindTopLevel(pid, L"Quibex.frmProcess") != nullptr;
            seenRunning = seenRunning || running;
            return seenRunning && !running && IsWindowEnabled(main) ? main : nullptr;
        },
        kRunTimeout, "the run to end", 5ms);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Figures(HWND main) {
    std::ostringstream out;
    HWND list = GetDlgItem(main, IDC_LISTITEM);
    out << "entries " << SendMessageW(list, LB_GETCOUNT, 0, 0) << "\n";
    for (quibex::Label label : quibex::AllLabels()) {
        HWND value = GetDlgItem(main, quibex::ValueLabelId(label));
        out << JsonText(std::string(quibex::LabelName(label))) << ": " << JsonText(Narrow(TextOf(value))) << "\n";
    }
    return out.str();
}

int Open(const std::string& file, const std::string& exe, int runs, const std::string& outPath) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + Wide(exe) + L"\"";
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        throw Failure("cannot start '" + exe + "': error " + std::to_string(GetLastError()));
    }
    CloseHandle(info.hThread);
    try {
        HWND main = WaitFor([&] { return FindTopLevel(info.dwProcessId, L"Quibex.frmMain"); }, kStartTimeout,
                            "the main window");
        std::ostringstream out;
        const std::wstring wideFile = Wide(file);
        for (int i = 0; i < runs; ++i) out << "run " << TimedRun(info.dwProcessId, main, wideFile) << "\n";
        out << Figures(main);

        PostMessageW(main, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(std::chrono::milliseconds(kEndTimeout).count())) !=
            WAIT_OBJECT_0) {
            throw Failure("the program did not end after its close request");
        }
        CloseHandle(info.hProcess);
        // Written only now, so that a file there means every run finished.
        std::ofstream result(outPath, std::ios::binary);
        result << out.str();
        if (!result.flush()) throw Failure("cannot write '" + outPath + "'");
        return 0;
    } catch (...) {
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        throw;
    }
}

int Usage() {
    std::fputs("usage: WindowRunTime open FILE --exe QUIBEX.EXE --runs N --out RESULT\n"
               "       WindowRunTime noop\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 1 && args[0] == "noop") return 0;
        if (args.size() == 8 && args[0] == "open" && args[2] == "--exe" && args[4] == "--runs" &&
            args[6] == "--out") {
            const int runs = std::stoi(args[5]);
            if (runs < 1) return Usage();
            return Open(args[1], args[3], runs, args[7]);
        }
        return Usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "WindowRunTime: %s\n", e.what());
        return 1;
    }
}
