// The file system on Win32. Paths arrive as text in the ANSI code page (as
// project files hold them) and go to the wide-character file API, so that
// long and non-ASCII names work.

#include <windows.h>

#include <string>

#include "common/SystemMessage_win.h"
#include "engine/FileSystem.h"
#include "engine/WideText_win.h"

namespace quibex {

namespace {

using win::SystemMessage;
using win::Widen;

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (Valid()) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

// Opens `path` and accepts only an ordinary disk file: a folder cannot be
// opened without backup semantics, and devices such as CON or COM1 are
// refused by their file type.
HANDLE OpenDiskFile(const std::string& path, UINT codePage, DWORD access, DWORD flags, DWORD& error) {
    HANDLE h = CreateFileW(Widen(path, codePage).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return h;
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        error = ERROR_INVALID_NAME;
        return INVALID_HANDLE_VALUE;
    }
    return h;
}

class FileSource : public ByteSource {
public:
    FileSource(HANDLE h, std::string path) : file_(h), path_(std::move(path)) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        if (!ReadFile(file_.Get(), buffer, want, &got, nullptr)) {
            throw FileError("cannot read '" + path_ + "': " + SystemMessage(GetLastError()));
        }
        return got;
    }

private:
    Handle file_;
    std::string path_;
};

class Win32FileSystem : public IFileSystem {
public:
    explicit Win32FileSystem(const CodePage* textCodePage) {
        if (textCodePage) {
            // Names are converted in the named code page too, so that a
            // Japanese project's file names open on any Windows.
            codePage_ = *textCodePage;
            if (codePage_.number > 0) names_ = static_cast<UINT>(codePage_.number);
            return;
        }
        CPINFO info{};
        if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2) {
            for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2) {
                codePage_.AddLeadRange(info.LeadByte[i], info.LeadByte[i + 1]);
            }
        }
        codePage_.number = static_cast<int>(GetACP());
    }

    std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
        DWORD error = 0;
        HANDLE h = OpenDiskFile(path, names_, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN, error);
        if (h == INVALID_HANDLE_VALUE) {
            throw FileError("cannot open '" + path + "': " + SystemMessage(error));
        }
        return std::make_unique<FileSource>(h, path);
    }

    std::optional<Figure> RegularFileSize(const std::string& path) override {
        DWORD error = 0;
        Handle h(OpenDiskFile(path, names_, FILE_READ_ATTRIBUTES, 0, error));
        LARGE_INTEGER size{};
        if (!h.Valid() || !GetFileSizeEx(h.Get(), &size)) return std::nullopt;
        return static_cast<Figure>(size.QuadPart);
    }

    bool ChangeDirectory(const std::string& folder) override {
        return SetCurrentDirectoryW(Widen(folder, names_).c_str()) != 0;
    }

    const CodePage& TextCodePage() const override { return codePage_; }
    bool SlashSeparatesFolders() const override { return false; }

    std::string FullPath(const std::string& path) override {
        const std::wstring wide = Widen(path, names_);
        DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
        if (wide.empty() || n == 0) return path;
        std::wstring full(n, L'\0');
        n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
        if (n == 0 || n >= full.size()) return path;
        full.resize(n);
        return win::Narrow(full, names_);
    }

private:
    CodePage codePage_;
    UINT names_ = CP_ACP;  // the code page file names are converted from
};

}  // namespace

std::unique_ptr<IFileSystem> MakePlatformFileSystem(const CodePage* textCodePage) {
    return std::make_unique<Win32FileSystem>(textCodePage);
}

}  // namespace quibex
