#pragma once
// Driving the real Quibex.exe from another process, as quibex-probe and the
// bench's WindowRunTime do: starting it, finding its windows, reading their
// text and choosing a file through File > Open. Windows only. A step that
// does not happen in time throws Failure.

#include "ui/Win32.h"

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/WideText_win.h"
#include "ui/Handles.h"

namespace quibex::probe {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using win::Narrow;
using win::Widen;
// UTF-16 as UTF-8, for the probe's JSON.
inline std::string Utf8(std::wstring_view wide) { return Narrow(wide, CP_UTF8); }

std::wstring ClassOf(HWND hwnd);

// Window text through WM_GETTEXT, which the system carries across processes.
// Empty when the window's thread hangs or does not answer within `timeout`.
std::wstring TextOf(HWND hwnd, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A visible top-level window of `process` (any process for 0) whose class is
// `className`, owned by `owner` when one is given; null when there is none.
HWND FindTopLevel(DWORD process, const std::wstring& className, HWND owner = nullptr);

// Asks `done` every `poll` until it answers true; throws "timed out waiting
// for `what`" once `timeout` has passed.
void WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout, const char* what,
               std::chrono::milliseconds poll);
// The same for a window: returns the first one `find` gives.
HWND WaitFor(const std::function<HWND()>& find, std::chrono::milliseconds timeout, const char* what,
             std::chrono::milliseconds poll);

// A started program: its process and id.
struct Program {
    UniqueKernelHandle process;
    DWORD pid = 0;
};

// Starts `exe` without arguments; does not wait for it.
Program Start(const std::string& exe);

// The program's main window, once it is shown.
HWND WaitForMainWindow(DWORD pid, std::chrono::milliseconds timeout, std::chrono::milliseconds poll);

// Sends File > Open, as the menu does, waits for the open dialog and puts
// `file` into its file-name box; returns the dialog, its OK not yet pressed.
HWND FillOpenDialog(DWORD pid, HWND main, const std::wstring& file, std::chrono::milliseconds timeout,
                    std::chrono::milliseconds poll);

// Presses the open dialog's OK and waits until the dialog is gone, that is
// until it has taken the file.
void AcceptOpenDialog(HWND dialog, std::chrono::milliseconds timeout, std::chrono::milliseconds poll);

// Asks the main window to close and waits for the process to end; ends it
// and throws when it is still running after `timeout`.
void CloseAndWait(HWND main, HANDLE process, std::chrono::milliseconds timeout);

}  // namespace quibex::probe
