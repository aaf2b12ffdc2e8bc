#pragma once
// Owners for Win32 handles: every handle the windows create is released by
// exactly one of these. Move-only; copying one does not compile.

#include "ui/Win32.h"

#include <type_traits>
#include <utility>

namespace quibex {

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Close(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }

    // Gives the handle up without closing it.
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        Close();
        handle_ = handle;
    }

private:
    void Close() {
        if (handle_ != Traits::Invalid()) Traits::Close(handle_);
        handle_ = Traits::Invalid();
    }

    Handle handle_ = Traits::Invalid();
};

struct FontTraits {
    using Handle = HFONT;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
using UniqueFont = UniqueHandle<FontTraits>;

struct KernelTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
using UniqueKernelHandle = UniqueHandle<KernelTraits>;

static_assert(!std::is_copy_constructible_v<UniqueFont> && !std::is_copy_assignable_v<UniqueFont>);
static_assert(std::is_nothrow_move_constructible_v<UniqueKernelHandle>);

// A window's device context, from GetDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

}  // namespace quibex
