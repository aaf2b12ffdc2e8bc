#include "ui/frmMain.h"

#include <algorithm>
#include <exception>

#include "engine/MemberStatistics.h"
#include "ui/ControlIds.h"
#include "ui/Maker.h"
#include "ui/SelectionSummary.h"
#include "ui/Text_win.h"
#include "ui/frmAbout.h"
#include "ui/frmProcess.h"
#include "ui/mdlMain.h"
#include "ui/resource.h"

namespace quibex {

namespace {

// The window's client area and controls, in twips.
constexpr int kClientWidth = 6465;
constexpr int kClientHeight = 5235;
constexpr TwipsRect kListItem{30, 120, 2400, 2700};
constexpr TwipsRect kFrameTotal{2490, 30, 3945, 2790};
constexpr TwipsRect kFrameFile{30, 2940, 6405, 2265};

// Inside a frame each figure is a caption label and a value label on one line.
constexpr int kCaptionLeft = 210;
constexpr int kCaptionWidth = 1200;
constexpr int kValueLeft = 1410;
constexpr int kTotalValueWidth = 2400;
constexpr int kFileValueWidth = 4800;
constexpr int kLabelHeight = 195;

struct LabelLine {
    Label value;
    int top;
    const wchar_t* caption;
};

constexpr LabelLine kTotalLines[] = {
    {Label::LabelFormT, 300, L"Form:"},
    {Label::LabelMDIFormT, 510, L"MDI Form:"},
    {Label::LabelModuleT, 720, L"Module:"},
    {Label::LabelClassModuleT, 930, L"Class Module:"},
    {Label::LabelUserControlT, 1140, L"User Control:"},
    {Label::LabelPropertyPageT, 1350, L"Property Page:"},
    {Label::LabelUserDocumentT, 1560, L"User Document:"},
    {Label::LabelBinaryTotalT, 1800, L"Binary:"},
    {Label::LabelInterfaceTotalT, 2010, L"Interface:"},
    {Label::LabelCodeTotalT, 2220, L"Code:"},
    {Label::LabelTotalFileT, 2460, L"Total:"},
};

constexpr LabelLine kFileLines[] = {
    {Label::LabelFileT, 300, L"File Name:"},
    {Label::LabelTypeT, 540, L"Type:"},
    {Label::LabelSizeT, 840, L"Size:"},
    {Label::LabelBinaryT, 1050, L"Binary:"},
    {Label::LabelTotalT, 1260, L"Total:"},
    {Label::LabelInterfaceT, 1530, L"Interface:"},
    {Label::LabelCodeT, 1740, L"Code:"},
    {Label::LabelLineT, 1950, L"Line:"},
};

// One line high, left-aligned, cut where the text no longer fits; "&" in a
// path is a character, not an access key.
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;

// Work that must not stop the window: a step that fails is passed over.
template <class F>
void Step(F&& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

// Whether the window's text is `text` already.
bool ShowsText(HWND hwnd, const std::wstring& text) {
    // The length may come back larger than the text, never smaller.
    const int length = GetWindowTextLengthW(hwnd);
    if (length < static_cast<int>(text.size())) return false;
    std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(std::max(GetWindowTextW(hwnd, shown.data(), length + 1), 0)));
    return shown == text;
}

}  // namespace

frmMain::frmMain(StatisticsModel& statistics, CmnDlgPlatform& dialogs)
    : statistics_(statistics), cmnDlg_(dialogHost_, dialogs) {
    // The window's control stores no property of its own, so it is loaded
    // from an empty form and every property keeps its default.
    MemoryPropertyStore storedForm;
    cmnDlg_.ReadProperties(storedForm);
    cmnDlg_.Resize();
}

void frmMain::ClassStyle(WNDCLASSEXW& wc) {
    wc.hIcon = static_cast<HICON>(
        LoadImageW(wc.hInstance, MAKEINTRESOURCEW(IDI_QUIBEX), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR | LR_SHARED));
    wc.hIconSm = static_cast<HICON>(LoadImageW(wc.hInstance, MAKEINTRESOURCEW(IDI_QUIBEX), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_DEFAULTCOLOR | LR_SHARED));
}

bool frmMain::Create() {
    dpi_ = ScreenDpi();
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU));
    // Fixed single border: no sizing frame, no maximize box.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (!CreateFrame(0, L"Quibex", style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                     menu)) {
        if (menu) DestroyMenu(menu);
        return false;
    }
    SetClientSizeTwips(Window(), kClientWidth, kClientHeight, dpi_);
    return true;
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_CLOSE: OnClose(); return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION: OnEndSession(wParam != FALSE); return 0;
        default: return Default(message, wParam, lParam);
    }
}

HWND frmMain::MakeControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int id,
                          const TwipsRect& twips, HFONT font) {
    const PixelRect p = ToPixels(twips, dpi_.x, dpi_.y);
    HWND control = CreateWindowExW(exStyle, className, text, style, p.left, p.top, p.width, p.height, Window(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                   nullptr);
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void frmMain::OnCreate() {
    dialogHost_.SetOwnerWindow(FromHwnd(Window()));
    font_ = MakeFormFont(dpi_);
    boldFont_ = MakeFormFont(dpi_, {.bold = true});

    // Entries stay in the order the engine adds them: entry i is record i + 1.
    listItem_ = MakeControl(L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY,
                            WS_EX_CLIENTEDGE, IDC_LISTITEM, kListItem, font_.Get());

    // The frames first, so that their labels lie above them.
    MakeControl(L"BUTTON", L"Total", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, IDC_FRAMETOTAL, kFrameTotal,
                font_.Get());
    MakeControl(L"BUTTON", L"File", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, IDC_FRAMEFILE, kFrameFile,
                font_.Get());

    auto makeLines = [this](const auto& lines, const TwipsRect& frame, int valueWidth) {
        for (const LabelLine& line : lines) {
            const int id = ValueLabelId(line.value);
            MakeControl(L"STATIC", line.caption, kLabelStyle, 0, id + IDC_CAPTION_LABEL_OFFSET,
                        Offset({kCaptionLeft, line.top, kCaptionWidth, kLabelHeight}, frame), font_.Get());
            valueLabels_[static_cast<int>(line.value)] =
                MakeControl(L"STATIC", L"", kLabelStyle, 0, id,
                            Offset({kValueLeft, line.top, valueWidth, kLabelHeight}, frame), boldFont_.Get());
        }
    };
    makeLines(kTotalLines, kFrameTotal, kTotalValueWidth);
    makeLines(kFileLines, kFrameFile, kFileValueWidth);
}

void frmMain::OnCommand(int id, int notification) {
    switch (id) {
        case IDC_LISTITEM:
            if (notification == LBN_SELCHANGE) ListItemSelChange();
            break;
        case IDM_FILEOPEN: MenuFileOpen(); break;
        case IDM_FILEEXIT: MenuFileExit(); break;
        case IDM_HELPHOMEPAGE: MenuHelpHomePage(); break;
        case IDM_HELPABOUT: MenuHelpAbout(); break;
        default: break;
    }
}

void frmMain::OnClose() {
    // Whatever asks, and whenever, even from inside a run's yield: the
    // program ends here and now, with nothing to save and nothing to ask.
    mdlMain::EndProgram();
}

void frmMain::OnEndSession(bool ending) {
    if (ending) mdlMain::EndProgram();
}

void frmMain::SetCaption(Label label, std::string_view text) {
    HWND value = ValueLabel(label);
    if (!value) return;
    // A run rewrites all six line figures every 221 lines, and the interface
    // ones stay the same through a member's whole code part; a static control
    // repaints at every new text, even an equal one.
    const std::wstring wide = Widen(text);
    if (!ShowsText(value, wide)) SetWindowTextW(value, wide.c_str());
}

std::string frmMain::Caption(Label label) {
    HWND value = ValueLabel(label);
    return value ? WindowTextOf(value) : std::string();
}

void frmMain::AddItem(std::string_view text) { AddItems({std::string(text)}); }

void frmMain::AddItems(const std::vector<std::string>& texts) {
    // The engine makes each new entry the current one at once, which scrolls
    // it into view. Adding and scrolling would each repaint the scroll bar,
    // the costliest thing a run draws (under Wine milliseconds a time), so
    // the entries are added and the last brought into view with the list's
    // redrawing off: the bar is drawn once when redrawing comes back on, the
    // rows at the run's next yield. Off, change, on, invalidate: the
    // documented way to change a list box without painting every step.
    if (texts.empty()) return;
    SendMessageW(listItem_, WM_SETREDRAW, FALSE, 0);
    LRESULT entry = LB_ERR;
    for (const std::string& text : texts) {
        const LRESULT added = SendMessageW(listItem_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
        if (added >= 0) entry = added;
    }
    if (entry >= 0) SendMessageW(listItem_, LB_SETTOPINDEX, static_cast<WPARAM>(entry), 0);
    SendMessageW(listItem_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listItem_, nullptr, TRUE);
}

Figure frmMain::ListCount() {
    const LRESULT count = SendMessageW(listItem_, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<Figure>(count);
}

void frmMain::SetListIndex(Figure index) {
    if (index < 0 || index >= ListCount()) return;
    const auto entry = static_cast<WPARAM>(index);
    // The current entry of a multiple-selection list is the one with the
    // focus rectangle, selected alone, as a plain click leaves it.
    SendMessageW(listItem_, LB_SETSEL, FALSE, -1);
    SendMessageW(listItem_, LB_SETSEL, TRUE, static_cast<LPARAM>(entry));
    SendMessageW(listItem_, LB_SETCARETINDEX, entry, FALSE);
    ListItemSelChange();
}

void frmMain::SelectListEntry(Figure index) {
    if (index < 0 || index >= ListCount()) return;
    SendMessageW(listItem_, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
    ListItemSelChange();
}

std::vector<Figure> frmMain::SelectedEntries() const {
    std::vector<Figure> entries;
    const LRESULT count = SendMessageW(listItem_, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return entries;
    std::vector<int> items(static_cast<std::size_t>(count));
    const LRESULT got = SendMessageW(listItem_, LB_GETSELITEMS, static_cast<WPARAM>(count),
                                     reinterpret_cast<LPARAM>(items.data()));
    if (got <= 0) return entries;
    items.resize(static_cast<std::size_t>(got));
    entries.assign(items.begin(), items.end());
    return entries;
}

void frmMain::ListItemSelChange() {
    // While a run adds members the engine keeps the figures current itself,
    // and the records are still being written.
    if (statistics_.MemberCount != 0) return;
    for (const auto& [label, text] : SummarizeSelection(statistics_, SelectedEntries())) {
        SetCaption(label, text);
    }
}

void frmMain::ResetFigures() {
    SendMessageW(listItem_, LB_RESETCONTENT, 0, 0);
    WriteResetTexts(*this);
    statistics_.Reset();
}

void frmMain::RunAnalysis(const std::string& path) {
    running_ = true;
    {
        frmProcess process(*this);
        Step([&] { process.SetTag(path); });
        Step([&] { process.FillIt(); });
    }
    running_ = false;
}

void frmMain::MenuFileOpen() {
    // The window is disabled during a run, but an accelerator or a message
    // from outside could still arrive from inside the run's yields.
    if (running_) return;
    try {
        cmnDlg_.ShowOpen();
    } catch (const std::exception&) {
        return;  // the dialog could not be shown: as a cancel, nothing changes
    }
    if (LeadingNumber(cmnDlg_.LastError()) != 0) return;

    const std::string fileName = cmnDlg_.FileName();
    Step([&] { ResetFigures(); });
    Step([&] { SetWindowTextTo(Window(), cmnDlg_.FileTitle() + " - Quibex"); });
    RunAnalysis(fileName);
}

void frmMain::MenuFileExit() { SendMessageW(Window(), WM_CLOSE, 0, 0); }

void frmMain::MenuHelpHomePage() {
    std::string address(kHomePage);
    address += kProgramPage;
    // Fire and forget: the shell's answer lands in LastError, unread.
    Step([&] { cmnDlg_.ShowFile(address); });
}

void frmMain::MenuHelpAbout() {
    // One About window at a time: this window is disabled while it is open,
    // but a posted command could still reach it from the About window's loop.
    static bool showing = false;
    if (showing || running_) return;
    showing = true;
    Step([&] {
        frmAbout about;
        about.ShowModal(Window());
    });
    showing = false;
}

}  // namespace quibex
