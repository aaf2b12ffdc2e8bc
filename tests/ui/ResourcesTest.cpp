// The program's resources as Windows reads them: version information, the
// icon made from its text picture, and the manifest. This test program
// carries the same resource objects as Quibex.exe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Version.h"
#include "ui/Win32.h"
#include "ui/resource.h"

namespace quibex {
namespace {

std::vector<char> OwnVersionInfo() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, data.data())) data.clear();
    return data;
}

std::wstring VersionString(std::vector<char>& data, const std::wstring& name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring key = L"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return L"<none>";
    return std::wstring(text);
}

TEST(VersionInformation, CarriesTheProgramsNamesAndVersion) {
    std::vector<char> data = OwnVersionInfo();
    ASSERT_FALSE(data.empty());
    const std::pair<const wchar_t*, const wchar_t*> fields[] = {
        {L"CompanyName", L"Olvek"},       {L"ProductName", L"Quibex"},
        {L"FileVersion", L"" QUIBEX_VERSION_TEXT},   {L"ProductVersion", L"" QUIBEX_VERSION_TEXT},
        {L"InternalName", L"Quibex"},     {L"OriginalFilename", L"Quibex.exe"},
    };
    for (const auto& [name, value] : fields) EXPECT_EQ(VersionString(data, name), value) << name;
    EXPECT_NE(VersionString(data, L"LegalCopyright").find(L"Olvek"), std::wstring::npos);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 70);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 5);
}

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct IconDir {
    WORD reserved, type, count;
    IconDirEntry entries[1];
};
#pragma pack(pop)
static_assert(sizeof(IconDir) == 20, "the icon directory of a resource has a fixed layout");

TEST(ProgramIcon, IsOne32By32ImageIn16Colours) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(self, MAKEINTRESOURCEW(IDI_QUIBEX), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(SizeofResource(self, group), sizeof(IconDir));
    const auto* dir = static_cast<const IconDir*>(LockResource(LoadResource(self, group)));
    EXPECT_EQ(dir->type, 1);
    ASSERT_EQ(dir->count, 1);
    const IconDirEntry& entry = dir->entries[0];
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.height, 32);
    EXPECT_EQ(entry.colourCount, 16);
    EXPECT_EQ(entry.bitCount, 4);

    HRSRC image = FindResourceW(self, MAKEINTRESOURCEW(entry.id), MAKEINTRESOURCEW(3));  // RT_ICON
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(SizeofResource(self, image), entry.bytesInRes);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self, image)));
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biWidth, 32);
    EXPECT_EQ(header->biHeight, 64);  // colour rows and mask rows
    EXPECT_EQ(header->biBitCount, 4);

    // And Windows makes an icon of it whose corners are see-through and
    // whose middle is not.
    HICON icon = static_cast<HICON>(LoadImageW(self, MAKEINTRESOURCEW(IDI_QUIBEX), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.hbmMask);
    EXPECT_NE(GetPixel(dc, 0, 0) & 0xFFFFFF, 0u);   // transparent corner
    EXPECT_EQ(GetPixel(dc, 15, 15) & 0xFFFFFF, 0u); // opaque page
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DestroyIcon(icon);
}

TEST(Manifest, DeclaresDpiAwareness) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC manifest = FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(self, manifest))),
                           SizeofResource(self, manifest));
    EXPECT_NE(text.find("<dpiAware>true</dpiAware>"), std::string::npos);
}

}  // namespace
}  // namespace quibex
