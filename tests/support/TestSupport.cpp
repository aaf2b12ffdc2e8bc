#include "tests/support/TestSupport.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace quibex::test {

namespace {
#ifdef _WIN32
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif
}  // namespace

std::string DataDir() { return QUIBEX_TEST_DATA; }

long PeakKiB() {
#ifdef _WIN32
    return 0;
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

std::string DataPath(const std::string& relative) {
    std::string path = DataDir() + kSep + relative;
    for (char& c : path) {
        if (c == '/' || c == '\\') c = kSep;
    }
    return path;
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path p = fs::temp_directory_path() /
                 ("quibex-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(p);
    path_ = p.string();
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::Join(const std::string& name) const {
    std::string path = path_ + kSep + name;
    for (char& c : path) {
        if (c == '/' || c == '\\') c = kSep;
    }
    return path;
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
    std::string path = Join(name);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

std::string TempDir::Read(const std::string& name) const {
    std::ifstream in(Join(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CurrentDirGuard::CurrentDirGuard() : saved_(fs::current_path().string()) {}
CurrentDirGuard::~CurrentDirGuard() {
    std::error_code ec;
    fs::current_path(saved_, ec);
}

}  // namespace quibex::test
