#pragma once
// The base of every window class: registers the class once, routes the
// window procedure to the object's HandleMessage, and keeps any exception
// from crossing into the system.

#include "ui/Win32.h"

#include <utility>

namespace quibex {

template <class Derived>
class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;
    virtual ~BaseWindow() { Destroy(); }

    HWND Window() const { return hwnd_; }

protected:
    // Creates the window with this object as its handler. Derived supplies
    // ClassName() and may adjust the class in ClassStyle(WNDCLASSEXW&).
    bool CreateFrame(DWORD exStyle, const wchar_t* caption, DWORD style, int x, int y, int width, int height,
                     HWND owner, HMENU menu) {
        if (!Register()) return false;
        return CreateWindowExW(exStyle, Derived::ClassName(), caption, style, x, y, width, height, owner, menu,
                               GetModuleHandleW(nullptr), this) != nullptr;
    }

    // Destroys the window without calling into the object again. A derived
    // window whose controls use its resources (fonts) calls this from its own
    // destructor, before those resources go.
    void Destroy() {
        if (!hwnd_) return;
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(hwnd_, nullptr));
    }

    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

private:
    static bool Register() {
        WNDCLASSEXW wc{};
        if (GetClassInfoExW(GetModuleHandleW(nullptr), Derived::ClassName(), &wc)) return true;
        wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = Derived::ClassName();
        Derived::ClassStyle(wc);
        return RegisterClassExW(&wc) != 0;
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            self = static_cast<Derived*>(static_cast<BaseWindow*>(create->lpCreateParams));
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<BaseWindow*>(self)));
        } else {
            self = static_cast<Derived*>(
                reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        }
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

        LRESULT result = 0;
        try {
            result = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            // A handler that fails leaves its work undone; the window lives on.
            result = DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    HWND hwnd_ = nullptr;
};

}  // namespace quibex
