#include "ui/Layout_win.h"

#include <algorithm>

namespace quibex {

Dpi ScreenDpi() {
    WindowDC screen(nullptr);
    if (!screen.Get()) return {};
    return {GetDeviceCaps(screen.Get(), LOGPIXELSX), GetDeviceCaps(screen.Get(), LOGPIXELSY)};
}

void PlaceTwips(HWND control, const TwipsRect& rect, const Dpi& dpi) {
    const PixelRect p = ToPixels(rect, dpi.x, dpi.y);
    MoveWindow(control, p.left, p.top, p.width, p.height, FALSE);
}

void SetClientSizeTwips(HWND window, int width, int height, const Dpi& dpi) {
    const int wantWidth = TwipsToPixels(width, dpi.x);
    const int wantHeight = TwipsToPixels(height, dpi.y);
    RECT frame{0, 0, wantWidth, wantHeight};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    AdjustWindowRectEx(&frame, style, GetMenu(window) != nullptr, exStyle);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // AdjustWindowRectEx assumes a one-line menu bar and the nominal frame;
    // correct by what the window really got.
    RECT client{};
    if (GetClientRect(window, &client) && (client.right != wantWidth || client.bottom != wantHeight)) {
        RECT outer{};
        GetWindowRect(window, &outer);
        SetWindowPos(window, nullptr, 0, 0, (outer.right - outer.left) + wantWidth - client.right,
                     (outer.bottom - outer.top) + wantHeight - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

UniqueFont MakeFormFont(const Dpi& dpi, const FontStyle& style) {
    LOGFONTW font{};
    font.lfHeight = FontHeightPixels(style.hundredthsOfPoint, dpi.y);
    font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = style.italic;
    font.lfUnderline = style.underline;
    font.lfCharSet = style.charSet;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynW(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&font));
}

void CentreOver(HWND window, HWND owner) {
    RECT ownerRect{}, rect{};
    if (!GetWindowRect(owner, &ownerRect) || !GetWindowRect(window, &rect)) return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int x = ownerRect.left + ((ownerRect.right - ownerRect.left) - width) / 2;
    int y = ownerRect.top + ((ownerRect.bottom - ownerRect.top) - height) / 2;

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::clamp<int>(x, work.left, std::max<int>(work.left, work.right - width));
        y = std::clamp<int>(y, work.top, std::max<int>(work.top, work.bottom - height));
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace quibex
