// mdlParam's Win32 side: the real command line and the module file name.

#include <windows.h>

#include "setup/mdlParam.h"

namespace quibex::mdlParam {

namespace {

// The full path of this process's executable file, however long.
std::wstring ModuleFileName() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        // A full buffer means the name was cut short.
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::wstring CommandLineArguments() { return ArgumentText(GetCommandLineW()); }

std::wstring ExePath() { return OwnLocationOf(ModuleFileName()).exePath; }

std::wstring ExeFolder() { return OwnLocationOf(ModuleFileName()).exeFolder; }

}  // namespace quibex::mdlParam
