#include <gtest/gtest.h>

#include "tests/support/PeImage.h"
#include "vb6/PeVersion.h"

namespace quibex::vb6 {
namespace {

using quibex::test::PeImage;
using quibex::test::U32;
using quibex::test::VersionResource;

TEST(PeVersion, FileVersionAndStringsOfPe32AndPe32Plus) {
    for (bool plus : {false, true}) {
        const auto version = ReadPeVersion(PeImage(VersionResource(6, 1, 98, 39, "Olvek Ltd"), plus));
        ASSERT_TRUE(version) << plus;
        EXPECT_EQ(version->FileVersionText(), "6.1.98.39");
        EXPECT_EQ(version->companyName, "Olvek Ltd");
        EXPECT_EQ(version->fileDescription, "Test Helper");
        EXPECT_EQ(version->productName, "");
    }
}

TEST(PeVersion, DamagedOrForeignBytesGiveNothing) {
    const std::string good = PeImage(VersionResource(1, 2, 3, 4, "X"));
    std::string farHeader = good;
    farHeader.replace(0x3C, 4, U32(0xFFFFFFF0));
    std::string farData = good;  // the data entry's address past the section
    farData.replace(0x200 + 72, 4, U32(0x7FFFFFF0));
    std::string hugeLength = good;  // the root node claims more than there is
    hugeLength.replace(0x200 + 88, 2, "\xFF\xFF");
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"a text file", std::string(200, 'a')},
        {"MZ alone", "MZ"},
        {"no version resource", PeImage(VersionResource(1, 2, 3, 4, "X"), false, 3)},
        {"wrong signature", PeImage(VersionResource(1, 2, 3, 4, "X", 0x12345678))},
        {"PE header past the end", farHeader},
        {"data past the section", farData},
        {"node longer than the data", hugeLength},
    };
    for (const auto& c : cases) EXPECT_FALSE(ReadPeVersion(c.bytes)) << c.what;
    // Cut anywhere, the image never reads past its end and gives nothing.
    for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(ReadPeVersion(good.substr(0, n))) << n;
}

}  // namespace
}  // namespace quibex::vb6
