#pragma once
// mdlShellLnk: writes a shell link (.lnk) through the shell's link object.

#ifdef _WIN32

#include <windows.h>

#include <cstdint>
#include <string>

namespace quibex::mdlShellLnk {

// Writes the link file `linkFile` that starts `target`. Empty strings leave
// their property unset (`iconIndex` goes with `iconFile`); the show command
// is always set and the hot key never. The component object library must be
// initialised on this thread. Returns the first failure of the link object,
// in which case no link file has been written, or S_OK.
//
// The link's text properties pass through the ANSI link interface; a string
// without a form in the system code page fails with
// HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION) rather than naming
// another file. `linkFile` itself is used as UTF-16.
HRESULT CreateShortcut(const std::wstring& linkFile, const std::wstring& target, const std::wstring& workingFolder,
                       const std::wstring& arguments, const std::wstring& iconFile, std::int32_t iconIndex,
                       std::int32_t showCommand, const std::wstring& description);

}  // namespace quibex::mdlShellLnk

#endif
