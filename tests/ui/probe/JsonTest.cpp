#include <gtest/gtest.h>

#include "tests/ui/probe/Json.h"

namespace quibex::probe {
namespace {

TEST(JsonString, EscapesWhatJsonRequires) {
    struct Case {
        const char* text;
        const char* json;
    } cases[] = {
        {"", "\"\""},
        {"63 (4.71Kb)", "\"63 (4.71Kb)\""},
        {"Classes\\CItem.cls", "\"Classes\\\\CItem.cls\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\tb\r\n", "\"a\\tb\\r\\n\""},
        {"\x01", "\"\\u0001\""},
        {"\xc5\xbe", "\"\xc5\xbe\""},  // UTF-8 passes through
    };
    for (const Case& c : cases) EXPECT_EQ(JsonString(c.text), c.json) << c.text;
}

TEST(StringObject, ReadsTheLabelsBesideOtherMembers) {
    const char* report = R"({
      "file": "Z:\\data\\Sample.vbp",
      "members": [{"path": "a.frm", "fileSize": 181, "big": -1.5e3}, {}],
      "counts": {"Form": 3},
      "labels": {"LabelFileT": "Classes\\CItem.cls", "LabelTypeT": "", "LabelSizeT": "\u017e\ud83d\ude00"},
      "error": null, "ok": true, "no": false
    })";
    std::string error;
    auto labels = StringObject(report, "labels", &error);
    ASSERT_TRUE(labels) << error;
    EXPECT_EQ(labels->size(), 3u);
    EXPECT_EQ(labels->at("LabelFileT"), "Classes\\CItem.cls");
    EXPECT_EQ(labels->at("LabelTypeT"), "");
    EXPECT_EQ(labels->at("LabelSizeT"), "\xc5\xbe\xf0\x9f\x98\x80");
}

TEST(StringObject, WhatItWritesItReadsBack) {
    const std::string text = "tab\there \"quoted\" back\\slash \x02";
    const std::string doc = "{\"labels\": {\"x\": " + JsonString(text) + "}}";
    auto labels = StringObject(doc, "labels");
    ASSERT_TRUE(labels);
    EXPECT_EQ(labels->at("x"), text);
}

TEST(StringObject, RefusesWhatIsNotThere) {
    const char* docs[] = {
        "",
        "{",
        "{\"labels\": {\"a\": \"b\"}",             // unterminated
        "{\"labels\": {\"a\": 1}}",                // not a string value
        "{\"labels\": {\"a\": \"b\"}} trailing",
        "{\"labels\": {\"a\": \"\\q\"}}",          // unknown escape
        "{\"other\": {\"a\": \"b\"}}",             // no such member
        "{\"x\": nope, \"labels\": {}}",
        "[1, 2]",
    };
    for (const char* doc : docs) {
        std::string error;
        EXPECT_FALSE(StringObject(doc, "labels", &error)) << doc;
        EXPECT_FALSE(error.empty()) << doc;
    }
    auto empty = StringObject("{\"labels\": {}}", "labels");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

}  // namespace
}  // namespace quibex::probe
