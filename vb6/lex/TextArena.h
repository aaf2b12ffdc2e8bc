#pragma once
// Copies of token texts that must outlive the piece they were read from, in
// blocks that never move, so a copy stays where it is until Reset().

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace quibex::vb6::lex {

class TextArena {
public:
    std::string_view Store(std::string_view text) {
        if (text.empty()) return {};
        while (block_ < blocks_.size() && used_ + text.size() > blocks_[block_].size) {
            ++block_;
            used_ = 0;
        }
        if (block_ == blocks_.size()) {
            const std::size_t size = std::max(kBlock, text.size());
            blocks_.push_back({std::make_unique<char[]>(size), size});
            used_ = 0;
        }
        char* to = blocks_[block_].bytes.get() + used_;
        std::memcpy(to, text.data(), text.size());
        used_ += text.size();
        return {to, text.size()};
    }
    // Every copy made so far may be overwritten from now on.
    void Reset() { block_ = used_ = 0; }

private:
    static constexpr std::size_t kBlock = 16 * 1024;
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size;
    };
    std::vector<Block> blocks_;
    std::size_t block_ = 0, used_ = 0;
};

}  // namespace quibex::vb6::lex
