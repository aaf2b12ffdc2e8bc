#include <gtest/gtest.h>

#include <filesystem>

#include "engine/FileSystem.h"
#include "tests/support/TestSupport.h"

#ifndef _WIN32
#include <sys/stat.h>

#include "engine/FileSystem_posix.h"
#endif

namespace quibex {
namespace {

std::string ReadAll(ByteSource& source) {
    std::string text;
    char buffer[7];  // small on purpose: several reads
    while (std::size_t n = source.Read(buffer, sizeof buffer)) text.append(buffer, n);
    return text;
}

TEST(PlatformFileSystem, RegularFilesOnly) {
    test::TempDir dir;
    std::string file = dir.Write("Data.txt", "hello\r\nworld");
    dir.Write("Folder/inner.txt", "x");
    auto files = MakePlatformFileSystem();

    EXPECT_EQ(files->RegularFileSize(file), 12);
    auto source = files->OpenForReading(file);
    EXPECT_EQ(ReadAll(*source), "hello\r\nworld");

    // A folder, a missing file and an empty path are no files: no size, and
    // opening them fails with a message that names them.
    for (const std::string& path : {dir.Join("Folder"), dir.Join("missing.txt"), std::string()}) {
        EXPECT_EQ(files->RegularFileSize(path), std::nullopt) << path;
        try {
            files->OpenForReading(path);
            ADD_FAILURE() << "opened " << path;
        } catch (const FileError& error) {
            EXPECT_NE(std::string(error.what()).find("cannot open '" + path + "'"), std::string::npos) << error.what();
        }
    }
}

TEST(PlatformFileSystem, ChangeDirectory) {
    test::TempDir dir;
    test::CurrentDirGuard guard;
    dir.Write("Sub/f.txt", "abc");
    auto files = MakePlatformFileSystem();
    ASSERT_TRUE(files->ChangeDirectory(dir.Join("Sub")));
    EXPECT_EQ(files->RegularFileSize("f.txt"), 3);
    EXPECT_FALSE(files->ChangeDirectory(dir.Join("NoSuchFolder")));
    EXPECT_EQ(files->RegularFileSize("f.txt"), 3);  // still where it was
}

#ifdef _WIN32
TEST(Win32FileSystem, DevicesAreNoFiles) {
    auto files = MakePlatformFileSystem();
    for (const char* device : {"CON", "NUL", "nul.frm", "\\\\.\\NUL"}) {
        EXPECT_EQ(files->RegularFileSize(device), std::nullopt) << device;
        EXPECT_THROW(files->OpenForReading(device), FileError) << device;
    }
}
#else
// Project files come from Windows: backslashes and any letter case.
TEST(PosixFileSystem, ResolvesWindowsPaths) {
    test::TempDir dir;
    test::CurrentDirGuard guard;
    dir.Write("Forms/Main Form.frm", "12345");
    dir.Write("Lib/Sub/x.bas", "1");
    PosixFileSystem files;
    ASSERT_TRUE(files.ChangeDirectory(dir.Join("Lib")));
    struct Case {
        const char* path;
        std::optional<Figure> size;
    } cases[] = {
        {"Sub\\x.bas", 1},
        {"SUB\\X.BAS", 1},
        {"sub/X.bas", 1},
        {"..\\forms\\MAIN FORM.FRM", 5},
        {"..\\Forms\\\\Main Form.frm", 5},  // a doubled separator
        {".\\Sub\\..\\Sub\\x.bas", 1},
        {"Sub\\x.bas\\more", std::nullopt},
        {"Nowhere\\x.bas", std::nullopt},
        {"Sub\\y.bas", std::nullopt},
        {"Sub", std::nullopt},  // a folder
    };
    for (const Case& c : cases) EXPECT_EQ(files.RegularFileSize(c.path), c.size) << c.path;

    std::string absolute = dir.Join("FORMS") + "\\main form.FRM";
    EXPECT_EQ(files.RegularFileSize(absolute), 5);
    EXPECT_EQ(ReadAll(*files.OpenForReading(absolute)), "12345");
    // The folder itself is entered in any letter case too.
    EXPECT_TRUE(files.ChangeDirectory(dir.Join("forms")));
    EXPECT_EQ(files.RegularFileSize("Main Form.frm"), 5);
}

TEST(PosixFileSystem, DevicesAndPipesAreNoFiles) {
    test::TempDir dir;
    std::string fifo = dir.Join("pipe.bas");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    PosixFileSystem files;
    // Opening a pipe with no writer must not wait for one.
    EXPECT_THROW(files.OpenForReading(fifo), FileError);
    EXPECT_EQ(files.RegularFileSize(fifo), std::nullopt);
    EXPECT_THROW(files.OpenForReading("/dev/zero"), FileError);
    EXPECT_EQ(files.RegularFileSize("/dev/null"), std::nullopt);
}
#endif

}  // namespace
}  // namespace quibex
