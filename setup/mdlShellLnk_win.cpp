#include "setup/mdlShellLnk.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <optional>

#include "setup/WinSupport.h"

namespace quibex::mdlShellLnk {

namespace {

// Resolve quietly (no window, whatever happens) and store what it finds.
const DWORD kResolveFlags = SLR_NO_UI | SLR_UPDATE;

const HRESULT kNoAnsiForm = HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION);

}  // namespace

HRESULT CreateShortcut(const std::wstring& linkFile, const std::wstring& target, const std::wstring& workingFolder,
                       const std::wstring& arguments, const std::wstring& iconFile, std::int32_t iconIndex,
                       std::int32_t showCommand, const std::wstring& description) {
    // All text is converted before the link object exists, so a failure here
    // leaves nothing half done.
    const std::optional<std::string> targetA = win::ToAnsi(target);
    const std::optional<std::string> workingFolderA = win::ToAnsi(workingFolder);
    const std::optional<std::string> argumentsA = win::ToAnsi(arguments);
    const std::optional<std::string> iconFileA = win::ToAnsi(iconFile);
    const std::optional<std::string> descriptionA = win::ToAnsi(description);
    if (!targetA || !workingFolderA || !argumentsA || !iconFileA || !descriptionA) return kNoAnsiForm;

    win::ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid());
    if (FAILED(hr)) return hr;
    win::ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(hr)) return hr;

    hr = link->SetPath(targetA->c_str());
    if (FAILED(hr)) return hr;
    if (!workingFolderA->empty()) {
        hr = link->SetWorkingDirectory(workingFolderA->c_str());
        if (FAILED(hr)) return hr;
    }
    if (!argumentsA->empty()) {
        hr = link->SetArguments(argumentsA->c_str());
        if (FAILED(hr)) return hr;
    }
    if (!descriptionA->empty()) {
        hr = link->SetDescription(descriptionA->c_str());
        if (FAILED(hr)) return hr;
    }
    if (!iconFileA->empty()) {
        hr = link->SetIconLocation(iconFileA->c_str(), iconIndex);
        if (FAILED(hr)) return hr;
    }
    hr = link->SetShowCmd(showCommand);
    if (FAILED(hr)) return hr;
    hr = link->Resolve(nullptr, kResolveFlags);
    if (FAILED(hr)) return hr;
    // FALSE: the object is not to take the link file as its current file.
    return file->Save(linkFile.c_str(), FALSE);
}

}  // namespace quibex::mdlShellLnk
