// mdlPath's Win32 side: the shell's folder lookup, the registry and the file
// system. Failures are answers here (an empty folder, false), never errors.

#include <windows.h>
#include <shlobj.h>

#include <array>
#include <cstring>

#include "setup/WinSupport.h"
#include "setup/mdlPath.h"

namespace quibex::mdlPath {

namespace {

constexpr wchar_t kShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The ANSI text of a NUL-filled buffer, up to its first NUL (or its end).
std::wstring BufferText(const std::array<char, MAX_PATH>& buffer) {
    return win::Widen(std::string_view(buffer.data(), strnlen(buffer.data(), buffer.size())));
}

// The text the shell gives for `csidl`, without the trailing-separator rule;
// empty when it gives none.
std::wstring ShellFolder(int csidl) {
    std::array<char, MAX_PATH> buffer{};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer.data()))) return {};
    return BufferText(buffer);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

std::wstring CommonProgramsFolder() { return FolderAnswer(ShellFolder(CSIDL_COMMON_PROGRAMS)); }

std::wstring UserProgramsFolder() {
    std::wstring folder = ShellFolder(CSIDL_PROGRAMS);
    if (folder.empty()) return RegistryFolder(kShellFoldersKey, L"Programs");
    return FolderAnswer(folder);
}

std::wstring RegistryFolder(const std::wstring& subKey, const std::wstring& valueName) {
    const auto key = win::ToAnsi(subKey);
    const auto value = win::ToAnsi(valueName);
    if (!key || !value) return {};

    win::RegKey open;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key->c_str(), 0, KEY_READ, open.Put()) != ERROR_SUCCESS) return {};

    std::array<char, MAX_PATH> buffer{};
    DWORD type = REG_SZ;
    DWORD size = static_cast<DWORD>(buffer.size());
    // A value too long for the buffer leaves it undefined, and a value of
    // another type is no path: both count as no answer.
    const LONG result =
        RegQueryValueExA(open.Get(), value->c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    return FolderAnswer(BufferText(buffer));
}

std::uint32_t SecondsSinceMidnight() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 3600u + now.wMinute * 60u + now.wSecond;
}

bool IsFolderWritable(const std::wstring& folder) {
    TestFileNames names(SecondsSinceMidnight());
    return IsFolderWritable(folder, names);
}

bool IsFolderWritable(const std::wstring& folder, TestFileNames& names) {
    if (folder.empty()) return false;
    const std::wstring dir = WithTrailingBackslash(folder);

    for (int attempt = 0; attempt < kTestFileAttempts; ++attempt) {
        const std::wstring file = dir + names.Next();
        // CREATE_NEW: the file is made only if no file or folder of that name
        // is there, so an existing one is never opened, emptied or deleted.
        win::FileHandle handle(
            CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.Valid()) {
            // Some systems answer "access denied" for a folder of that name;
            // whatever the code, a name that is taken just means another try.
            if (Exists(file)) continue;
            return false;
        }
        const bool closed = handle.Close();
        const bool deleted = DeleteFileW(file.c_str()) != FALSE;
        return closed && deleted;
    }
    return false;
}

}  // namespace quibex::mdlPath
