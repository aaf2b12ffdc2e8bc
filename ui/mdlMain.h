#pragma once
// mdlMain: the program's start-up and its end.

#include "ui/Win32.h"

namespace quibex::mdlMain {

// The start-up procedure: chooses the mode, shows the main window and runs
// the message loop. Returns the process's exit code.
int Main(int showCommand);

// Serves messages until WM_QUIT, with the main window's accelerators.
int RunMessageLoop(HWND main, HACCEL accelerators);

// Ends the program at once, from any state, in a run's yield too.
[[noreturn]] void EndProgram();

}  // namespace quibex::mdlMain
