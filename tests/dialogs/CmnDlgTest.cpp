#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "FakeCmnDlg.h"
#include "dialogs/CmnDlg.h"

using namespace std::string_literals;

namespace quibex {
namespace {

using Names = std::vector<std::string>;

const Names kStoredNames = {"BrowseWhat", "BrowsePath", "CancelError", "Color",       "ControlApplet",
                            "DefaultExt", "DialogTitle", "FileName",   "Filter",      "FilterIndex",
                            "Flags",      "HelpCommand", "HelpFile",   "HelpKey",     "InitDir"};

Names WithoutHelp(Names names) {
  std::erase_if(names, [](const std::string& n) { return n.rfind("Help", 0) == 0; });
  return names;
}

// Records the names read, in order.
class ReadLogStore : public MemoryPropertyStore {
 public:
  Names reads;
  std::int32_t ReadInteger(std::string_view name, std::int32_t def) override {
    return reads.emplace_back(name), MemoryPropertyStore::ReadInteger(name, def);
  }
  bool ReadBoolean(std::string_view name, bool def) override {
    return reads.emplace_back(name), MemoryPropertyStore::ReadBoolean(name, def);
  }
  std::string ReadString(std::string_view name, std::string_view def) override {
    return reads.emplace_back(name), MemoryPropertyStore::ReadString(name, def);
  }
};

class CmnDlgTest : public testing::Test {
 protected:
  test::RecordingHost host;
  test::FakePlatform platform;
  CmnDlg dlg{host, platform};
};

TEST_F(CmnDlgTest, HostHooksSetUpANewInstanceAndKeepItSquare) {
  EXPECT_FALSE(dlg.BrowsePath());
  EXPECT_EQ(dlg.FilterIndex(), 0);
  dlg.InitProperties();
  EXPECT_TRUE(dlg.BrowsePath());
  EXPECT_EQ(dlg.FilterIndex(), 1);
  EXPECT_EQ(host.changes, (Names{"BrowsePath", "FilterIndex"}));
  host.SetSize(4000, 120);
  dlg.Resize();
  EXPECT_EQ(std::pair(host.width, host.height), std::pair(555, 555));
}

TEST_F(CmnDlgTest, EachWriterNotifiesItsOwnNameOnly) {
  const std::pair<std::string, std::function<void()>> writers[] = {
      {"BrowsePath", [&] { dlg.SetBrowsePath(true); }},    {"BrowseWhat", [&] { dlg.SetBrowseWhat(7); }},
      {"CancelError", [&] { dlg.SetCancelError(true); }},  {"Color", [&] { dlg.SetColor(0xFF); }},
      {"ControlApplet", [&] { dlg.SetControlApplet(3); }}, {"DefaultExt", [&] { dlg.SetDefaultExt("x"); }},
      {"DialogTitle", [&] { dlg.SetDialogTitle("T"); }},   {"FileName", [&] { dlg.SetFileName("C:\\a.b"); }},
      {"Filter", [&] { dlg.SetFilter("A|*.a"); }},         {"FilterIndex", [&] { dlg.SetFilterIndex(2); }},
      {"Flags", [&] { dlg.SetFlags(4); }},                 {"InitDir", [&] { dlg.SetInitDir("C:\\"); }},
  };
  for (const auto& [name, write] : writers) {
    host.changes.clear();
    write();
    EXPECT_EQ(host.changes, Names{name});
  }
}

TEST_F(CmnDlgTest, LoadingAnEmptyFormReadsFifteenNamesAndGivesTheDefaults) {
  ReadLogStore store;
  dlg.ReadProperties(store);
  EXPECT_EQ(store.reads, kStoredNames);
  EXPECT_EQ(host.changes, WithoutHelp(kStoredNames));
  EXPECT_TRUE(dlg.BrowsePath());
  EXPECT_EQ(dlg.FilterIndex(), 1);
  EXPECT_FALSE(dlg.CancelError());
  EXPECT_EQ(dlg.BrowseWhat() | dlg.Color() | dlg.ControlApplet() | dlg.Flags(), 0);
  EXPECT_EQ(dlg.DefaultExt() + dlg.DialogTitle() + dlg.FileName() + dlg.FileTitle() + dlg.Filter() + dlg.InitDir(), "");
  EXPECT_EQ(dlg.LastError(), "0");
}

TEST_F(CmnDlgTest, SavingStoresOnlyWhatDiffersFromTheDefaults) {
  MemoryPropertyStore store;
  store.Set("HelpFile", "quibex.hlp"s);  // read and dropped
  dlg.ReadProperties(store);
  dlg.WriteProperties(store);
  EXPECT_TRUE(store.Entries().empty());

  dlg.SetBrowseWhat(12), dlg.SetBrowsePath(false), dlg.SetCancelError(true), dlg.SetColor(0x123456);
  dlg.SetControlApplet(8), dlg.SetDefaultExt("vbp"), dlg.SetDialogTitle("Choose");
  dlg.SetFileName("C:\\Work\\Quibex.vbp"), dlg.SetFilter("Projects|*.vbp"), dlg.SetFilterIndex(2);
  dlg.SetFlags(0x1000), dlg.SetInitDir("C:\\Work");
  dlg.WriteProperties(store);
  Names written;
  for (const auto& entry : store.Entries()) written.push_back(entry.first);
  EXPECT_EQ(written, WithoutHelp(kStoredNames));

  CmnDlg loaded(host, platform);
  loaded.ReadProperties(store);
  EXPECT_EQ(std::tuple(loaded.BrowseWhat(), loaded.BrowsePath(), loaded.CancelError(), loaded.Color(),
                       loaded.ControlApplet(), loaded.FilterIndex(), loaded.Flags()),
            std::tuple(12, false, true, 0x123456, 8, 2, 0x1000));
  EXPECT_EQ((Names{loaded.DefaultExt(), loaded.DialogTitle(), loaded.FileName(), loaded.FileTitle(),
                   loaded.Filter(), loaded.InitDir()}),
            (Names{"vbp", "Choose", "C:\\Work\\Quibex.vbp", "Quibex.vbp", "Projects|*.vbp", "C:\\Work"}));

  CmnDlg fresh(host, platform);  // back at the defaults, the same store empties again
  fresh.InitProperties();
  fresh.WriteProperties(store);
  EXPECT_TRUE(store.Entries().empty());

  store.Set("Color", "red"s);
  try {
    fresh.ReadProperties(store);
    FAIL() << "a string read as the colour";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("'Color'"), std::string::npos) << e.what();
  }
}

TEST_F(CmnDlgTest, AChosenFileComesBackInOrderWithTheDialogsOwnTitle) {
  platform.fileAnswer = [](FileDialogRequest& r) {
    const std::string multiple = "C:\\Work\0a.vbp\0b.vbp\0\0"s;  // the folder, then the names
    r.file.replace(0, multiple.size(), multiple);
    r.fileTitle.replace(0, 6, "Shown\0"s);
    r.flags |= 0x200;
    r.filterIndex = 3;
    return true;
  };
  for (bool save : {false, true}) {
    dlg.SetFlags(0);
    dlg.SetFilterIndex(2);
    dlg.SetFileName("C:\\old.vbp");
    host.changes.clear();
    save ? dlg.ShowSave() : dlg.ShowOpen();
    EXPECT_EQ(platform.fileRequest->title, save ? "Save As" : "Open");
    EXPECT_EQ(platform.fileRequest->filterIndex, 2);
    EXPECT_EQ(platform.fileRequest->maxFile, save ? 10u + 1024 : 10u + 8192);
    EXPECT_EQ(dlg.LastError(), "0");
    EXPECT_EQ(dlg.FileName(), "C:\\Work");
    EXPECT_EQ(dlg.FileTitle(), "Shown");
    EXPECT_EQ(dlg.Flags(), save ? 0x204 : 0x200);
    EXPECT_EQ(dlg.FilterIndex(), 3);
    EXPECT_EQ(host.changes, (Names{"FileName", "FileTitle", "Flags", "FilterIndex"}));
  }
}

TEST_F(CmnDlgTest, ACancelSetsTheCodeAndRaisesItOnlyWhenAsked) {
  dlg.SetFileName("C:\\kept.vbp");
  for (std::int32_t action : {1, 2}) {  // ShowOpen, ShowSave
    for (bool cancelError : {false, true}) {
      dlg.SetCancelError(cancelError);
      try {
        dlg.SetAction(action);
        EXPECT_FALSE(cancelError) << "no error for a cancel";
      } catch (const CmnDlgCancelError& e) {
        EXPECT_TRUE(cancelError);
        EXPECT_EQ(e.Number(), 32755);
        EXPECT_STREQ(e.what(), "");
      }
      EXPECT_EQ(dlg.LastError(), "32755");
      EXPECT_EQ(dlg.FileName() + "|" + dlg.FileTitle(), "C:\\kept.vbp|kept.vbp");
    }
  }
}

TEST_F(CmnDlgTest, OpenReportsFailuresOfItsStepsAndSaveCarriesOn) {
  platform.fileAnswer = [](FileDialogRequest& r) {
    r.file.replace(0, 8, "C:\\x.vbp");
    r.fileTitle.replace(0, 5, "x.vbp");
    return true;
  };
  enum Fault { kOwner, kNotify, kPlatform };
  for (Fault fault : {kOwner, kNotify, kPlatform}) {
    SCOPED_TRACE(fault);
    host.ownerFails = host.notifyFails = platform.fails = false;
    dlg.SetFileName("");
    host.ownerFails = fault == kOwner;
    host.notifyFails = fault == kNotify;
    platform.fails = fault == kPlatform;
    EXPECT_THROW(dlg.ShowOpen(), std::runtime_error);

    platform.fileRequest.reset();
    EXPECT_NO_THROW(dlg.ShowSave());
    if (fault == kPlatform) {
      EXPECT_EQ(dlg.LastError(), "32755");  // a dialog that could not run counts as a cancel
      continue;
    }
    EXPECT_EQ(platform.fileRequest->owner, fault == kOwner ? WindowHandle{0} : host.owner);
    EXPECT_EQ(dlg.LastError(), "0");
    EXPECT_EQ(dlg.FileName() + "|" + dlg.FileTitle(), "C:\\x.vbp|x.vbp");
    EXPECT_EQ(dlg.Flags(), 4);
  }
}

TEST_F(CmnDlgTest, ShowColorWritesThePickedColourThroughItsWriter) {
  dlg.SetColor(0x0000FF);
  for (std::optional<std::int32_t> answer : {std::optional<std::int32_t>{0x123456}, std::optional<std::int32_t>{}}) {
    platform.colorAnswer = answer;
    host.changes.clear();
    dlg.ShowColor();
    EXPECT_EQ(dlg.Color(), 0x123456);  // a cancel keeps the colour picked before
    EXPECT_EQ(host.changes, answer ? Names{"Color"} : Names{});
    EXPECT_EQ(dlg.LastError(), answer ? "0" : "32755");
  }
}

// Whatever the shell's call does, the code of an earlier operation is gone.
TEST_F(CmnDlgTest, ShowFileClearsTheLastErrorFirst) {
  for (bool ownerFails : {false, true}) {
    dlg.ShowOpen();  // a silent cancel: LastError 32755
    ASSERT_EQ(dlg.LastError(), "32755");
    host.ownerFails = ownerFails;
    platform.fails = !ownerFails;
    EXPECT_THROW(dlg.ShowFile("https://quibex.example/"), std::runtime_error);
    EXPECT_EQ(dlg.LastError(), "0") << ownerFails;
    host.ownerFails = platform.fails = false;
  }
}

TEST_F(CmnDlgTest, ShowBrowseAnswersThroughFileNameAndCancelErrorAlone) {
  const struct { bool callerCancelError; std::optional<std::string> answer; } cases[] = {
      {true, "C:\\Work"}, {false, std::nullopt}, {false, "D:\\"}, {false, std::nullopt}};
  for (const auto& c : cases) {
    dlg.SetFileName("C:\\before\\old.vbp");
    dlg.SetCancelError(false);
    dlg.ShowOpen();  // a silent cancel: LastError 32755
    dlg.SetCancelError(c.callerCancelError);
    platform.browseAnswer = c.answer;
    host.changes.clear();
    EXPECT_NO_THROW(dlg.ShowBrowse());
    EXPECT_EQ(dlg.LastError(), "0");
    EXPECT_EQ(dlg.FileName(), c.answer.value_or(""));
    EXPECT_EQ(dlg.CancelError(), !c.answer);
    EXPECT_EQ(dlg.FileTitle(), "old.vbp");
    EXPECT_TRUE(host.changes.empty());
  }
  // The browser's cancel left CancelError set, so the next cancelled file dialog raises.
  EXPECT_THROW(dlg.ShowOpen(), CmnDlgCancelError);
}

TEST_F(CmnDlgTest, FileTitleAndFilterSkipTrailBytesInTheSystemsCodePage) {
  platform.codePage = *CodePageFromNumber(932);
  dlg.SetFileName("C:\\\x83\\");  // "C:\ソ": the last byte is no folder separator
  EXPECT_EQ(dlg.FileTitle(), "\x83\\");
  dlg.SetFilter("\x83||*.x");  // "ポ|*.x"
  dlg.ShowOpen();
  ASSERT_TRUE(platform.fileRequest);
  EXPECT_EQ(platform.fileRequest->filter, "\x83|\0*.x\0"s);
}

TEST_F(CmnDlgTest, ActionRunsTheOperationOfItsNumber) {
  const struct { std::int32_t action; std::string call; } cases[] = {
      {1, "open"},  {2, "save"}, {3, "color"}, {4, ""}, {5, ""}, {6, ""},
      {7, "browse"}, {8, "start rundll32.exe shell32.dll,Control_RunDLL /1"}, {0, ""}, {9, ""}, {-1, ""},
  };
  for (const auto& c : cases) {
    dlg.SetCancelError(false);
    dlg.ShowOpen();  // LastError 32755, which only a real operation resets
    platform.calls.clear();
    EXPECT_NO_THROW(dlg.SetAction(c.action)) << c.action;
    EXPECT_EQ(platform.calls, c.call.empty() ? Names{} : Names{c.call}) << c.action;
    if (c.call.empty()) {
      EXPECT_EQ(dlg.LastError(), "32755") << c.action;
    }
  }
  dlg.SetCancelError(true);
  EXPECT_THROW(dlg.SetAction(3), CmnDlgCancelError);
  platform.fails = true;
  EXPECT_THROW(dlg.SetAction(8), std::runtime_error);
}

}  // namespace
}  // namespace quibex
