#include "tests/ui/probe/Json.h"

#include <cstdio>
#include <stdexcept>

namespace quibex::probe {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

namespace {

// A recursive-descent reader that keeps only what StringObject asks for.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<std::map<std::string, std::string>> TopLevelObject(std::string_view key) {
        std::optional<std::map<std::string, std::string>> found;
        Space();
        Expect('{');
        Space();
        if (Peek() == '}') {
            ++pos_;
        } else {
            for (;;) {
                Space();
                const std::string name = String();
                Space();
                Expect(':');
                Space();
                if (name == key && Peek() == '{') {
                    found = StringMembers();
                } else {
                    Value();
                }
                Space();
                if (Peek() == ',') {
                    ++pos_;
                    continue;
                }
                Expect('}');
                break;
            }
        }
        Space();
        if (pos_ != text_.size()) Fail("text after the document");
        return found;
    }

private:
    [[noreturn]] void Fail(const std::string& what) {
        throw std::runtime_error(what + " at offset " + std::to_string(pos_));
    }
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void Expect(char c) {
        if (Peek() != c) Fail(std::string("expected '") + c + "'");
        ++pos_;
    }
    void Space() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\r' ||
                                       text_[pos_] == '\t')) {
            ++pos_;
        }
    }

    std::map<std::string, std::string> StringMembers() {
        std::map<std::string, std::string> members;
        Expect('{');
        Space();
        if (Peek() == '}') {
            ++pos_;
            return members;
        }
        for (;;) {
            Space();
            std::string name = String();
            Space();
            Expect(':');
            Space();
            if (Peek() != '"') Fail("a value that is not a string");
            members[name] = String();
            Space();
            if (Peek() == ',') {
                ++pos_;
                continue;
            }
            Expect('}');
            return members;
        }
    }

    void Value() {
        switch (Peek()) {
            case '"': String(); return;
            case '{':
            case '[': Container(); return;
            default: break;
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() && std::string_view("+-.0123456789eEtruefalsn").find(text_[pos_]) !=
                                          std::string_view::npos) {
            ++pos_;
        }
        const std::string_view word = text_.substr(start, pos_ - start);
        if (word.empty()) Fail("expected a value");
        if (word != "true" && word != "false" && word != "null" &&
            word.find_first_not_of("+-.0123456789eE") != std::string_view::npos) {
            Fail("not a value: " + std::string(word));
        }
    }

    void Container() {
        const char close = Peek() == '{' ? '}' : ']';
        const bool object = close == '}';
        ++pos_;
        Space();
        if (Peek() == close) {
            ++pos_;
            return;
        }
        for (;;) {
            Space();
            if (object) {
                String();
                Space();
                Expect(':');
                Space();
            }
            Value();
            Space();
            if (Peek() == ',') {
                ++pos_;
                continue;
            }
            Expect(close);
            return;
        }
    }

    unsigned Hex4() {
        if (pos_ + 4 > text_.size()) Fail("a short \\u escape");
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[pos_++];
            value <<= 4;
            if (c >= '0' && c <= '9') value |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') value |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') value |= static_cast<unsigned>(c - 'A' + 10);
            else Fail("a bad \\u escape");
        }
        return value;
    }

    static void AppendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::string String() {
        Expect('"');
        std::string out;
        for (;;) {
            if (pos_ >= text_.size()) Fail("an unterminated string");
            const char c = text_[pos_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) Fail("a control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) Fail("an unterminated escape");
            const char e = text_[pos_++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    unsigned cp = Hex4();
                    if (cp >= 0xD800 && cp < 0xDC00 && text_.substr(pos_, 2) == "\\u") {
                        pos_ += 2;
                        const unsigned low = Hex4();
                        if (low < 0xDC00 || low > 0xDFFF) Fail("a lone surrogate");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    AppendUtf8(out, cp);
                    break;
                }
                default: Fail("an unknown escape");
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<std::map<std::string, std::string>> StringObject(std::string_view json, std::string_view key,
                                                               std::string* error) {
    try {
        auto found = Reader(json).TopLevelObject(key);
        if (!found && error) *error = "no object \"" + std::string(key) + "\"";
        return found;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return std::nullopt;
    }
}

}  // namespace quibex::probe
