#pragma once
// <windows.h> for the window code. winbase.h still defines the 16-bit
// Yield() as a macro, which would swallow IRunObserver::Yield.

#include <windows.h>

#ifdef Yield
#undef Yield
#endif
