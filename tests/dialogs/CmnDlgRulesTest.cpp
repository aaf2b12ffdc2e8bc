#include <gtest/gtest.h>

#include <climits>

#include "dialogs/CmnDlg.h"

using namespace std::string_literals;

namespace quibex {
namespace {

TEST(ConvertFilter, BarsBecomeNulsAndOneNulEndsTheList) {
  const struct { std::string filter, list; } cases[] = {
      {"", "\0"s},
      {"Text (*.txt)|*.txt|All|*.*", "Text (*.txt)\0*.txt\0All\0*.*\0"s},
      {"Projects|*.vbp;*.vbg|", "Projects\0*.vbp;*.vbg\0\0"s},  // trailing bar: an extra empty piece
      {"Unpaired", "Unpaired\0"s},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertFilter(c.filter), c.list) << c.filter;
}

TEST(TitleFromPath, IsTheTextAfterTheLastBackslash) {
  const struct { std::string path, title; } cases[] = {
      {"C:\\Projects\\Quibex.vbp", "Quibex.vbp"}, {"\\\\server\\share\\a\\b.frm", "b.frm"},
      {"Quibex.vbp", ""}, {"C:\\Projects\\", ""}, {"C:/Projects/x.vbp", ""}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TitleFromPath(c.path), c.title) << c.path;
}

// In code page 932 the second byte of "ポ" is "|" and that of "ソ" is "\\".
TEST(ConvertFilterAndTitleFromPath, TrailBytesOfDoubleByteCharactersAreNoSeparators) {
  const CodePage shiftJis = *CodePageFromNumber(932);
  EXPECT_EQ(ConvertFilter("\x83||*.txt|Text", shiftJis), "\x83|\0*.txt\0Text\0"s);
  EXPECT_EQ(TitleFromPath("C:\\\x83\\\\\x83\\", shiftJis), "\x83\\");
  EXPECT_EQ(TitleFromPath("C:\\\x83\\"), "");  // read byte by byte, the trail byte ends the folder
}

TEST(SpecialFolderNumber, SkipsTwelveToFifteen) {
  const struct { std::int32_t browseWhat; std::optional<std::int32_t> folder; } cases[] = {
      {0, std::nullopt}, {1, 0}, {2, 2}, {11, 11}, {12, 16}, {15, 19}, {17, 21}, {100, 104}, {-1, -1},
      {INT_MAX, INT_MIN + 3},  // wraps instead of overflowing; no such folder exists
  };
  for (const auto& c : cases) EXPECT_EQ(SpecialFolderNumber(c.browseWhat), c.folder) << c.browseWhat;
}

TEST(ControlPanelCommand, AppendsThePageOnlyWhereTheItemTakesOne) {
  const struct { std::int32_t applet, page; std::string command; } cases[] = {
      {0, 3, "rundll32.exe shell32.dll,Control_RunDLL"},
      {3, 3, "rundll32.exe shell32.dll,Control_RunDLL sysdm.cpl @1"},
      {8, 2, "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,2"},
      {9, 2, "rundll32.exe shell32.dll,SHHelpShortcuts_RunDLL FontsFolder"},
      {12, 0, "rundll32.exe shell32.dll,Control_RunDLL main.cpl @1,,0"},
      {14, -1, "rundll32.exe shell32.dll,Control_RunDLL main.cpl @0,,-1"},
      {22, 5, "rundll32.exe shell32.dll,SHHelpShortcuts_RunDLL PrintersFolder"},
      {33, 12, "rundll32.exe shell32.dll,Control_RunDLL tweakui.cpl,,12"},
  };
  for (const auto& c : cases) EXPECT_EQ(ControlPanelCommand(c.applet, c.page), c.command) << c.applet;
  for (std::int32_t gap : {4, 6, 7, 19, 20, 23, 25, 30, 34, -1, INT_MIN}) EXPECT_FALSE(ControlPanelCommand(gap, 0));
  int items = 0;
  for (std::int32_t applet = 0; applet <= 33; ++applet) items += ControlPanelCommand(applet, 0).has_value();
  EXPECT_EQ(items, 22);
}

TEST(RGBColor, GivesTheBytesOfAColourAndLetsHighBitsThrough) {
  const struct { std::int32_t color, red, green, blue; } cases[] = {
      {0x123456, 86, 52, 18}, {0x00FFFFFF, 255, 255, 255}, {0x01000000, 0, 65536, 256},
      {INT_MIN, 0, -8388608, -32768},  // bit 31: negative green and blue
      {-1, 255, -65281, 0},            // -256 / 65536 truncates to 0
  };
  for (const auto& c : cases) {
    std::int32_t red = 0, green = 0, blue = 0;
    CmnDlg::RGBColor(c.color, red, green, blue);
    EXPECT_EQ((std::vector{red, green, blue}), (std::vector{c.red, c.green, c.blue})) << c.color;
  }
}

}  // namespace
}  // namespace quibex
