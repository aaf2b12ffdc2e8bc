#include "ui/Text_win.h"

#include <limits>

namespace quibex {

std::wstring Widen(std::string_view ansi) {
    if (ansi.empty() || ansi.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    const int length = static_cast<int>(ansi.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (wideLength <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), wideLength);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty() || wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    const int length = static_cast<int>(wide.size());
    const int ansiLength = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (ansiLength <= 0) return {};
    std::string ansi(static_cast<std::size_t>(ansiLength), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), ansiLength, nullptr, nullptr);
    return ansi;
}

std::string WindowTextOf(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return Narrow(text);
}

void SetWindowTextTo(HWND hwnd, std::string_view ansi) { SetWindowTextW(hwnd, Widen(ansi).c_str()); }

}  // namespace quibex
