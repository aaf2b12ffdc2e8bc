#pragma once
// Owners for the Win32 and COM resources of set-up, and the conversions
// between the program's UTF-16 text and the ANSI text of the "A" calls.
// Every wrapper is move-only: copying one must not compile.

#include <windows.h>
#include <objbase.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/ComApartment_win.h"
#include "engine/WideText_win.h"

namespace quibex::win {

// A COM interface pointer, released on destruction.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For functions that hand out a new reference: releases the old one first.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    T* p_ = nullptr;
};

// An open registry key.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Get() const { return key_; }
    HKEY* Put() {
        if (key_) RegCloseKey(std::exchange(key_, nullptr));
        return &key_;
    }

private:
    HKEY key_ = nullptr;
};

// A kernel handle from CreateFile and friends (invalid as
// INVALID_HANDLE_VALUE or null).
class FileHandle {
public:
    explicit FileHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE Get() const { return h_; }
    // Closes now and tells whether that worked; false when there was nothing.
    bool Close() {
        if (!Valid()) return false;
        return CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE)) != FALSE;
    }

private:
    HANDLE h_;
};

// UTF-16 text in the system code page; nothing when a character has no form
// there (the "?" Windows would put in its place names another file).
inline std::optional<std::string> ToAnsi(std::wstring_view text) {
    if (text.empty()) return std::string();
    // With UTF-8 as the system code page every character has a form, and the
    // call refuses the "lossy" flag; elsewhere the flag tells.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, utf8 ? nullptr : &lossy);
    if (n <= 0 || lossy) return std::nullopt;
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), size, ansi.data(), n, nullptr, nullptr);
    return ansi;
}

}  // namespace quibex::win
