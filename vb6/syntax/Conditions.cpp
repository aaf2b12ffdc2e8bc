#include "vb6/syntax/Conditions.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/CodePage.h"
#include "vb6/lex/Lexer.h"

namespace quibex::vb6::syntax {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    }
    return out;
}

// A number as VB6 writes it: 12, 1.5E3, &HFF, &O17.
std::optional<double> ParseNumber(std::string_view text) {
    if (text.size() >= 2 && text[0] == '&') {
        const int base = (text[1] | 0x20) == 'h' ? 16 : (text[1] | 0x20) == 'o' ? 8 : 0;
        if (!base) return std::nullopt;
        std::int64_t n = 0;
        for (char c : text.substr(2)) {
            const int digit = c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : 99;
            if (digit >= base) break;
            n = n * base + digit;
            if (n > 0xFFFFFFFFll) return std::nullopt;
        }
        // &HFFFF is -1 as an Integer, &HFFFFFFFF as a Long.
        if (text.size() <= 6 && n >= 0x8000 && n <= 0xFFFF) n -= 0x10000;
        else if (n >= 0x80000000ll) n -= 0x100000000ll;
        return static_cast<double>(n);
    }
    std::string s(text);
    for (char& c : s) {
        if (c == 'd' || c == 'D') c = 'e';  // 1D3 is 1E3
    }
    char* end = nullptr;
    const double n = std::strtod(s.c_str(), &end);
    if (s.empty() || end != s.c_str() + s.size()) return std::nullopt;
    return n;
}

std::optional<double> AsNumber(const Value& v) {
    switch (v.type) {
        case Value::Type::Empty: return 0.0;
        case Value::Type::Number: return v.number;
        case Value::Type::String: {
            std::string_view s = v.text;
            while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
            while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
            return ParseNumber(s);
        }
    }
    return std::nullopt;
}

std::int64_t AsInteger(const Value& v) {
    const std::optional<double> n = AsNumber(v);
    return n && std::isfinite(*n) && std::fabs(*n) < 9e18 ? std::llround(*n) : 0;
}

std::string AsText(const Value& v) {
    switch (v.type) {
        case Value::Type::Empty: return {};
        case Value::Type::String: return v.text;
        case Value::Type::Number: {
            if (v.number == std::floor(v.number) && std::fabs(v.number) < 1e15) {
                return std::to_string(static_cast<long long>(v.number));
            }
            return std::to_string(v.number);
        }
    }
    return {};
}

// Recursive descent in VB6's order of operators, loosest first.
class Parser {
public:
    Parser(std::span<const lex::Token> tokens, const Constants& constants) : t_(tokens), constants_(constants) {}

    std::optional<Value> Whole() {
        std::optional<Value> v = Imp();
        if (!v || at_ != t_.size()) return std::nullopt;
        return v;
    }

private:
    bool Accept(lex::Keyword k) {
        if (at_ < t_.size() && t_[at_].Is(k)) return ++at_, true;
        return false;
    }
    bool Accept(lex::Op o) {
        if (at_ < t_.size() && t_[at_].Is(o)) return ++at_, true;
        return false;
    }
    using Binary = Value (*)(const Value&, const Value&);
    template <class Next>
    std::optional<Value> Chain(Next next, std::initializer_list<std::pair<lex::Keyword, Binary>> ops) {
        std::optional<Value> left = (this->*next)();
        for (bool more = true; left && more;) {
            more = false;
            for (const auto& [k, apply] : ops) {
                if (Accept(k)) {
                    const std::optional<Value> right = (this->*next)();
                    if (!right) return std::nullopt;
                    left = apply(*left, *right);
                    more = true;
                    break;
                }
            }
        }
        return left;
    }
    static Value Bits(std::int64_t n) { return Value::Number(static_cast<double>(n)); }

    std::optional<Value> Imp() {
        return Chain(&Parser::Eqv, {{lex::Keyword::Imp, [](const Value& a, const Value& b) {
                                         return Bits(~AsInteger(a) | AsInteger(b));
                                     }}});
    }
    std::optional<Value> Eqv() {
        return Chain(&Parser::Xor, {{lex::Keyword::Eqv, [](const Value& a, const Value& b) {
                                         return Bits(~(AsInteger(a) ^ AsInteger(b)));
                                     }}});
    }
    std::optional<Value> Xor() {
        return Chain(&Parser::Or, {{lex::Keyword::Xor, [](const Value& a, const Value& b) {
                                        return Bits(AsInteger(a) ^ AsInteger(b));
                                    }}});
    }
    std::optional<Value> Or() {
        return Chain(&Parser::And, {{lex::Keyword::Or, [](const Value& a, const Value& b) {
                                         return Bits(AsInteger(a) | AsInteger(b));
                                     }}});
    }
    std::optional<Value> And() {
        return Chain(&Parser::Not, {{lex::Keyword::And, [](const Value& a, const Value& b) {
                                         return Bits(AsInteger(a) & AsInteger(b));
                                     }}});
    }
    std::optional<Value> Not() {
        if (Accept(lex::Keyword::Not)) {
            const std::optional<Value> v = Not();
            if (!v) return std::nullopt;
            return Bits(~AsInteger(*v));
        }
        return Comparison();
    }
    std::optional<Value> Comparison() {
        std::optional<Value> left = Concatenation();
        while (left && at_ < t_.size() && t_[at_].kind == lex::TokenKind::Operator) {
            const lex::Op op = t_[at_].op;
            if (op != lex::Op::Equals && op != lex::Op::NotEqual && op != lex::Op::Less && op != lex::Op::Greater &&
                op != lex::Op::LessEqual && op != lex::Op::GreaterEqual) {
                break;
            }
            ++at_;
            const std::optional<Value> right = Concatenation();
            if (!right) return std::nullopt;
            int order;
            if (left->type == Value::Type::String || right->type == Value::Type::String) {
                const std::optional<double> a = AsNumber(*left), b = AsNumber(*right);
                if (left->type != right->type && a && b) {
                    order = *a < *b ? -1 : *a > *b ? 1 : 0;
                } else {
                    const int c = AsText(*left).compare(AsText(*right));
                    order = c < 0 ? -1 : c > 0 ? 1 : 0;
                }
            } else {
                const double a = *AsNumber(*left), b = *AsNumber(*right);
                order = a < b ? -1 : a > b ? 1 : 0;
            }
            bool result = false;
            switch (op) {
                case lex::Op::Equals: result = order == 0; break;
                case lex::Op::NotEqual: result = order != 0; break;
                case lex::Op::Less: result = order < 0; break;
                case lex::Op::Greater: result = order > 0; break;
                case lex::Op::LessEqual: result = order <= 0; break;
                default: result = order >= 0; break;
            }
            left = Value::Boolean(result);
        }
        return left;
    }
    std::optional<Value> Concatenation() {
        std::optional<Value> left = Additive();
        while (left && Accept(lex::Op::Ampersand)) {
            const std::optional<Value> right = Additive();
            if (!right) return std::nullopt;
            left = Value::String(AsText(*left) + AsText(*right));
        }
        return left;
    }
    std::optional<Value> Additive() {
        std::optional<Value> left = Modulo();
        for (;;) {
            const bool plus = Accept(lex::Op::Plus);
            if (!plus && !Accept(lex::Op::Minus)) return left;
            const std::optional<Value> right = Modulo();
            if (!left || !right) return std::nullopt;
            if (plus && left->type == Value::Type::String && right->type == Value::Type::String) {
                left = Value::String(left->text + right->text);
            } else {
                const double a = AsNumber(*left).value_or(0), b = AsNumber(*right).value_or(0);
                left = Value::Number(plus ? a + b : a - b);
            }
        }
    }
    std::optional<Value> Modulo() {
        std::optional<Value> left = IntegerDivision();
        while (left && Accept(lex::Keyword::Mod)) {
            const std::optional<Value> right = IntegerDivision();
            if (!right) return std::nullopt;
            const std::int64_t b = AsInteger(*right);
            left = Bits(b ? AsInteger(*left) % b : 0);
        }
        return left;
    }
    std::optional<Value> IntegerDivision() {
        std::optional<Value> left = Multiplicative();
        while (left && Accept(lex::Op::Backslash)) {
            const std::optional<Value> right = Multiplicative();
            if (!right) return std::nullopt;
            const std::int64_t b = AsInteger(*right);
            left = Bits(b ? AsInteger(*left) / b : 0);
        }
        return left;
    }
    std::optional<Value> Multiplicative() {
        std::optional<Value> left = Negation();
        for (;;) {
            const bool times = Accept(lex::Op::Star);
            if (!times && !Accept(lex::Op::Slash)) return left;
            const std::optional<Value> right = Negation();
            if (!left || !right) return std::nullopt;
            const double a = AsNumber(*left).value_or(0), b = AsNumber(*right).value_or(0);
            left = Value::Number(times ? a * b : (b != 0 ? a / b : 0));
        }
    }
    std::optional<Value> Negation() {
        if (Accept(lex::Op::Minus)) {
            const std::optional<Value> v = Negation();
            if (!v) return std::nullopt;
            return Value::Number(-AsNumber(*v).value_or(0));
        }
        return Power();
    }
    std::optional<Value> Power() {
        std::optional<Value> left = Primary();
        while (left && Accept(lex::Op::Caret)) {
            const std::optional<Value> right = Primary();
            if (!right) return std::nullopt;
            left = Value::Number(std::pow(AsNumber(*left).value_or(0), AsNumber(*right).value_or(0)));
        }
        return left;
    }
    std::optional<Value> Primary() {
        if (at_ >= t_.size()) return std::nullopt;
        const lex::Token& t = t_[at_++];
        switch (t.kind) {
            case lex::TokenKind::Number: {
                const std::optional<double> n = ParseNumber(t.text);
                if (!n) return std::nullopt;
                return Value::Number(*n);
            }
            case lex::TokenKind::String: {
                std::string s;
                for (std::size_t i = 0; i < t.text.size(); ++i) {
                    s += t.text[i];
                    if (t.text[i] == '"' && i + 1 < t.text.size() && t.text[i + 1] == '"') ++i;
                }
                return Value::String(std::move(s));
            }
            case lex::TokenKind::Identifier:
                if (t.keyword == lex::Keyword::True) return Value::Boolean(true);
                if (t.keyword == lex::Keyword::False) return Value::Boolean(false);
                if (t.keyword != lex::Keyword::None && !t.Has(lex::flag::kBracketed)) return std::nullopt;
                return constants_.Get(t.text);
            case lex::TokenKind::Operator:
                if (t.op == lex::Op::LParen) {
                    std::optional<Value> v = Imp();
                    if (!v || !Accept(lex::Op::RParen)) return std::nullopt;
                    return v;
                }
                if (t.op == lex::Op::Plus) return Negation();
                return std::nullopt;
            default: return std::nullopt;
        }
    }

    std::span<const lex::Token> t_;
    const Constants& constants_;
    std::size_t at_ = 0;
};

// The tokens of a short text, for project settings and --define.
class Collector : public lex::TokenSink {
public:
    std::vector<lex::Token> tokens;
    std::vector<std::string> texts;
    void Tokens(std::span<const lex::Token> batch) override {
        for (const lex::Token& t : batch) {
            if (t.kind == lex::TokenKind::LineEnd) continue;
            tokens.push_back(t);
            texts.emplace_back(t.text);
        }
    }
    std::vector<lex::Token> Take() {
        for (std::size_t i = 0; i < tokens.size(); ++i) tokens[i].text = texts[i];
        return tokens;
    }
};

std::vector<lex::Token> Lexed(std::string_view text, std::vector<std::string>& texts) {
    Collector collector;
    lex::Lexer lexer(CodePage{}, collector);
    lexer.Feed(text.data(), text.size());
    lexer.Finish();
    collector.texts.reserve(collector.tokens.size());
    texts = std::move(collector.texts);
    std::vector<lex::Token> tokens = std::move(collector.tokens);
    for (std::size_t i = 0; i < tokens.size(); ++i) tokens[i].text = texts[i];
    return tokens;
}

// "NAME = expression" in `tokens`: sets the constant.
bool Assign(std::span<const lex::Token> tokens, Constants& constants) {
    if (tokens.size() < 3 || tokens[0].kind != lex::TokenKind::Identifier || !tokens[1].Is(lex::Op::Equals)) {
        return false;
    }
    const std::optional<Value> value = Evaluate(tokens.subspan(2), constants);
    if (!value) return false;
    constants.Set(tokens[0].text, *value);
    return true;
}

}  // namespace

bool Value::IsTrue() const {
    const std::optional<double> n = AsNumber(*this);
    return n && *n != 0;
}

Constants::Constants() {
    Set("Win32", Value::Boolean(true));
    Set("Win16", Value::Boolean(false));
}

void Constants::Set(std::string_view name, Value value) { values_[Lower(name)] = std::move(value); }

Value Constants::Get(std::string_view name) const {
    const auto it = values_.find(Lower(name));
    return it == values_.end() ? Value{} : it->second;
}

bool Constants::AddProjectConstants(std::string_view condComp) {
    std::vector<std::string> texts;
    const std::vector<lex::Token> tokens = Lexed(condComp, texts);
    bool all = true;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= tokens.size(); ++i) {
        if (i < tokens.size() && !tokens[i].Is(lex::Op::Colon)) continue;
        if (i > from) all = Assign(std::span(tokens).subspan(from, i - from), *this) && all;
        from = i + 1;
    }
    return all;
}

bool Constants::AddDefinition(std::string_view definition) {
    std::vector<std::string> texts;
    const std::vector<lex::Token> tokens = Lexed(definition, texts);
    return Assign(tokens, *this);
}

std::optional<Value> Evaluate(std::span<const lex::Token> tokens, const Constants& constants) {
    return Parser(tokens, constants).Whole();
}

}  // namespace quibex::vb6::syntax
