#include "ui/Text_win.h"

namespace quibex {

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
