#pragma once
// The file-system port: the engine reaches files and the current directory
// only through this, so that it runs the same on POSIX, on Win32 and in tests.

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "engine/CodePage.h"
#include "engine/MemberStatistics.h"

namespace quibex {

// A file that cannot be opened or read. what() names the file and the reason:
// "cannot open 'X.vbp': No such file or directory".
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An open file, read from start to end in one pass.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to `size` bytes; 0 at the end of the file. Throws FileError
    // when the file cannot be read.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // Opens a regular file for reading; anything else (missing, a folder, a
    // device) throws FileError. Relative paths resolve against the current
    // directory. Paths are text in the code page of TextCodePage().
    virtual std::unique_ptr<ByteSource> OpenForReading(const std::string& path) = 0;
    // The size of the regular file at `path`; nothing when there is none.
    virtual std::optional<Figure> RegularFileSize(const std::string& path) = 0;
    // Makes `folder` the current directory; false when that fails.
    virtual bool ChangeDirectory(const std::string& folder) = 0;
    // The code page of file names and file texts.
    virtual const CodePage& TextCodePage() const = 0;
    // Whether "/" separates folders too when a folder is entered. Project
    // files use "\" only; POSIX paths given to the reporter use "/".
    virtual bool SlashSeparatesFolders() const = 0;
    // `path` made absolute against the current directory, "." and ".."
    // folded, as this file system names the file: on POSIX with "/" and the
    // letter case found on disk. So two paths of one file give one text.
    virtual std::string FullPath(const std::string& path) = 0;
};

// The file system of the platform the program runs on (POSIX or Win32).
// Names and texts are in `textCodePage` when one is given; otherwise in the
// system's ANSI code page on Win32 and single-byte on POSIX.
std::unique_ptr<IFileSystem> MakePlatformFileSystem(const CodePage* textCodePage = nullptr);

}  // namespace quibex
