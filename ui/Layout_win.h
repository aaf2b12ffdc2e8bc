#pragma once
// The screen measures and fonts the windows are laid out with.

#include "ui/Win32.h"

#include "ui/Handles.h"
#include "ui/Twips.h"

namespace quibex {

// The screen's real resolution (the program declares itself DPI-aware, so
// these are not the 96 of a scaled program).
struct Dpi {
    int x = kDefaultDpi;
    int y = kDefaultDpi;
};
Dpi ScreenDpi();

// Places a child control at a rectangle given in twips of its parent's
// client area.
void PlaceTwips(HWND control, const TwipsRect& rect, const Dpi& dpi);

// Sizes a top-level window so that its client area (below the menu bar, if
// it has one) is exactly `width` x `height` twips, keeping its position.
void SetClientSizeTwips(HWND window, int width, int height, const Dpi& dpi);

// The forms' font is "MS Sans Serif", 8.25 pt regular in the system's
// character set unless a style says otherwise.
struct FontStyle {
    int hundredthsOfPoint = 825;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    BYTE charSet = DEFAULT_CHARSET;
};
UniqueFont MakeFormFont(const Dpi& dpi, const FontStyle& style = {});

// Centres `window` over `owner`, keeping it on the owner's monitor.
void CentreOver(HWND window, HWND owner);

}  // namespace quibex
