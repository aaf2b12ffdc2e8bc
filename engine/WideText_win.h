#pragma once
// Text between a code page (the system's ANSI code page unless one is named)
// and the UTF-16 of the wide-character Win32 API. Project files, the engine
// and the windows' labels hold ANSI text; the system calls take UTF-16.

#include <windows.h>

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace quibex::win {

// Empty for empty text, for text too long for the call, and for text the
// call cannot convert.
inline std::wstring Widen(std::string_view text, UINT codePage = CP_ACP) {
    if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
    return wide;
}

// A character with no form in the code page becomes the code page's default
// character, as the system writes it.
inline std::string Narrow(std::wstring_view wide, UINT codePage = CP_ACP) {
    if (wide.empty() || wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
    return text;
}

}  // namespace quibex::win
