// The real dialogs, driven from a second thread the way a user would: find
// the dialog, type into it, press a button. Every wait has a deadline, so a
// dialog that never appears or never closes fails the test instead of
// hanging it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

#include "FakeCmnDlg.h"
#include "dialogs/CmnDlg_win.h"

// Control numbers of the common dialogs; they need <windows.h> first.
#include <colordlg.h>
#include <dlgs.h>

namespace quibex {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDeadline = std::chrono::seconds(20);

BOOL CALLBACK KeepFirstDialog(HWND hwnd, LPARAM result) {
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(result) = hwnd;
  return FALSE;
}

// A visible dialog-class window of the given thread, or null.
HWND FindDialog(DWORD threadId) {
  HWND found = nullptr;
  EnumThreadWindows(threadId, &KeepFirstDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string WindowText(HWND hwnd) {
  char text[256] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
  return text;
}

void SetText(HWND hwnd, const std::string& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Waits on its own thread for the dialog that the test thread is about to
// show, hands it to `act`, then waits for it to close. Past the deadline it
// records a failure and cancels whatever dialogs are open; should even that
// not end the modal loop, it ends the process so that ctest reports it.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> act)
      : testThread_(GetCurrentThreadId()), act_(std::move(act)), thread_([this] { Run(); }) {}
  ~DialogDriver() { Finish(); }

  // Call when the operation has returned: stops the driver and tells what
  // went wrong, if anything. Read caption and owner only after this.
  std::string Finish() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
    return failure_;
  }
  std::string caption;
  HWND owner = nullptr;

 private:
  void Run() {
    const auto deadline = Clock::now() + kDeadline;
    HWND dialog = nullptr;
    while (!(dialog = FindDialog(testThread_)) && !done_ && Clock::now() < deadline) Sleep(50);
    if (!dialog) {
      failure_ = "no dialog appeared";
      return;
    }
    Sleep(300);  // let the dialog fill its controls
    caption = WindowText(dialog);
    owner = GetWindow(dialog, GW_OWNER);
    act_(dialog);
    while (IsWindow(dialog) && Clock::now() < deadline) Sleep(50);
    if (!IsWindow(dialog)) return;
    failure_ = "the dialog did not close; still open: '" + WindowText(FindDialog(testThread_)) + "'";
    for (int i = 0; i < 100 && FindDialog(testThread_); ++i) {
      PressButton(FindDialog(testThread_), IDCANCEL);
      Sleep(100);
    }
    if (FindDialog(testThread_)) {
      std::fprintf(stderr, "dialog test stuck: %s\n", failure_.c_str());
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }

  DWORD testThread_;
  std::function<void(HWND)> act_;
  std::atomic<bool> done_{false};
  std::string failure_;
  std::thread thread_;  // last: starts once everything above exists
};

class CmnDlgDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ownerWindow = CreateWindowExA(0, "STATIC", "Quibex test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(ownerWindow, nullptr);
    host.owner = FromHwnd(ownerWindow);
    dlg.InitProperties();
  }
  void TearDown() override { DestroyWindow(ownerWindow); }

  HWND ownerWindow = nullptr;
  test::RecordingHost host;
  CmnDlg dlg{host, Win32CmnDlgPlatform::System()};
};

TEST_F(CmnDlgDialogTest, OpenReturnsTheTypedPath) {
  char folder[MAX_PATH] = {};
  const std::string path = std::string(folder, GetTempPathA(MAX_PATH, folder)) + "quibex-open-test.vbp";
  CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DialogDriver driver([&](HWND dialog) {
    HWND name = GetDlgItem(dialog, cmb13);  // the file name box: a combo box, or an edit box in older layouts
    SetText(name ? name : GetDlgItem(dialog, edt1), path);
    PressButton(dialog, IDOK);
  });
  dlg.ShowOpen();
  EXPECT_EQ(driver.Finish(), "");
  EXPECT_EQ(driver.caption, "Open");
  EXPECT_EQ(driver.owner, ownerWindow);
  EXPECT_EQ(dlg.LastError(), "0");
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, dlg.FileName().c_str(), -1, path.c_str(), -1),
            CSTR_EQUAL) << dlg.FileName();
  EXPECT_EQ(dlg.FileTitle(), "quibex-open-test.vbp");
  DeleteFileA(path.c_str());
}

TEST_F(CmnDlgDialogTest, CancelledOpenIsSilentUnlessCancelErrorIsSet) {
  dlg.SetFileName("C:\\kept.vbp");
  for (bool cancelError : {false, true}) {
    dlg.SetCancelError(cancelError);
    dlg.SetDialogTitle(cancelError ? "Loud" : "Quiet");
    DialogDriver driver([](HWND dialog) { PressButton(dialog, IDCANCEL); });
    if (cancelError) {
      EXPECT_THROW(dlg.ShowOpen(), CmnDlgCancelError);
    } else {
      EXPECT_NO_THROW(dlg.ShowOpen());
    }
    EXPECT_EQ(driver.Finish(), "");
    EXPECT_EQ(driver.caption, cancelError ? "Loud" : "Quiet");
    EXPECT_EQ(dlg.LastError(), "32755");
    EXPECT_EQ(dlg.FileName(), "C:\\kept.vbp");
  }
}

TEST_F(CmnDlgDialogTest, CancelledBrowseEmptiesFileNameAndSetsCancelError) {
  dlg.SetBrowseWhat(12);  // rooted at the desktop folder, through a real item list
  dlg.SetFileName("C:\\kept.vbp");
  dlg.SetDialogTitle("Pick a folder");
  DialogDriver driver([](HWND dialog) { PressButton(dialog, IDCANCEL); });
  EXPECT_NO_THROW(dlg.ShowBrowse());
  EXPECT_EQ(driver.Finish(), "");
  EXPECT_EQ(driver.owner, ownerWindow);
  EXPECT_EQ(dlg.FileName(), "");
  EXPECT_TRUE(dlg.CancelError());
  EXPECT_EQ(dlg.LastError(), "0");
}

TEST_F(CmnDlgDialogTest, ColourDialogGivesTheTypedColourOrACancel) {
  dlg.SetFlags(CC_FULLOPEN);
  dlg.SetColor(0x0000FF);
  {
    DialogDriver driver([](HWND dialog) {
      SetText(GetDlgItem(dialog, COLOR_RED), "86");
      SetText(GetDlgItem(dialog, COLOR_GREEN), "52");
      SetText(GetDlgItem(dialog, COLOR_BLUE), "18");
      PressButton(dialog, IDOK);
    });
    dlg.ShowColor();
    EXPECT_EQ(driver.Finish(), "");
  }
  EXPECT_EQ(dlg.LastError(), "0");
  EXPECT_EQ(dlg.Color(), 0x123456);

  dlg.SetCancelError(true);
  DialogDriver driver([](HWND dialog) { PressButton(dialog, IDCANCEL); });
  EXPECT_THROW(dlg.ShowColor(), CmnDlgCancelError);
  EXPECT_EQ(driver.Finish(), "");
  EXPECT_EQ(dlg.LastError(), "32755");
  EXPECT_EQ(dlg.Color(), 0x123456);
}

}  // namespace
}  // namespace quibex
