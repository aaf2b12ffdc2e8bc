#include "tests/setup/SetupFiles.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "setup/WinSupport.h"

namespace quibex::test {

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::set<std::wstring> Listing(const std::wstring& folder) {
    std::set<std::wstring> names;
    std::wstring pattern = folder;
    if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.insert(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

LinkProperties ReadLink(const std::wstring& linkFile) {
    LinkProperties p;
    win::ComPtr<IShellLinkA> link;
    EXPECT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid()));
    if (!link) return p;
    win::ComPtr<IPersistFile> file;
    EXPECT_HRESULT_SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid()));
    if (!file) return p;
    EXPECT_HRESULT_SUCCEEDED(file->Load(linkFile.c_str(), STGM_READ)) << ::testing::PrintToString(linkFile);
    char text[MAX_PATH * 2] = {};
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    p.target = text;
    text[0] = 0;
    link->GetWorkingDirectory(text, MAX_PATH);
    p.workingFolder = text;
    text[0] = 0;
    link->GetArguments(text, MAX_PATH);
    p.arguments = text;
    text[0] = 0;
    link->GetIconLocation(text, MAX_PATH, &p.iconIndex);
    p.iconFile = text;
    text[0] = 0;
    link->GetDescription(text, MAX_PATH);
    p.description = text;
    // Wine 8's link object forgets the show command when it loads a file,
    // so it is read where the file format keeps it: 4 bytes at offset 0x3C.
    std::ifstream in(std::filesystem::path(linkFile), std::ios::binary);
    unsigned char header[0x40] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    EXPECT_TRUE(in) << "link file shorter than its header: " << ::testing::PrintToString(linkFile);
    if (in) {
        const auto b = [&](std::size_t i) { return static_cast<unsigned>(header[i]); };
        p.showCommand = static_cast<int>(b(0x3C) | b(0x3D) << 8 | b(0x3E) << 16 | b(0x3F) << 24);
    }
    return p;
}

}  // namespace quibex::test
