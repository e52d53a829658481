// Resources registered by code: lookup by id, "#id" and case-blind name, per module; data, size,
// bitmaps, icons, and a dialog box run from a template resource.
#include "TestWindows.h"

#include "platform/gdi/GdiApi.h"
#include "platform/win/Resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace lwtest;
namespace resources = platform::resources;

namespace {

class ResourceTest : public WinTest {};

const char kBlob[] = "blob";

// A 2 x 1 BMP file image, 24 bits per pixel, bottom-up.
std::vector<unsigned char> TinyBmp() {
    std::vector<unsigned char> bmp(14 + 40 + 8, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&bmp[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&bmp[at], &v, 2); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 1);
    put16(26, 1);
    put16(28, 24);
    put32(34, 8);
    return bmp;
}

TEST_F(ResourceTest, ResourcesAreFoundByIdNameAndModule) {
    const HINSTANCE other = reinterpret_cast<HINSTANCE>(0x777000);
    resources::Register(nullptr, RT_RCDATA, MAKEINTRESOURCE(301), kBlob, 4);
    resources::Register(nullptr, RT_RCDATA, L"Notes", kBlob + 1, 3);
    resources::Register(other, RT_RCDATA, MAKEINTRESOURCE(301), kBlob + 2, 2);
    const struct {
        HINSTANCE module;
        LPCWSTR name;
        const void* data;
        DWORD size;
    } lookups[] = {
        {nullptr, MAKEINTRESOURCE(301), kBlob, 4},   {resources::ProgramInstance(), L"#301", kBlob, 4},
        {nullptr, L"NOTES", kBlob + 1, 3},           {other, MAKEINTRESOURCE(301), kBlob + 2, 2},
        {nullptr, MAKEINTRESOURCE(302), nullptr, 0}, {other, L"Notes", nullptr, 0},
    };
    for (const auto& l : lookups) {
        const HRSRC found = FindResource(l.module, l.name, RT_RCDATA);
        if (!l.data) {
            EXPECT_EQ(found, nullptr);
            EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
            continue;
        }
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(LockResource(LoadResource(l.module, found)), l.data);
        EXPECT_EQ(SizeofResource(l.module, found), l.size);
    }
    EXPECT_EQ(FindResource(nullptr, MAKEINTRESOURCE(301), RT_BITMAP), nullptr) << "types are kept apart";
}

TEST_F(ResourceTest, BitmapsAndIconsLoad) {
    static const auto bmp = TinyBmp();
    resources::Register(nullptr, RT_BITMAP, MAKEINTRESOURCE(133), bmp.data(), static_cast<DWORD>(bmp.size()));
    resources::Register(nullptr, RT_GROUP_ICON, MAKEINTRESOURCE(128), kBlob, 4);
    const HBITMAP bitmap = LoadBitmap(resources::ProgramInstance(), MAKEINTRESOURCE(133));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObject(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 2);
    EXPECT_EQ(info.bmHeight, 1);
    DeleteObject(bitmap);
    EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(134)), nullptr);
    EXPECT_NE(LoadIcon(nullptr, MAKEINTRESOURCE(128)), nullptr);
    EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCE(129)), nullptr);
}

TEST_F(ResourceTest, ADialogRunsFromItsTemplateResource) {
    static TemplateBuilder tmpl(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 113, 95, L"Call");
    resources::Register(nullptr, RT_DIALOG, MAKEINTRESOURCE(105), &tmpl.get(), sizeof(DLGTEMPLATE));
    const HRSRC found = FindResource(resources::ProgramInstance(), MAKEINTRESOURCE(105), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    const auto* loaded = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, found)));
    DialogScript script{"call", [](HWND d, UINT msg, WPARAM, LPARAM) -> std::optional<INT_PTR> {
                            if (msg == WM_INITDIALOG) {
                                wchar_t caption[16] = {};
                                GetWindowText(d, caption, 16);
                                EndDialog(d, std::wstring(caption) == L"Call" ? 1 : 2);
                                return FALSE;
                            }
                            return std::nullopt;
                        }};
    EXPECT_EQ(RunDialog(*loaded, nullptr, script), 1);
}

} // namespace
