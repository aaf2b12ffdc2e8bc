#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "report/Platform.h"
#include "report/Utf8.h"

namespace quibex::report {

std::string TextToUtf8(std::string_view text) { return Utf8OrWindows1252(text); }

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

// POSIX streams are bytes already.
ConsoleSession::ConsoleSession() = default;
ConsoleSession::~ConsoleSession() = default;

}  // namespace quibex::report
