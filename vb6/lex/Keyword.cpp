#include "vb6/lex/Keyword.h"

#include "vb6/lex/KeywordTable.h"

namespace quibex::vb6::lex {

using namespace detail;

Keyword FindKeyword(const char* p, std::size_t n, const char* readable) { return FindKeywordAt(p, n, readable); }

Keyword FindKeyword(std::string_view word) { return FindKeywordAt(word.data(), word.size(), word.data() + word.size()); }

std::string_view KeywordName(Keyword keyword) {
    for (const Entry& e : kEntries) {
        if (e.keyword == keyword) return e.name;
    }
    return {};
}

bool StartsStatement(Keyword keyword) {
    for (const Entry& e : kEntries) {
        if (e.keyword == keyword) return e.startsStatement;
    }
    return false;
}

}  // namespace quibex::vb6::lex
