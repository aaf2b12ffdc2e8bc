// The records the control hands to the platform, seen through a table of
// fake functions that copy them while the call lasts.
#include <gtest/gtest.h>

#include <cstring>

#include "FakeCmnDlg.h"
#include "dialogs/CmnDlg_win.h"

using namespace std::string_literals;

namespace quibex {
namespace {

// What the fakes saw, and how they answer. Plain data: a C callback has no
// context to carry.
struct Seen {
  OPENFILENAMEA file{};
  std::string filter, fileBuffer, titleBuffer, initDir, title, defaultExt;
  std::vector<std::string> shell;
  std::vector<int> folders;
  BROWSEINFOA browse{};
  std::string browseTitle;
  std::vector<const void*> pathLists, freed;
  CHOOSECOLORA color{};
  std::vector<COLORREF> customColors;
  std::string program, commandLine;
  STARTUPINFOA startup{};
  BOOL inherit = TRUE;
} seen;

struct Answers {
  INT_PTR shell = 42;
  bool lookupFails = false, browserChooses = true, pathFound = true, colorChosen = true, startFails = false;
} answer;

char rootList, chosenList;  // their addresses stand for the shell's item lists

std::string Text(const char* p) { return p ? p : "<null>"; }

BOOL WINAPI FakeFileDialog(LPOPENFILENAMEA r) {
  seen.file = *r;
  for (const char* f = r->lpstrFilter; f[0] || f[1]; ++f) seen.filter.push_back(*f);
  seen.filter.append(2, '\0');
  seen.fileBuffer.assign(r->lpstrFile, r->nMaxFile + 1);
  seen.titleBuffer.assign(r->lpstrFileTitle, r->nMaxFileTitle);
  seen.initDir = Text(r->lpstrInitialDir);
  seen.title = Text(r->lpstrTitle);
  seen.defaultExt.assign(r->lpstrDefExt, std::strlen(r->lpstrDefExt) + 2);
  std::strcpy(r->lpstrFile, "C:\\Chosen\\p.vbp");
  std::strcpy(r->lpstrFileTitle, "P.VBP");
  r->Flags |= 0x800;
  r->nFilterIndex = 2;
  return TRUE;
}

HINSTANCE WINAPI FakeShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show) {
  seen.shell = {std::to_string(FromHwnd(owner)), Text(verb), Text(file), Text(params), Text(dir), std::to_string(show)};
  return reinterpret_cast<HINSTANCE>(answer.shell);
}

HRESULT WINAPI FakeSpecialFolder(HWND, int folder, PIDLIST_ABSOLUTE* list) {
  seen.folders.push_back(folder);
  *list = answer.lookupFails ? nullptr : reinterpret_cast<PIDLIST_ABSOLUTE>(&rootList);
  return answer.lookupFails ? E_FAIL : S_OK;
}

PIDLIST_ABSOLUTE WINAPI FakeBrowse(LPBROWSEINFOA r) {
  seen.browse = *r;
  seen.browseTitle = Text(r->lpszTitle);
  return answer.browserChooses ? reinterpret_cast<PIDLIST_ABSOLUTE>(&chosenList) : nullptr;
}

BOOL WINAPI FakePath(PCIDLIST_ABSOLUTE list, LPSTR path) {
  seen.pathLists.push_back(list);
  if (answer.pathFound) std::strcpy(path, "C:\\Chosen Folder");
  return answer.pathFound;
}

void WINAPI FakeFree(LPVOID list) { seen.freed.push_back(list); }

BOOL WINAPI FakeChooseColor(LPCHOOSECOLORA r) {
  seen.color = *r;
  seen.customColors.assign(r->lpCustColors, r->lpCustColors + 16);
  r->lpCustColors[0] = 0xABCDEF;  // must not reach the next call
  r->rgbResult = 0x123456;
  return answer.colorChosen;
}

BOOL WINAPI FakeCreateProcess(LPCSTR program, LPSTR line, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL inherit,
                              DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION process) {
  seen.program = Text(program);
  seen.commandLine = Text(line);
  seen.startup = *startup;
  seen.inherit = inherit;
  *process = {};
  if (answer.startFails) SetLastError(ERROR_FILE_NOT_FOUND);
  return !answer.startFails;
}

CmnDlgApi FakeApi() {
  CmnDlgApi api = SystemCmnDlgApi();
  api.GetOpenFileNameA = api.GetSaveFileNameA = &FakeFileDialog;
  api.ShellExecuteA = &FakeShellExecute;
  api.SHGetSpecialFolderLocation = &FakeSpecialFolder;
  api.SHBrowseForFolderA = &FakeBrowse;
  api.SHGetPathFromIDListA = &FakePath;
  api.CoTaskMemFree = &FakeFree;
  api.ChooseColorA = &FakeChooseColor;
  api.CreateProcessA = &FakeCreateProcess;
  return api;
}

class CmnDlgRecordTest : public testing::Test {
 protected:
  void SetUp() override {
    seen = {};
    answer = {};
    host.owner = FromHwnd(owner);
    dlg.InitProperties();
  }
  const HWND owner = reinterpret_cast<HWND>(0x2468);
  test::RecordingHost host;
  Win32CmnDlgPlatform platform{FakeApi()};
  CmnDlg dlg{host, platform};
};

TEST_F(CmnDlgRecordTest, FileDialogsGetTheShortRecordFilledFromTheProperties) {
  // Open with every input set; Save with the defaults.
  dlg.SetFileName("C:\\Work\\old.vbp");
  dlg.SetFilter("Projects|*.vbp|All files|*.*");
  dlg.SetFlags(0x200);
  dlg.SetDefaultExt("vbp");
  dlg.SetInitDir("C:\\Work");
  dlg.SetFilterIndex(3);
  dlg.ShowOpen();
  EXPECT_EQ(seen.file.nFilterIndex, 3u);
  EXPECT_EQ(seen.filter, "Projects\0*.vbp\0All files\0*.*\0\0"s);
  EXPECT_EQ(seen.file.nMaxFile, 15u + 8192);
  EXPECT_EQ(seen.fileBuffer, "C:\\Work\\old.vbp" + std::string(8193, '\0'));
  EXPECT_EQ(seen.initDir + "|" + seen.title, "C:\\Work|Open");
  EXPECT_EQ(seen.file.Flags, 0x200u);
  EXPECT_EQ(seen.defaultExt, "vbp\0\0"s);
  EXPECT_EQ(dlg.FileName() + "|" + dlg.FileTitle(), "C:\\Chosen\\p.vbp|P.VBP");
  EXPECT_EQ(std::pair(dlg.Flags(), dlg.FilterIndex()), std::pair(0xA00, 2));

  seen = {};
  CmnDlg defaults(host, platform);
  defaults.ShowSave();
  EXPECT_EQ(seen.filter, "\0\0"s);
  EXPECT_EQ(seen.fileBuffer, std::string(1025, '\0'));
  EXPECT_EQ(seen.file.nMaxFile, 1024u);
  EXPECT_EQ(seen.initDir + "|" + seen.title, "|Save As");
  EXPECT_EQ(seen.file.Flags, DWORD{OFN_HIDEREADONLY});
  EXPECT_EQ(seen.defaultExt, "\0\0"s);

  const OPENFILENAMEA& r = seen.file;
  EXPECT_EQ(r.lStructSize, offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR));
  EXPECT_EQ(r.hwndOwner, owner);
  EXPECT_EQ(r.hInstance, GetModuleHandleA(nullptr));
  EXPECT_EQ(r.nFilterIndex, 0u);
  EXPECT_EQ(r.nMaxFileTitle, 1024u);
  EXPECT_EQ(seen.titleBuffer, std::string(1024, '\0'));
  EXPECT_EQ(r.nMaxCustFilter | r.nFileOffset | r.nFileExtension | r.lCustData | r.dwReserved | r.FlagsEx, 0u);
  EXPECT_TRUE(!r.lpstrCustomFilter && !r.lpfnHook && !r.lpTemplateName && !r.pvReserved);
}

TEST_F(CmnDlgRecordTest, ShowFilePassesTheVerbAndDefaultsAndKeepsTheShellsCode) {
  for (INT_PTR code : {INT_PTR{42}, INT_PTR{ERROR_FILE_NOT_FOUND}}) {
    answer.shell = code;
    dlg.ShowFile("http://example.com/app/quibex.htm");
    EXPECT_EQ(seen.shell, (std::vector<std::string>{std::to_string(FromHwnd(owner)), "open",
                                                    "http://example.com/app/quibex.htm", "", "", "1"}));
    EXPECT_EQ(dlg.LastError(), std::to_string(code));
  }
}

TEST_F(CmnDlgRecordTest, ShowBrowseFreesEveryItemListAndAsksNoPathOfNone) {
  const void* root = &rootList;
  const void* chosen = &chosenList;
  const struct {
    std::int32_t browseWhat;
    bool browsePath, lookupFails, chooses, pathFound;
    std::vector<int> folders;
    const void* root;
    std::vector<const void*> pathLists, freed;
    std::string fileName;
  } cases[] = {
      {0, true, false, true, true, {}, nullptr, {chosen}, {chosen}, "C:\\Chosen Folder"},
      {12, false, false, true, true, {16}, root, {chosen}, {chosen, root}, "C:\\Chosen Folder"},
      {1, true, false, false, true, {0}, root, {}, {root}, ""},             // cancelled
      {5, true, true, true, false, {5}, nullptr, {chosen}, {chosen}, ""},  // no root; an item without a path
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.browseWhat);
    seen = {};
    answer.lookupFails = c.lookupFails, answer.browserChooses = c.chooses, answer.pathFound = c.pathFound;
    dlg.SetBrowseWhat(c.browseWhat);
    dlg.SetBrowsePath(c.browsePath);
    dlg.SetDialogTitle("Pick a folder");
    dlg.ShowBrowse();
    EXPECT_EQ(seen.folders, c.folders);
    EXPECT_EQ(seen.browse.hwndOwner, owner);
    EXPECT_EQ(seen.browse.pidlRoot, c.root);
    EXPECT_EQ(seen.browseTitle, "Pick a folder");
    EXPECT_EQ(seen.browse.ulFlags, c.browsePath ? UINT{BIF_RETURNONLYFSDIRS} : UINT{BIF_BROWSEFORCOMPUTER});
    EXPECT_TRUE(!seen.browse.pszDisplayName && !seen.browse.lpfn && !seen.browse.lParam && !seen.browse.iImage);
    EXPECT_EQ(seen.pathLists, c.pathLists);
    EXPECT_EQ(seen.freed, c.freed);
    EXPECT_EQ(dlg.FileName(), c.fileName);
    EXPECT_EQ(dlg.CancelError(), c.fileName.empty());
  }
}

TEST_F(CmnDlgRecordTest, ShowColorStartsOnBlackWithFreshCustomColours) {
  dlg.SetColor(0x0000FF);
  dlg.SetFlags(CC_FULLOPEN);
  for (int call = 0; call < 2; ++call) {
    dlg.ShowColor();
    EXPECT_EQ(seen.color.lStructSize, sizeof(CHOOSECOLORA));
    EXPECT_EQ(seen.color.hwndOwner, owner);
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(seen.color.hInstance), GetModuleHandleA(nullptr));
    EXPECT_EQ(seen.color.rgbResult, 0u);
    EXPECT_EQ(seen.customColors, std::vector<COLORREF>(16, 0));
    EXPECT_EQ(seen.color.Flags, DWORD{CC_FULLOPEN});
    EXPECT_TRUE(!seen.color.lCustData && !seen.color.lpfnHook && !seen.color.lpTemplateName);
    EXPECT_EQ(dlg.Color(), 0x123456);
  }
  answer.colorChosen = false;
  dlg.SetColor(0x0000FF);
  dlg.SetCancelError(true);
  EXPECT_THROW(dlg.ShowColor(), CmnDlgCancelError);
  EXPECT_EQ(dlg.LastError(), "32755");
  EXPECT_EQ(dlg.Color(), 0x0000FF);
}

TEST_F(CmnDlgRecordTest, ShowControlStartsTheSystemsRundllWithTheWindowState) {
  char folder[MAX_PATH];
  const std::string rundll = std::string(folder, GetSystemDirectoryA(folder, MAX_PATH)) + "\\rundll32.exe";
  const struct { std::int32_t controlApplet, page, style; std::string applet, runDll, command; } cases[] = {
      {0, 0, SW_SHOWNORMAL, "", "Control_RunDLL", "rundll32.exe shell32.dll,Control_RunDLL"},
      {8, 2, SW_SHOWMAXIMIZED, "", "Control_RunDLL", "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,2"},
      {3, 0, SW_SHOWMINNOACTIVE, "timedate.cpl", "Control_RunDLL",  // the applet wins over ControlApplet
       "rundll32.exe shell32.dll,Control_RunDLL timedate.cpl,,0"},
      {0, -1, SW_HIDE, "x.cpl", "Other_RunDLL", "rundll32.exe shell32.dll,Other_RunDLL x.cpl,,-1"},
      {4, 0, SW_SHOWNORMAL, "", "Control_RunDLL", "<none>"},  // no such item: nothing starts
  };
  for (const auto& c : cases) {
    seen.commandLine = "<none>";
    dlg.SetControlApplet(c.controlApplet);
    dlg.ShowControl(c.page, c.style, c.applet, c.runDll);
    EXPECT_EQ(seen.commandLine, c.command);
    if (c.command == "<none>") continue;
    EXPECT_EQ(seen.program, rundll);
    EXPECT_EQ(seen.startup.cb, sizeof(STARTUPINFOA));
    EXPECT_EQ(seen.startup.dwFlags, DWORD{STARTF_USESHOWWINDOW});
    EXPECT_EQ(seen.startup.wShowWindow, c.style);
    EXPECT_FALSE(seen.inherit);
  }
  answer.startFails = true;
  dlg.SetControlApplet(0);
  try {
    dlg.ShowControl();
    FAIL() << "a command that cannot start";
  } catch (const CmnDlgError& e) {
    EXPECT_EQ(e.Number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(std::string(e.what()).rfind("cannot start 'rundll32.exe shell32.dll,Control_RunDLL': ", 0), 0u)
        << e.what();
  }
}

TEST(HostedCmnDlg, StartsAsAFormThatStoresNothing) {
  HostedCmnDlg dlg;
  EXPECT_TRUE(dlg->BrowsePath());
  EXPECT_EQ(dlg->FilterIndex(), 1);
  EXPECT_EQ((*dlg).LastError(), "0");
}

}  // namespace
}  // namespace quibex
