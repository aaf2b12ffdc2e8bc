#pragma once
// The system's own words for an error code, as every Win32 part of the
// program shows them: FormatMessage, one place.

#include <windows.h>

#include <string>

namespace quibex::win {

// The system's description of `code` in the ANSI code page ('char') or
// UTF-16 ('wchar_t'), without the line break it ends with; empty when the
// system has none.
template <class Char>
std::basic_string<Char> FormatSystemMessage(DWORD code) {
    constexpr DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    Char* text = nullptr;
    DWORD n;
    if constexpr (sizeof(Char) == 1) {
        n = FormatMessageA(flags, nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    } else {
        n = FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    }
    std::basic_string<Char> message = n && text ? std::basic_string<Char>(text, n) : std::basic_string<Char>();
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

// The description as part of a sentence of ours ("cannot open 'X': The
// system cannot find the file specified"): without its full stop, and
// "error N" when the system has none.
inline std::string SystemMessage(DWORD code) {
    std::string message = FormatSystemMessage<char>(code);
    while (!message.empty() && (message.back() == '.' || message.back() == ' ')) message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace quibex::win
