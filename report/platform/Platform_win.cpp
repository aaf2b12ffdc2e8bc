#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <ctime>

#include "engine/WideText_win.h"
#include "report/platform/Platform.h"

namespace quibex::report {

using win::Narrow;
using win::Widen;

std::string TextToUtf8(std::string_view text) { return Narrow(Widen(text, CP_ACP), CP_UTF8); }

TextConverter TextConverterFor(int codePage) {
    const UINT from = codePage > 0 ? static_cast<UINT>(codePage) : CP_ACP;
    return [from](std::string_view text) { return Narrow(Widen(text, from), CP_UTF8); };
}

TextConverter TextConverterFromUtf8(int codePage) {
    const UINT to = codePage > 0 ? static_cast<UINT>(codePage) : CP_ACP;
    return [to](std::string_view text) { return Narrow(Widen(text, CP_UTF8), to); };
}

std::string UtcNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_s(&utc, &now);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &utc);
    return std::string(text, length);
}

std::string AbsolutePath(const std::string& path) {
    // The engine speaks ANSI code-page paths; GetFullPathNameW also turns
    // "/" into "\", the only separator the engine's folder rule knows here.
    std::wstring wide = Widen(path, CP_ACP);
    DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    return Narrow(full, CP_ACP);
}

bool StderrIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

ConsoleSession::ConsoleSession() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
        GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) {
        savedOutputCodePage_ = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
    }
}

ConsoleSession::~ConsoleSession() {
    if (savedOutputCodePage_ != 0) SetConsoleOutputCP(savedOutputCodePage_);
}

}  // namespace quibex::report
