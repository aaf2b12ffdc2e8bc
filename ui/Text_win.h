#pragma once
// The engine's strings are text in the system's ANSI code page; the windows
// speak UTF-16. These convert between the two.

#include "ui/Win32.h"

#include "engine/WideText_win.h"

#include <string>
#include <string_view>

namespace quibex {

using win::Narrow;
using win::Widen;

// A window's text, as ANSI text.
std::string WindowTextOf(HWND hwnd);
void SetWindowTextTo(HWND hwnd, std::string_view ansi);

}  // namespace quibex
