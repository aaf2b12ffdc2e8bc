// The About window on the real controls: what it shows after loading, the
// underline that follows the pointer, what a click hands to the shell, and
// Help > About as a modal window that Esc closes.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/ui/WindowTestSupport.h"
#include "ui/AboutRules.h"
#include "ui/Layout_win.h"
#include "ui/Maker.h"
#include "ui/Text_win.h"
#include "common/Version.h"
#include "ui/frmAbout.h"
#include "ui/resource.h"

namespace quibex {
namespace {

// What the window handed to the shell, with the pointer shown meanwhile.
struct ShellCall {
    HWND owner;
    bool defaultVerb;
    std::string file, parameters, directory;
    INT show;
    HCURSOR cursor;
};
std::vector<ShellCall> g_shellCalls;

HINSTANCE WINAPI RecordShellCall(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                 INT show) {
    g_shellCalls.push_back({owner, !verb || !*verb, file ? file : "<null>", parameters ? parameters : "<null>",
                            directory ? directory : "<null>", show, GetCursor()});
    // "No program for this file": the window must not care.
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
}

HCURSOR SystemCursor(LPCSTR id) { return LoadCursorA(nullptr, id); }
HCURSOR PointingHand() { return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_POINTINGHAND)); }

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    HFONT handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    GetObjectW(handle, sizeof font, &font);
    return font;
}

// Counts the fonts each link label is given: every one repaints it.
std::map<HWND, WNDPROC> g_labelProcs;
std::map<HWND, int> g_fontsSet;
LRESULT CALLBACK CountingLabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFONT) ++g_fontsSet[hwnd];
    return CallWindowProcW(g_labelProcs[hwnd], hwnd, message, wParam, lParam);
}

class AboutWindow : public ::testing::Test, protected test::MainWindowFixture {
protected:
    void SetUp() override {
        g_shellCalls.clear();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(about.Load(window.Window()));
        ShowWindow(about.Window(), SW_SHOWNOACTIVATE);
        UpdateWindow(about.Window());
        dpi = ScreenDpi();
    }

    HWND Label(int id) { return about.Label(id); }

    // The middle of a label, in pixels of the About window's client area.
    POINT MiddleOf(int id) {
        const PixelRect p = ToPixels(FindAboutLabel(id)->rect, dpi.x, dpi.y);
        return {p.left + p.width / 2, p.top + p.height / 2};
    }

    // Puts the pointer at a client-area pixel and lets tmrUnderline tick once.
    void PointAt(POINT client) {
        ClientToScreen(about.Window(), &client);
        ASSERT_TRUE(SetCursorPos(client.x, client.y));
        SendMessageW(about.Window(), WM_TIMER, frmAbout::kUnderlineTimerId, 0);
    }

    bool ShowsUnderline(int id) { return FontOf(Label(id)).lfUnderline != 0; }

    frmAbout about{&RecordShellCall};
    Dpi dpi;
};

// Every label where the layout puts it, in twips of the client area, with
// what the load step wrote into it; and all of each text visible.
TEST_F(AboutWindow, ShowsTheProgramAndItsMakerWhereTheLayoutPutsThem) {
    EXPECT_EQ(WindowTextOf(about.Window()), "About...");
    struct Case {
        int id;
        TwipsRect at;
        std::string text;
        bool centred;
    } cases[] = {
        {IDC_LBLTITLE, {0, 60, 3900, 300}, "Quibex", true},
        {IDC_LBLVERSION, {0, 360, 3900, 195}, QUIBEX_VERSION_TEXT, true},  // read from the version resource
        {IDC_LBLAUTHORC, {60, 690, 600, 195}, "Author:", false},
        {IDC_LBLAUTHOR, {660, 690, 3180, 195}, std::string(kAuthorName), false},
        {IDC_LBLEMAILC, {60, 900, 600, 195}, "E-mail:", false},
        {IDC_LBLEMAIL, {660, 900, 1380, 195}, std::string(kAuthorEmail), false},
        {IDC_LBLURLC, {60, 1110, 600, 195}, "URL:", false},
        {IDC_LBLURL, {660, 1110, 2670, 195}, std::string(kHomePage), false},
        {IDC_LBLCOPYRIGHT, {0, 1470, 3900, 210}, QUIBEX_COPYRIGHT, true},
    };
    for (const Case& c : cases) {
        HWND label = Label(c.id);
        ASSERT_NE(label, nullptr) << c.id;
        EXPECT_TRUE(test::IsPlacedAt(label, c.at, c.text)) << c.id;
        EXPECT_TRUE(test::TextFits(label)) << c.id;
        const LONG_PTR align = GetWindowLongPtrW(label, GWL_STYLE) & SS_TYPEMASK;
        EXPECT_EQ(align, c.centred ? SS_CENTER : SS_LEFT) << c.id;
    }
}

TEST_F(AboutWindow, EachLabelHasItsFont) {
    struct Case {
        int id;
        int hundredthsOfPoint;
        bool bold, italic;
    } cases[] = {
        {IDC_LBLTITLE, 1200, true, false},     {IDC_LBLVERSION, 825, false, false},
        {IDC_LBLAUTHORC, 825, false, false},   {IDC_LBLAUTHOR, 825, true, false},
        {IDC_LBLEMAILC, 825, false, false},    {IDC_LBLEMAIL, 825, true, false},
        {IDC_LBLURLC, 825, false, false},      {IDC_LBLURL, 825, true, false},
        {IDC_LBLCOPYRIGHT, 825, true, true},
    };
    for (const Case& c : cases) {
        const LOGFONTW font = FontOf(Label(c.id));
        EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif") << c.id;
        EXPECT_EQ(font.lfCharSet, 238) << c.id;
        EXPECT_EQ(font.lfHeight, FontHeightPixels(c.hundredthsOfPoint, dpi.y)) << c.id;
        EXPECT_EQ(font.lfWeight >= FW_BOLD, c.bold) << c.id;
        EXPECT_EQ(font.lfItalic != 0, c.italic) << c.id;
        EXPECT_EQ(font.lfUnderline, 0) << c.id;  // the links too, at rest
    }
}

TEST_F(AboutWindow, IsASmallFixedToolWindowCentredOverTheMainWindow) {
    EXPECT_TRUE(test::IsSizeInTwips(test::ClientSize(about.Window()), 3900, 1680, SIZE{260, 112}));
    const LONG_PTR style = GetWindowLongPtrW(about.Window(), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(about.Window(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(style & WS_SYSMENU);  // the close box
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(GetWindow(about.Window(), GW_OWNER), window.Window());

    RECT main{}, own{};
    GetWindowRect(window.Window(), &main);
    GetWindowRect(about.Window(), &own);
    EXPECT_NEAR((own.left + own.right) / 2, (main.left + main.right) / 2, 1);
    EXPECT_NEAR((own.top + own.bottom) / 2, (main.top + main.bottom) / 2, 1);

    const auto mainIcon = reinterpret_cast<HICON>(GetClassLongPtrW(window.Window(), GCLP_HICON));
    ASSERT_NE(mainIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(about.Window(), WM_GETICON, ICON_BIG, 0)), mainIcon);
}

TEST_F(AboutWindow, LinksAreInTheHighlightColour) {
    HDC dc = CreateCompatibleDC(nullptr);
    for (int id : {IDC_LBLEMAIL, IDC_LBLURL, IDC_LBLAUTHOR}) {
        SetTextColor(dc, RGB(1, 2, 3));
        SendMessageW(about.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Label(id)));
        const bool link = id != IDC_LBLAUTHOR;
        EXPECT_EQ(GetTextColor(dc) == GetSysColor(COLOR_HIGHLIGHT), link) << id;
    }
    DeleteDC(dc);
}

TEST_F(AboutWindow, TheUnderlineFollowsThePointerAtTheNextTick) {
    struct Step {
        const char* where;
        POINT at;
        bool email, url;
    } steps[] = {
        {"outside the window", {-40, -40}, false, false},
        {"over lblEmail", MiddleOf(IDC_LBLEMAIL), true, false},
        {"still over lblEmail", MiddleOf(IDC_LBLEMAIL), true, false},
        {"straight over lblURL", MiddleOf(IDC_LBLURL), false, true},
        {"back over lblEmail", MiddleOf(IDC_LBLEMAIL), true, false},
        {"over its caption lblEmailC", MiddleOf(IDC_LBLEMAILC), false, false},
        {"over lblURL", MiddleOf(IDC_LBLURL), false, true},
        {"over the title", MiddleOf(IDC_LBLTITLE), false, false},
        {"far away", {5000, 5000}, false, false},
    };
    for (const Step& s : steps) {
        PointAt(s.at);
        EXPECT_EQ(ShowsUnderline(IDC_LBLEMAIL), s.email) << s.where;
        EXPECT_EQ(ShowsUnderline(IDC_LBLURL), s.url) << s.where;
        EXPECT_EQ(about.Underlined(IDC_LBLEMAIL), s.email) << s.where;
        EXPECT_EQ(about.Underlined(IDC_LBLURL), s.url) << s.where;
    }
}

TEST_F(AboutWindow, ARestingPointerCostsNoRepaint) {
    g_fontsSet.clear();
    for (int id : {IDC_LBLEMAIL, IDC_LBLURL}) {
        HWND label = Label(id);
        g_labelProcs[label] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingLabelProc)));
    }
    // Resting away, then over lblEmail for three ticks, then over lblURL
    // for three: one font for lblEmail going on, one each for the swap.
    for (int i = 0; i < 3; ++i) PointAt({-40, -40});
    EXPECT_EQ(g_fontsSet[Label(IDC_LBLEMAIL)] + g_fontsSet[Label(IDC_LBLURL)], 0);
    for (int i = 0; i < 3; ++i) PointAt(MiddleOf(IDC_LBLEMAIL));
    EXPECT_EQ(g_fontsSet[Label(IDC_LBLEMAIL)], 1);
    EXPECT_EQ(g_fontsSet[Label(IDC_LBLURL)], 0);
    for (int i = 0; i < 3; ++i) PointAt(MiddleOf(IDC_LBLURL));
    EXPECT_EQ(g_fontsSet[Label(IDC_LBLEMAIL)], 2);
    EXPECT_EQ(g_fontsSet[Label(IDC_LBLURL)], 1);

    for (auto& [label, proc] : g_labelProcs) SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    g_labelProcs.clear();
}

TEST_F(AboutWindow, TheTimerRunsByItself) {
    // The real timer, not a tick sent by hand: serve messages until it has
    // underlined the link, and give up after a generous while.
    POINT at = MiddleOf(IDC_LBLURL);
    ClientToScreen(about.Window(), &at);
    ASSERT_TRUE(SetCursorPos(at.x, at.y));
    const DWORD giveUp = GetTickCount() + 10000;
    MSG msg;
    while (!about.Underlined(IDC_LBLURL) && GetTickCount() < giveUp) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        }
    }
    EXPECT_TRUE(ShowsUnderline(IDC_LBLURL));
}

TEST_F(AboutWindow, TheHandPointerShowsOverTheLinksOnly) {
    HCURSOR hand = PointingHand();
    ASSERT_NE(hand, nullptr);
    for (int id : {IDC_LBLEMAIL, IDC_LBLURL, IDC_LBLAUTHOR, IDC_LBLEMAILC}) {
        SetCursor(SystemCursor(IDC_CROSS));
        const LRESULT handled = SendMessageW(about.Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Label(id)),
                                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        const bool link = id == IDC_LBLEMAIL || id == IDC_LBLURL;
        EXPECT_EQ(handled != 0, link) << id;
        EXPECT_EQ(GetCursor() == hand, link) << id;
    }
}

TEST(PointingHand, IsA32By32MonochromeCursorPointingAtItsFingertip) {
    HCURSOR hand = PointingHand();
    ASSERT_NE(hand, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(info.hbmColor, nullptr);  // monochrome: mask and image in one bitmap
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    // The upper half is the transparency mask, the lower the image.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.hbmMask);
    EXPECT_EQ(GetPixel(dc, 5, 0) & 0xFFFFFF, 0u);       // the fingertip is drawn...
    EXPECT_EQ(GetPixel(dc, 5, 32 + 0) & 0xFFFFFF, 0u);  // ...in black
    EXPECT_NE(GetPixel(dc, 0, 0) & 0xFFFFFF, 0u);       // the corner lets the screen through
    EXPECT_EQ(GetPixel(dc, 5, 5) & 0xFFFFFF, 0u);       // inside the finger: opaque...
    EXPECT_NE(GetPixel(dc, 5, 32 + 5) & 0xFFFFFF, 0u);  // ...and white
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(info.hbmMask);
}

TEST_F(AboutWindow, AClickHandsTheLinkToTheShellUnderTheHourglass) {
    struct Case {
        int id;
        std::string tag;
        std::string file;
    } cases[] = {
        {IDC_LBLEMAIL, "", "mailto:" + std::string(kAuthorEmail) + "?subject=Quibex"},
        {IDC_LBLURL, "", std::string(kHomePage)},
        {IDC_LBLURL, "https://elsewhere.example/page", "https://elsewhere.example/page"},
    };
    for (const Case& c : cases) {
        g_shellCalls.clear();
        about.SetURLTag(c.tag);
        HWND label = Label(c.id);
        SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ASSERT_EQ(g_shellCalls.size(), 1u) << c.file;
        const ShellCall& call = g_shellCalls[0];
        EXPECT_EQ(call.file, c.file);
        EXPECT_EQ(call.owner, about.Window());
        EXPECT_TRUE(call.defaultVerb);
        EXPECT_EQ(call.parameters, "");
        EXPECT_EQ(call.directory, "");
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
        EXPECT_EQ(call.cursor, SystemCursor(IDC_WAIT)) << c.file;
        EXPECT_NE(GetCursor(), SystemCursor(IDC_WAIT)) << c.file;  // and back after it
        EXPECT_TRUE(IsWindow(about.Window()));  // the shell's failure is not reported
    }
}

// Help > About runs its own message loop; these steps run inside it, one
// per tick of a thread timer, and the window is closed by force when they
// are done and it is still open.
struct ModalDriver {
    std::vector<std::function<void(HWND about)>> steps;
    std::size_t next = 0;
    int idleTicks = 0;
    bool forced = false;
};
ModalDriver* g_driver = nullptr;

// A callback of the system's own calling convention (stdcall on 32-bit).
BOOL CALLBACK MatchAbout(HWND hwnd, LPARAM out) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (std::wstring_view(name) != frmAbout::ClassName()) return TRUE;
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

HWND FindAbout() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchAbout, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK DriveModal(HWND, UINT, UINT_PTR, DWORD) {
    ModalDriver& d = *g_driver;
    HWND about = FindAbout();
    if (!about) return;
    if (d.next < d.steps.size()) {
        d.steps[d.next++](about);
    } else if (++d.idleTicks > 200) {
        d.forced = true;
        DestroyWindow(about);
    }
}

void PostKey(HWND to, WPARAM key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(to, WM_KEYDOWN, key, scan | 1);
    PostMessageW(to, WM_KEYUP, key, scan | 1 | (1 << 30) | (1u << 31));
}

class HelpAbout : public ::testing::Test, protected test::MainWindowFixture {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    void Run(ModalDriver& driver) {
        g_driver = &driver;
        const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &DriveModal);
        SendMessageW(window.Window(), WM_COMMAND, MAKEWPARAM(IDM_HELPABOUT, 0), 0);
        KillTimer(nullptr, timer);
        g_driver = nullptr;
    }
};

TEST_F(HelpAbout, IsModalAndOnlyEscClosesIt) {
    ModalDriver driver;
    bool mainDisabled = false, ownedByMain = false, openAfterOtherKeys = false;
    driver.steps = {
        [&](HWND about) {
            mainDisabled = !IsWindowEnabled(window.Window());
            ownedByMain = GetWindow(about, GW_OWNER) == window.Window();
            for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{'A'}, WPARAM{VK_SPACE}, WPARAM{VK_TAB}}) PostKey(about, key);
        },
        [&](HWND about) {
            openAfterOtherKeys = IsWindowVisible(about) != FALSE;
            PostKey(about, VK_ESCAPE);
        },
    };
    Run(driver);
    EXPECT_TRUE(mainDisabled);
    EXPECT_TRUE(ownedByMain);
    EXPECT_TRUE(openAfterOtherKeys);
    EXPECT_FALSE(driver.forced) << "Esc did not close the About window";
    EXPECT_EQ(FindAbout(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window.Window()));
}

TEST_F(HelpAbout, TheCloseBoxClosesIt) {
    ModalDriver driver;
    driver.steps = {[](HWND about) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); }};
    Run(driver);
    EXPECT_FALSE(driver.forced);
    EXPECT_EQ(FindAbout(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window.Window()));
}

}  // namespace
}  // namespace quibex
