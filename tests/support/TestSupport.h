#pragma once
// Helpers shared by the test programs.

#include <string>

namespace quibex::test {

// The fixtures folder (tests/data) as this build's programs name it.
std::string DataDir();

// DataDir() + separator + relative, with "/" in `relative` turned into the
// platform's separator.
std::string DataPath(const std::string& relative);

// The process's peak resident memory so far, in KiB; 0 where the platform
// does not tell (Windows).
long PeakKiB();

// A fresh empty folder for one test, removed with its contents on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Writes `content` to Path()/name (binary, exactly those bytes) and
    // returns the file's full path.
    std::string Write(const std::string& name, const std::string& content) const;
    std::string Join(const std::string& name) const;
    // The bytes of Path()/name; empty when it cannot be read.
    std::string Read(const std::string& name) const;

private:
    std::string path_;
};

// Restores the current directory on destruction (the readers change it).
class CurrentDirGuard {
public:
    CurrentDirGuard();
    ~CurrentDirGuard();
    CurrentDirGuard(const CurrentDirGuard&) = delete;
    CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

private:
    std::string saved_;
};

}  // namespace quibex::test
