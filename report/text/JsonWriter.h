#pragma once
// A JSON document written as it goes, straight into a string: no tree is
// built, so a report of a hundred thousand members costs its own size and
// no more. Objects and arrays are laid out over lines, indented, unless one
// is opened as a single line.

#include <string>
#include <string_view>
#include <vector>

#include "engine/MemberStatistics.h"

namespace quibex::report {

class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    // `oneLine`: the container and everything in it on one line.
    JsonWriter& BeginObject(bool oneLine = false) { return Open('{', oneLine); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray(bool oneLine = false) { return Open('[', oneLine); }
    JsonWriter& EndArray() { return Close(']'); }

    // The name of the next member of the object being written.
    JsonWriter& Key(std::string_view name);

    JsonWriter& String(std::string_view text);  // any bytes: invalid UTF-8 is read as Windows-1252
    JsonWriter& Number(Figure n);
    JsonWriter& Number(double n);
    JsonWriter& Bool(bool b);
    JsonWriter& Null();
    // A string, or null when it is empty.
    JsonWriter& StringOrNull(std::string_view text) { return text.empty() ? Null() : String(text); }

    // Shorthands for a key and its value.
    JsonWriter& Field(std::string_view name, std::string_view text) { return Key(name).String(text); }
    JsonWriter& Field(std::string_view name, const char* text) { return Key(name).String(text); }
    JsonWriter& Field(std::string_view name, Figure n) { return Key(name).Number(n); }
    JsonWriter& Field(std::string_view name, bool b) { return Key(name).Bool(b); }

    // Ends the document with a line break.
    void Finish() { out_ += '\n'; }

private:
    struct Level {
        bool oneLine;
        bool empty = true;
    };
    JsonWriter& Open(char bracket, bool oneLine);
    JsonWriter& Close(char bracket);
    // Separator and indentation before a value (not after a key).
    void BeforeValue();
    void NewLine();

    std::string& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

}  // namespace quibex::report
