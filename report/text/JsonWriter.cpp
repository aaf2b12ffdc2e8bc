#include "report/text/JsonWriter.h"

#include <charconv>
#include <cmath>

#include "report/text/Escape.h"

namespace quibex::report {

void JsonWriter::NewLine() {
    out_ += '\n';
    out_.append(2 * levels_.size(), ' ');
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) return;
    Level& level = levels_.back();
    if (!level.empty) out_ += ',';
    if (level.oneLine) {
        if (!level.empty) out_ += ' ';
    } else {
        NewLine();
    }
    level.empty = false;
}

JsonWriter& JsonWriter::Open(char bracket, bool oneLine) {
    BeforeValue();
    out_ += bracket;
    // Inside a one-line container everything stays on that line.
    levels_.push_back({oneLine || (!levels_.empty() && levels_.back().oneLine)});
    return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
    const Level level = levels_.back();
    levels_.pop_back();
    if (!level.oneLine && !level.empty) NewLine();
    out_ += bracket;
    return *this;
}

namespace {

// Most texts are plain ASCII with nothing to escape: they go out as they are.
void AppendString(std::string& out, std::string_view text) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x80 || c == '"' || c == '\\') {
            out += JsonString(text);
            return;
        }
    }
    out += '"';
    out += text;
    out += '"';
}

}  // namespace

JsonWriter& JsonWriter::Key(std::string_view name) {
    BeforeValue();
    AppendString(out_, name);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
    BeforeValue();
    AppendString(out_, text);
    return *this;
}

JsonWriter& JsonWriter::Number(Figure n) {
    BeforeValue();
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
    out_.append(digits, end);
    return *this;
}

JsonWriter& JsonWriter::Number(double n) {
    BeforeValue();
    if (!std::isfinite(n)) {
        out_ += "null";  // JSON has no infinity
        return *this;
    }
    char digits[32];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
    out_.append(digits, end);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool b) {
    BeforeValue();
    out_ += b ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    out_ += "null";
    return *this;
}

}  // namespace quibex::report
