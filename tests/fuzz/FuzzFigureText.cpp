// SizeText and LineFigureText on any 64-bit figures: the text must parse
// back to a value that is the figure truncated to two decimals of its unit.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/MemberStatistics.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckSize(std::int64_t bytes) {
    std::string text = quibex::SizeText(bytes);
    if (bytes < 1024) {
        Check(text == std::to_string(bytes) + "b");
        return;
    }
    bool kb = bytes < 1048576;
    std::string unit = kb ? "Kb" : "Mb";
    Check(text.size() > unit.size() && text.compare(text.size() - unit.size(), unit.size(), unit) == 0);
    std::string number = text.substr(0, text.size() - unit.size());
    std::size_t dot = number.find('.');
    std::string whole = number.substr(0, dot);
    std::string frac = dot == std::string::npos ? "" : number.substr(dot + 1);
    Check(!whole.empty() && whole.find_first_not_of("0123456789") == std::string::npos);
    Check(frac.size() <= 2 && frac.find_first_not_of("0123456789") == std::string::npos);
    Check(frac.empty() || frac.back() != '0');  // shortest form
    std::int64_t div = kb ? 1024 : 1048576;
    Check(std::stoll(whole) == bytes / div);
    std::int64_t hundredths = frac.empty() ? 0 : std::stoll(frac) * (frac.size() == 1 ? 10 : 1);
    Check(hundredths == static_cast<std::int64_t>(static_cast<__int128>(bytes % div) * 100 / div));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 16) return 0;
    std::int64_t a, b;
    std::memcpy(&a, data, 8);
    std::memcpy(&b, data + 8, 8);
    CheckSize(a);
    CheckSize(b);
    Check(quibex::LineFigureText(a, b) == std::to_string(a) + " (" + quibex::SizeText(b) + ")");
    return 0;
}
