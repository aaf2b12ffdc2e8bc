#include "ui/frmAbout.h"

#include <utility>
#include <vector>

#include "ui/Maker.h"
#include "ui/Text_win.h"
#include "common/Version.h"
#include "ui/resource.h"

namespace quibex {

namespace {

// What the load step reads from the program's own version resource.
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
    std::wstring copyright;
};

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: a longer path
    }
}

// The numbers come from the fixed part (FILEVERSION major, minor, 0,
// revision); the copyright from the string table of the first language the
// resource lists. A missing resource leaves zeros and no copyright.
ProgramVersion ReadProgramVersion() {
    ProgramVersion version;
    const std::wstring path = OwnPath();
    DWORD ignored = 0;
    const DWORD size = path.empty() ? 0 : GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return version;
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return version;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
        length >= sizeof *fixed) {
        version.major = HIWORD(fixed->dwFileVersionMS);
        version.minor = LOWORD(fixed->dwFileVersionMS);
        version.revision = LOWORD(fixed->dwFileVersionLS);
    }

    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &length) ||
        !translations || length < sizeof *translations) {
        return version;
    }
    wchar_t key[64] = {};
    wsprintfW(key, L"\\StringFileInfo\\%04x%04x\\LegalCopyright", translations->language, translations->codePage);
    wchar_t* text = nullptr;
    if (VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&text), &length) && text && length > 0) {
        version.copyright.assign(text, wcsnlen(text, length));
    }
    return version;
}

}  // namespace

frmAbout::~frmAbout() {
    // Gone without Unload (a WM_QUIT during the modal loop): the main window
    // must not stay disabled.
    if (disabledOwner_) EnableWindow(disabledOwner_, TRUE);
    Destroy();  // the labels go before their fonts
}

bool frmAbout::Load(HWND main) {
    if (Window()) return true;
    main_ = main;
    dpi_ = ScreenDpi();
    // Fixed tool-window frame: small caption with a close box, not
    // resizable, neither minimize nor maximize box. Owned by the main
    // window, so that it stays above it: without an owner it could fall
    // behind the main window it disables, and the program would look hung.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (!CreateFrame(WS_EX_TOOLWINDOW, L"About...", style, 0, 0, 0, 0, main, nullptr)) return false;
    SetClientSizeTwips(Window(), kAboutClientWidth, kAboutClientHeight, dpi_);
    if (main) CentreOver(Window(), main);
    return true;
}

void frmAbout::ShowModal(HWND main) {
    if (!Load(main)) return;
    // Modal to the main window: it takes no input while this one is open.
    if (main && IsWindowEnabled(main)) {
        EnableWindow(main, FALSE);
        disabledOwner_ = main;
    }
    ShowWindow(Window(), SW_SHOW);
    UpdateWindow(Window());

    MSG msg;
    while (Window()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // Not ours to take: put it back for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Unload();
}

void frmAbout::Unload() {
    // The main window first, so that it gets the activation back when this
    // one goes.
    if (disabledOwner_) EnableWindow(std::exchange(disabledOwner_, nullptr), TRUE);
    if (Window()) DestroyWindow(Window());
}

LRESULT frmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: FormLoad(); return 0;
        case WM_CHAR: FormKeyPress(static_cast<unsigned>(wParam)); return 0;
        case WM_TIMER:
            if (wParam == kUnderlineTimerId) tmrUnderlineTimer();
            return 0;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam), static_cast<short>(LOWORD(lParam)))) return TRUE;
            return Default(message, wParam, lParam);
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_CTLCOLORSTATIC: return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_CLOSE: Unload(); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        default: return Default(message, wParam, lParam);
    }
}

void frmAbout::FormLoad() {
    // This window's fonts are the Central European ones, whatever the
    // system's character set.
    constexpr BYTE kCharSet = EASTEUROPE_CHARSET;
    defaultFont_ = MakeFormFont(dpi_, {.charSet = kCharSet});
    titleFont_ = MakeFormFont(dpi_, {.hundredthsOfPoint = 1200, .bold = true, .charSet = kCharSet});
    boldFont_ = MakeFormFont(dpi_, {.bold = true, .charSet = kCharSet});
    boldItalicFont_ = MakeFormFont(dpi_, {.bold = true, .italic = true, .charSet = kCharSet});
    underlinedFont_ = MakeFormFont(dpi_, {.bold = true, .underline = true, .charSet = kCharSet});
    hand_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_POINTINGHAND));

    std::size_t linkCount = 0;
    for (const AboutLabel& design : kAboutLabels) {
        // Link labels report clicks (SS_NOTIFY); no label takes "&" for an
        // access key, so an address or a copyright shows as written.
        const DWORD style = WS_CHILD | WS_VISIBLE | SS_NOPREFIX | (design.centred ? SS_CENTER : SS_LEFT) |
                            (design.link ? SS_NOTIFY : 0);
        const PixelRect p = ToPixels(design.rect, dpi_.x, dpi_.y);
        HWND label = CreateWindowExW(0, L"STATIC", Widen(design.text).c_str(), style, p.left, p.top, p.width,
                                     p.height, Window(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)),
                                     GetModuleHandleW(nullptr), nullptr);
        if (!label) continue;
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(design.font)), FALSE);
        if (design.link && linkCount < links_.size()) links_[linkCount++] = Link{design.id, design.rect, label, false};
    }

    // The main window's icon.
    if (main_) {
        auto icon = reinterpret_cast<HICON>(SendMessageW(main_, WM_GETICON, ICON_BIG, 0));
        if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(main_, GCLP_HICON));
        if (icon) SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }

    const ProgramVersion version = ReadProgramVersion();
    SetWindowTextTo(Label(IDC_LBLTITLE), QUIBEX_TITLE);
    SetWindowTextTo(Label(IDC_LBLVERSION), VersionText(version.major, version.minor, version.revision));
    SetWindowTextW(Label(IDC_LBLCOPYRIGHT), version.copyright.c_str());
    SetWindowTextTo(Label(IDC_LBLAUTHOR), kAuthorName);
    SetWindowTextTo(Label(IDC_LBLEMAIL), kAuthorEmail);
    SetWindowTextTo(Label(IDC_LBLURL), kHomePage);

    SetTimer(Window(), kUnderlineTimerId, kUnderlineIntervalMs, nullptr);
}

void frmAbout::OnDestroy() { KillTimer(Window(), kUnderlineTimerId); }

HFONT frmAbout::FontFor(AboutFont font) const {
    switch (font) {
        case AboutFont::Title: return titleFont_.Get();
        case AboutFont::Bold: return boldFont_.Get();
        case AboutFont::BoldItalic: return boldItalicFont_.Get();
        case AboutFont::Default: break;
    }
    return defaultFont_.Get();
}

HWND frmAbout::Label(int id) const { return Window() ? GetDlgItem(Window(), id) : nullptr; }

frmAbout::Link* frmAbout::FindLink(HWND label) {
    for (Link& link : links_) {
        if (label && link.label == label) return &link;
    }
    return nullptr;
}

const frmAbout::Link* frmAbout::FindLink(int id) const {
    for (const Link& link : links_) {
        if (link.id == id) return &link;
    }
    return nullptr;
}

bool frmAbout::Underlined(int id) const {
    const Link* link = FindLink(id);
    return link && link->underlined;
}

void frmAbout::FormKeyPress(unsigned character) {
    // Esc, character 27, closes; Enter and every other key do nothing.
    if (character == VK_ESCAPE) Unload();
}

bool frmAbout::OnSetCursor(HWND over, int hitTest) {
    if (busy_) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
        return true;
    }
    if (hitTest == HTCLIENT && FindLink(over) && hand_) {
        SetCursor(hand_);
        return true;
    }
    return false;
}

void frmAbout::OnCommand(int id, int notification) {
    if (notification != STN_CLICKED) return;
    if (id == IDC_LBLEMAIL) lblEmailClick();
    if (id == IDC_LBLURL) lblURLClick();
}

LRESULT frmAbout::OnCtlColorStatic(HDC dc, HWND control) {
    if (!FindLink(control)) {
        return Default(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    }
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void frmAbout::lblEmailClick() {
    Open(MailtoLink(WindowTextOf(Label(IDC_LBLEMAIL)), WindowTextOf(Label(IDC_LBLTITLE))));
}

void frmAbout::lblURLClick() { Open(UrlLink(urlTag_, WindowTextOf(Label(IDC_LBLURL)))); }

void frmAbout::Open(const std::string& target) {
    // The hourglass for as long as the shell takes, over every window of the
    // program; then the pointer that belongs where the mouse is. What the
    // shell answers is not looked at: no mail program or browser, no link.
    busy_ = true;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    if (shellExecute_) shellExecute_(Window(), nullptr, target.c_str(), "", "", SW_SHOWNORMAL);
    busy_ = false;

    POINT at{};
    HWND under = GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
    SetCursor(FindLink(under) && hand_ ? hand_ : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

void frmAbout::tmrUnderlineTimer() {
    // Failures of either call are not looked at: the point then lies
    // nowhere near a link, and nothing is underlined.
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(Window(), &at);
    const int x = PixelsToTwips(at.x, dpi_.x);
    const int y = PixelsToTwips(at.y, dpi_.y);
    for (Link& link : links_) {
        const bool over = IsOver(link.rect, x, y);
        // Only a change is written: a new font repaints the label, and the
        // timer must not repaint it every 50 ms while the pointer rests.
        if (over != link.underlined) SetUnderline(link, over);
    }
}

void frmAbout::SetUnderline(Link& link, bool underlined) {
    link.underlined = underlined;
    SendMessageW(link.label, WM_SETFONT,
                 reinterpret_cast<WPARAM>(underlined ? underlinedFont_.Get() : boldFont_.Get()), TRUE);
}

}  // namespace quibex
