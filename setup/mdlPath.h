#pragma once
// mdlPath: the Start menu's Programs folders and the folder-writable test.
// Nothing here reports an error: a folder the system does not give is the
// empty string, a folder that cannot be written is false.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace quibex::mdlPath {

// `path` with a "\" appended unless its last character is one ("" -> "\").
std::wstring WithTrailingBackslash(std::wstring_view path);

// A folder query's answer from the buffer the system filled: the text up to
// the first NUL, then a "\" unless it is empty or already ends in one.
std::wstring FolderAnswer(std::wstring_view buffer);

// Names for the writable test's file: 8 capital letters and ".tmp", from a
// generator seeded with the time of day. The same seed gives the same names.
class TestFileNames {
public:
    explicit TestFileNames(std::uint32_t seed);
    std::wstring Next();

private:
    std::minstd_rand random_;
};

// How many fresh names the writable test tries when a file of the name is
// already there, before it gives up with false.
inline constexpr int kTestFileAttempts = 16;

#ifdef _WIN32
// The all-users Start-menu Programs folder, ending in "\", or empty.
std::wstring CommonProgramsFolder();

// The current user's Start-menu Programs folder, ending in "\", or empty. When
// the shell gives none, the "Programs" value of the user's Shell Folders key.
std::wstring UserProgramsFolder();

// True when a new file could be created in `folder` and deleted again. The
// test file is created only where no file of its name exists, so nothing that
// is already in the folder is changed or lost.
bool IsFolderWritable(const std::wstring& folder);

// IsFolderWritable with the names taken from `names`; for tests.
bool IsFolderWritable(const std::wstring& folder, TestFileNames& names);

// Seconds since local midnight, the seed of the test-file names.
std::uint32_t SecondsSinceMidnight();

// The folder stored as the string value `valueName` of HKEY_CURRENT_USER's
// `subKey`, as FolderAnswer gives it; empty when the key or value is missing,
// is not a string, or does not fit in MAX_PATH characters.
std::wstring RegistryFolder(const std::wstring& subKey, const std::wstring& valueName);
#endif

}  // namespace quibex::mdlPath
