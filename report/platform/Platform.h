#pragma once
// What the reporter needs of the platform beyond the engine's file system.

#include <string>
#include <string_view>

#include "report/text/Utf8.h"

namespace quibex::report {

// Text as the engine holds it (file names and file texts, in the system's
// code page) turned into UTF-8. On Windows that is the ANSI code page; on
// POSIX valid UTF-8 is kept and any other byte is read as Windows-1252.
std::string TextToUtf8(std::string_view text);

// The same for text in a code page named by its Windows number (0: the
// default of TextToUtf8). A byte sequence the code page does not hold
// becomes U+FFFD.
TextConverter TextConverterFor(int codePage);

// UTF-8 turned back into the code page of TextConverterFor(codePage), to
// name files again with text a report has made UTF-8. A character that
// code page lacks leaves a name that names no file.
TextConverter TextConverterFromUtf8(int codePage);

// `path` made absolute against the current directory, as the window gets a
// full path from its dialog. The path as given when that fails.
std::string AbsolutePath(const std::string& path);

// The current time in UTC, formatted by std::strftime's `format`.
std::string UtcNow(const char* format);

// Whether standard error is an interactive terminal (a console on Windows).
bool StderrIsTerminal();

// For the life of main(): standard output and error write bytes as they are
// (no newline translation), and a Windows console shows them as UTF-8.
class ConsoleSession {
public:
    ConsoleSession();
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;

private:
    unsigned savedOutputCodePage_ = 0;
};

}  // namespace quibex::report
