// GDI objects behind handles: GetObject, selection into contexts, stock objects, stale handles.
#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

using gdi_test::SurfaceDc;

TEST(Objects, GetObjectDescribesBitmapsFontsAndBrushes) {
    const HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 234, 320);
    BITMAP info{};
    EXPECT_EQ(GetObject(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(GetObject(bitmap, sizeof(info) - 1, &info), 0);
    ASSERT_EQ(GetObject(bitmap, sizeof(info), &info), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(info.bmWidth, 234);
    EXPECT_EQ(info.bmHeight, 320);
    EXPECT_EQ(info.bmPlanes, 1);

    LOGFONT wanted{};
    wanted.lfHeight = -15;
    wanted.lfWeight = FW_BOLD;
    std::wcscpy(wanted.lfFaceName, L"Segoe Condensed");
    const HFONT font = CreateFontIndirect(&wanted);
    LOGFONT got{};
    ASSERT_EQ(GetObject(font, sizeof(got), &got), static_cast<int>(sizeof(LOGFONT)));
    EXPECT_EQ(got.lfHeight, -15);
    EXPECT_EQ(got.lfWeight, FW_BOLD);
    EXPECT_STREQ(got.lfFaceName, L"Segoe Condensed");

    LOGBRUSH brush{};
    ASSERT_EQ(GetObject(GetStockObject(GRAY_BRUSH), sizeof(brush), &brush),
              static_cast<int>(sizeof(LOGBRUSH)));
    EXPECT_EQ(brush.lbStyle, BS_SOLID);
    EXPECT_EQ(brush.lbColor, RGB(128, 128, 128));
    ASSERT_NE(GetObject(GetStockObject(NULL_BRUSH), sizeof(brush), &brush), 0);
    EXPECT_EQ(brush.lbStyle, BS_NULL);

    DeleteObject(bitmap);
    DeleteObject(font);
}

TEST(Objects, MemoryContextStartsWithAOneByOneBitmapAndSwapsSelections) {
    const HDC memory = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(memory, 5, 7);
    const HGDIOBJ original = SelectObject(memory, bitmap);
    ASSERT_NE(original, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObject(original, sizeof(info), &info), 0);
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(SelectObject(memory, original), bitmap);

    const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(SelectObject(memory, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(memory, GetStockObject(WHITE_BRUSH)), brush);
    EXPECT_EQ(SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT)), GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_FALSE(DeleteDC(memory));
    DeleteObject(bitmap);
    DeleteObject(brush);
}

TEST(Objects, MemoryContextDrawsIntoItsBitmapEvenAfterTheHandleIsDeleted) {
    const HDC memory = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(memory, 3, 3);
    SelectObject(memory, bitmap);
    ASSERT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(SetPixel(memory, 2, 2, RGB(9, 8, 7)), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(memory, 2, 2), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(memory, 3, 3), CLR_INVALID);
    EXPECT_EQ(GetObject(bitmap, 0, nullptr), 0);
    DeleteDC(memory);
}

TEST(Objects, BitmapCannotBeSelectedIntoASurfaceContext) {
    SurfaceDc dc(4, 4);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc.hdc, 2, 2);
    EXPECT_EQ(SelectObject(dc.hdc, bitmap), nullptr);
    DeleteObject(bitmap);
}

TEST(Objects, StockObjectsSurviveDeletionAndUnknownHandlesAreHarmless) {
    for (const int stock :
         {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH, DEFAULT_GUI_FONT}) {
        const HGDIOBJ object = GetStockObject(stock);
        ASSERT_NE(object, nullptr) << stock;
        EXPECT_TRUE(DeleteObject(object));
        EXPECT_NE(GetObject(object, 0, nullptr), 0) << stock;
    }
    EXPECT_EQ(GetStockObject(99), nullptr);

    const auto bogus = reinterpret_cast<HGDIOBJ>(std::uintptr_t{0xDEAD0001});
    const auto bogusDc = reinterpret_cast<HDC>(std::uintptr_t{0xDEAD0002});
    RECT r{0, 0, 1, 1};
    EXPECT_FALSE(DeleteObject(bogus));
    EXPECT_EQ(GetObject(bogus, 0, nullptr), 0);
    EXPECT_EQ(SelectObject(bogusDc, GetStockObject(WHITE_BRUSH)), nullptr);
    EXPECT_EQ(FillRect(bogusDc, &r, GetStockObject(WHITE_BRUSH)), 0);
    EXPECT_EQ(SetTextColor(bogusDc, 0), CLR_INVALID);
    EXPECT_EQ(DrawText(bogusDc, L"x", -1, &r, 0), 0);
    EXPECT_FALSE(DeleteDC(nullptr));
}

} // namespace
