#pragma once
// Text made safe for the formats the reporter writes: JSON strings, CSV
// fields, HTML text and attributes, and JSON inside an HTML <script>.

#include <string>
#include <string_view>

namespace quibex::report {

// `text` as a JSON string literal, quotes included. Control characters are
// escaped; bytes that are not valid UTF-8 are read as Windows-1252, so the
// result is always valid JSON.
std::string JsonString(std::string_view text);

// `text` as one CSV field (RFC 4180): quoted, with quotes doubled, when it
// holds a comma, a quote, a CR or an LF; otherwise unchanged.
std::string CsvField(std::string_view text);

// `text` for HTML text or a double-quoted attribute value: & < > " '
// escaped, control characters shown as U+FFFD, bytes that are not UTF-8
// read as Windows-1252.
std::string HtmlEscape(std::string_view text);

// JSON text made safe to stand inside a <script> element: every <, > and &
// (only ever inside strings) and the line separators U+2028 and U+2029 are
// written as \u escapes, so no "</script>" or "<!--" can end or change it.
std::string ScriptSafeJson(std::string_view json);

}  // namespace quibex::report
