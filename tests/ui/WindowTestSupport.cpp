#include "tests/ui/WindowTestSupport.h"

#include <algorithm>

#include "ui/Layout_win.h"
#include "ui/Text_win.h"

namespace quibex::test {

namespace {

void CopyInto(std::string& buffer, const std::string& text) {
    const std::size_t n = std::min(text.size(), buffer.empty() ? 0 : buffer.size() - 1);
    std::copy_n(text.begin(), n, buffer.begin());
    buffer[n] = '\0';
}

DuringRun* g_duringRun = nullptr;

// Under Wine with no window manager (Xvfb), hiding or destroying a shown
// window waits two seconds for a manager that never answers; that would cost
// every run's processing window two seconds. Unmanaged windows do not wait.
// Wine reads this per-program setting when the process starts, so it takes
// effect from the second start on (ctest starts the program once first).
// Windows itself ignores the key.
const bool kUnmanagedUnderWine = [] {
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return false;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const wchar_t* name = wcsrchr(self, L'\\');
    const std::wstring key = std::wstring(L"Software\\Wine\\AppDefaults\\") + (name ? name + 1 : self) +
                             L"\\X11 Driver";
    return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Managed", REG_SZ, L"N", 2 * sizeof(wchar_t)) ==
           ERROR_SUCCESS;
}();
const UINT kRunHook = RegisterWindowMessageW(L"Quibex.Tests.DuringRun");

}  // namespace

bool FakeDialogs::RunFileDialog(FileDialogKind kind, FileDialogRequest& request) {
    if (kind != FileDialogKind::Open) return false;
    ++openDialogs;
    if (!chosenPath) return false;
    CopyInto(request.file, *chosenPath);
    const std::size_t slash = chosenPath->find_last_of('\\');
    CopyInto(request.fileTitle, slash == std::string::npos ? *chosenPath : chosenPath->substr(slash + 1));
    return true;
}

std::int32_t FakeDialogs::RunShellVerb(WindowHandle, std::string_view, std::string_view file,
                                       std::string_view parameters, std::string_view, std::int32_t) {
    shellFiles.emplace_back(file);
    shellParameters.emplace_back(parameters);
    return 42;
}

bool MainWindowFixture::Start() {
    if (!window.Create()) return false;
    ShowWindow(window.Window(), SW_SHOWNOACTIVATE);
    UpdateWindow(window.Window());
    return true;
}

std::map<std::string, std::string> LabelTexts(frmMain& window) {
    std::map<std::string, std::string> texts;
    for (Label label : AllLabels()) texts[std::string(LabelName(label))] = WindowTextOf(window.ValueLabel(label));
    return texts;
}

::testing::AssertionResult LabelsShow(frmMain& window, std::initializer_list<LabelText> expected) {
    const std::map<std::string, std::string> texts = LabelTexts(window);
    std::string wrong;
    for (const auto& [name, text] : expected) {
        const auto found = texts.find(name);
        if (found == texts.end()) {
            wrong += "\n  no label " + name;
        } else if (found->second != text) {
            wrong += "\n  " + name + " shows " + ::testing::PrintToString(found->second) + ", expected " +
                     ::testing::PrintToString(text);
        }
    }
    if (wrong.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "labels that differ:" << wrong;
}

std::vector<std::string> ListEntries(HWND list) {
    std::vector<std::string> entries;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        entries.push_back(Narrow(text));
    }
    return entries;
}

std::vector<int> SelectedIndices(HWND list) {
    const LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    std::vector<int> items(static_cast<std::size_t>(std::max<LRESULT>(count, 0)));
    if (!items.empty()) {
        SendMessageW(list, LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()));
    }
    return items;
}

void ClickEntry(HWND list, int index, bool control) {
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    const WPARAM keys = control ? MK_CONTROL : 0;
    SendMessageW(list, WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, keys, at);
}

namespace {

// A callback of the system's own calling convention (stdcall on 32-bit).
BOOL CALLBACK FindProcessingWindow(HWND hwnd, LPARAM out) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (std::wstring_view(name) == L"Quibex.frmProcess") {
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND ProcessingWindow() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindProcessingWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

::testing::AssertionResult IsSizeInTwips(SIZE client, int width, int height, std::optional<SIZE> at96Dpi) {
    const Dpi dpi = ScreenDpi();
    std::string wrong;
    auto expect = [&](SIZE wanted, const std::string& why) {
        if (client.cx == wanted.cx && client.cy == wanted.cy) return;
        wrong += "\n  expected " + std::to_string(wanted.cx) + " x " + std::to_string(wanted.cy) + " pixels, " + why;
    };
    expect({TwipsToPixels(width, dpi.x), TwipsToPixels(height, dpi.y)},
           std::to_string(width) + " x " + std::to_string(height) + " twips at " + std::to_string(dpi.x) + " x " +
               std::to_string(dpi.y) + " dpi");
    if (at96Dpi && dpi.x == 96 && dpi.y == 96) expect(*at96Dpi, "as laid out at 96 dpi");
    if (wrong.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the client area is " << client.cx << " x " << client.cy << " pixels;"
                                         << wrong;
}

::testing::AssertionResult IsPlacedAt(HWND control, const TwipsRect& twips, const std::string& text) {
    if (!control) return ::testing::AssertionFailure() << "no such control";
    const Dpi dpi = ScreenDpi();
    const PixelRect want = ToPixels(twips, dpi.x, dpi.y);
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    const PixelRect got{r.left, r.top, r.right - r.left, r.bottom - r.top};
    const std::string shown = WindowTextOf(control);
    if (got == want && shown == text) return ::testing::AssertionSuccess();
    auto describe = [](const PixelRect& p) {
        return std::to_string(p.left) + "," + std::to_string(p.top) + " " + std::to_string(p.width) + "x" +
               std::to_string(p.height);
    };
    return ::testing::AssertionFailure() << "\"" << shown << "\" at " << describe(got) << ", expected \"" << text
                                         << "\" at " << describe(want);
}

::testing::AssertionResult TextFits(HWND control) {
    const std::wstring text = Widen(WindowTextOf(control));
    WindowDC dc(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc.Get(), font ? font : GetStockObject(SYSTEM_FONT));
    SIZE extent{};
    GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc.Get(), LF_FACESIZE, face);
    SelectObject(dc.Get(), old);
    RECT client{};
    GetClientRect(control, &client);
    if (extent.cx <= client.right && extent.cy <= client.bottom) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << Narrow(text) << "\" in " << Narrow(face) << " takes " << extent.cx
                                         << "x" << extent.cy << " pixels of " << client.right << "x" << client.bottom;
}

DuringRun::DuringRun(frmMain& window, int entries, std::function<void()> onEntry)
    : window_(window),
      interval_(window.RefreshInterval()),
      list_(window.ListItem()),
      entries_(entries),
      onEntry_(std::move(onEntry)) {
    g_duringRun = this;
    window_.SetRefreshInterval(std::chrono::milliseconds(0));
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DuringRun::ListProc)));
}

DuringRun::~DuringRun() {
    SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    window_.SetRefreshInterval(interval_);
    g_duringRun = nullptr;
}

LRESULT CALLBACK DuringRun::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DuringRun* self = g_duringRun;
    if (message == kRunHook) {
        // Delivered by a yield of the run: the engine is between members.
        self->ran_ = true;
        self->onEntry_();
        return 0;
    }
    const LRESULT result = CallWindowProcW(self->previous_, hwnd, message, wParam, lParam);
    if (message == LB_ADDSTRING && !self->posted_ &&
        SendMessageW(hwnd, LB_GETCOUNT, 0, 0) >= self->entries_) {
        self->posted_ = true;
        PostMessageW(hwnd, kRunHook, 0, 0);
    }
    return result;
}

}  // namespace quibex::test
