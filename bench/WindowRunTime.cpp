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
#include <sstream>
#include <string>
#include <vector>

#include "engine/Display.h"
#include "tests/ui/probe/Driver.h"
#include "ui/ControlIds.h"
#include "ui/resource.h"

namespace {

using namespace std::chrono_literals;
using namespace quibex::probe;
using Clock = std::chrono::steady_clock;

constexpr auto kStartTimeout = 60s;
constexpr auto kRunTimeout = 900s;
constexpr auto kEndTimeout = 30s;
constexpr auto kPoll = 20ms;

// One File > Open of `file`; returns the seconds from OK to the run's end.
double TimedRun(DWORD pid, HWND main, const std::wstring& file) {
    HWND dialog = FillOpenDialog(pid, main, file, kStartTimeout, kPoll);
    const auto start = Clock::now();
    AcceptOpenDialog(dialog, kStartTimeout, 1ms);
    // The processing window stands from the run's start to its end; between
    // the dialog's end and the run's start the main window looks as it does
    // after the run, so the run is over only once that window has been seen
    // and is gone again. Polled from here, without a message to the program,
    // whose thread serves nothing but the run meanwhile.
    bool seenRunning = false;
    WaitUntil(
        [&] {
            const bool running = FindTopLevel(pid, L"Quibex.frmProcess") != nullptr;
            seenRunning = seenRunning || running;
            return seenRunning && !running && IsWindowEnabled(main);
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
    const Program program = Start(exe);
    try {
        HWND main = WaitForMainWindow(program.pid, kStartTimeout, kPoll);
        std::ostringstream out;
        const std::wstring wideFile = Widen(file);
        for (int i = 0; i < runs; ++i) out << "run " << TimedRun(program.pid, main, wideFile) << "\n";
        out << Figures(main);

        CloseAndWait(main, program.process.Get(), kEndTimeout);
        // Written only now, so that a file there means every run finished.
        std::ofstream result(outPath, std::ios::binary);
        result << out.str();
        if (!result.flush()) throw Failure("cannot write '" + outPath + "'");
        return 0;
    } catch (...) {
        TerminateProcess(program.process.Get(), 1);
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
