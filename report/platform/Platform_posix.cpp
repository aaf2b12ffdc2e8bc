#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>

#include "report/platform/Platform.h"
#include "report/text/Utf8.h"

namespace quibex::report {

std::string TextToUtf8(std::string_view text) { return Utf8OrWindows1252(text); }

namespace {

// A conversion through the C library's iconv, which knows the Windows code
// pages as "CP932", "CP1251" and so on.
class Iconv {
public:
    explicit Iconv(const std::string& from, const std::string& to = "UTF-8") : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Iconv() {
        if (Valid()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::string Convert(std::string_view text) {
        std::string out;
        out.reserve(text.size() * 2);
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char buffer[1024];
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char* to = buffer;
            std::size_t toLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &in, &inLeft, &to, &toLeft);
            out.append(buffer, static_cast<std::size_t>(to - buffer));
            if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            // A byte the code page does not hold, or a lead byte at the end.
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

TextConverter TextConverterFor(int codePage) {
    if (codePage == 0 || codePage == 1252) return &TextToUtf8;
    auto converter = std::make_shared<Iconv>("CP" + std::to_string(codePage));
    if (!converter->Valid()) return &TextToUtf8;
    return [converter](std::string_view text) { return converter->Convert(text); };
}

TextConverter TextConverterFromUtf8(int codePage) {
    auto converter = std::make_shared<Iconv>("UTF-8", "CP" + std::to_string(codePage == 0 ? 1252 : codePage));
    if (!converter->Valid()) return [](std::string_view text) { return std::string(text); };
    return [converter](std::string_view text) { return converter->Convert(text); };
}

std::string UtcNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &utc);
    return std::string(text, length);
}

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
