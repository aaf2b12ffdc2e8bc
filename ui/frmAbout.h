#pragma once
// frmAbout: the About window. The program's title, version and copyright,
// the author, and two links (the e-mail address and the home page) that
// underline while the mouse pointer is over them.

#include "ui/Win32.h"

#include <shellapi.h>

#include <array>
#include <string>
#include <utility>

#include "ui/AboutRules.h"
#include "ui/BaseWindow.h"
#include "ui/Handles.h"
#include "ui/Layout_win.h"

namespace quibex {

// What opens a link: the shell's ShellExecuteA, or a test's stand-in.
using ShellExecuteFunction = decltype(&::ShellExecuteA);

class frmAbout : public BaseWindow<frmAbout> {
public:
    explicit frmAbout(ShellExecuteFunction shellExecute = &::ShellExecuteA) : shellExecute_(shellExecute) {}
    ~frmAbout() override;

    // Creates and loads the window, hidden, centred over `main`, which owns
    // it and lends it its icon.
    bool Load(HWND main);

    // Help > About: loads the window if needed and shows it modal to `main`
    // (disabled meanwhile); returns once the window has closed.
    void ShowModal(HWND main);

    // Esc and the close button: re-enables the main window, then closes.
    void Unload();

    // The event responses.
    void FormKeyPress(unsigned character);
    void lblEmailClick();
    void lblURLClick();
    void tmrUnderlineTimer();

    // A label by its control number (IDC_LBLEMAIL for lblEmail).
    HWND Label(int id) const;
    // Whether link label `id` (IDC_LBLEMAIL or IDC_LBLURL) is underlined now.
    bool Underlined(int id) const;
    // lblURL's tag text: when not empty, a click opens it instead of the
    // label's text. Empty as the window is made.
    void SetURLTag(std::string tag) { urlTag_ = std::move(tag); }

    static const wchar_t* ClassName() { return L"Quibex.frmAbout"; }
    static void ClassStyle(WNDCLASSEXW&) {}
    static constexpr UINT_PTR kUnderlineTimerId = 1;

private:
    friend class BaseWindow<frmAbout>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void FormLoad();
    void OnDestroy();
    bool OnSetCursor(HWND over, int hitTest);
    void OnCommand(int id, int notification);
    LRESULT OnCtlColorStatic(HDC dc, HWND control);

    struct Link {
        int id;
        TwipsRect rect;
        HWND label = nullptr;
        bool underlined = false;
    };
    Link* FindLink(HWND label);
    const Link* FindLink(int id) const;
    void SetUnderline(Link& link, bool underlined);
    void Open(const std::string& target);
    HFONT FontFor(AboutFont font) const;

    ShellExecuteFunction shellExecute_;
    HWND main_ = nullptr;
    HWND disabledOwner_ = nullptr;
    Dpi dpi_;
    UniqueFont defaultFont_;
    UniqueFont titleFont_;
    UniqueFont boldFont_;
    UniqueFont boldItalicFont_;
    UniqueFont underlinedFont_;  // a link's font while the pointer is over it
    HCURSOR hand_ = nullptr;
    bool busy_ = false;  // the hourglass, while the shell opens a link
    std::array<Link, 2> links_{};
    std::string urlTag_;
};

}  // namespace quibex
