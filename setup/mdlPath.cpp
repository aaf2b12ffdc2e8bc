#include "setup/mdlPath.h"

namespace quibex::mdlPath {

std::wstring WithTrailingBackslash(std::wstring_view path) {
    std::wstring result(path);
    if (result.empty() || result.back() != L'\\') result += L'\\';
    return result;
}

std::wstring FolderAnswer(std::wstring_view buffer) {
    const std::wstring_view text = buffer.substr(0, buffer.find(L'\0'));
    if (text.empty()) return {};
    return WithTrailingBackslash(text);
}

// minstd_rand's results are the same with every standard library, so a seed
// names the same files everywhere.
TestFileNames::TestFileNames(std::uint32_t seed) : random_(seed) {}

std::wstring TestFileNames::Next() {
    std::wstring name;
    for (int i = 0; i < 8; ++i) {
        // A number in [0, 1) times 26 picks one of "A" to "Z".
        const double r = static_cast<double>(random_() - std::minstd_rand::min()) /
                         static_cast<double>(std::minstd_rand::max() - std::minstd_rand::min() + 1);
        name += static_cast<wchar_t>(L'A' + static_cast<int>(r * 26));
    }
    return name + L".tmp";
}

}  // namespace quibex::mdlPath
