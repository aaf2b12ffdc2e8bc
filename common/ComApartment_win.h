#pragma once
// The component object library on this thread for as long as the owner
// lives: the shell link of set-up and the dialogs' folder browser both
// need one, and the program sets one up nowhere else.

#include <windows.h>
#include <objbase.h>

namespace quibex::win {

class ComApartment {
public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // Usable when the library came up now or was already up on this thread,
    // in whichever model: the objects the program uses work in both.
    bool Usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace quibex::win
