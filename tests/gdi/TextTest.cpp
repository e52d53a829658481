// Text through FreeType: extents, where DrawText puts ink, and that it stays inside its rectangle.
#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

using gdi_test::SurfaceDc;

constexpr std::uint32_t kWhite = 0xFFFFFF;

// The bounding box of the pixels that differ from `back`, within the whole surface; empty if none.
RECT InkBox(const SurfaceDc& dc, std::uint32_t back) {
    const auto image = dc.surface->snapshot();
    RECT box{1 << 20, 1 << 20, -1, -1};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.pixels[static_cast<std::size_t>(y) * image.width + x] != back) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    }
    return box.right < 0 ? RECT{0, 0, 0, 0} : box;
}

SIZE Extent(HDC hdc, const std::wstring& text) {
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32(hdc, text.c_str(), static_cast<int>(text.size()), &size));
    return size;
}

HFONT MakeFont(LONG height, LONG weight) {
    LOGFONT log{};
    log.lfHeight = height;
    log.lfWeight = weight;
    std::wcscpy(log.lfFaceName, L"Tahoma");
    return CreateFontIndirect(&log);
}

TEST(Text, ExtentsAddUpAndFollowTheFont) {
    SurfaceDc dc(10, 10);
    TEXTMETRIC metrics{};
    ASSERT_TRUE(GetTextMetrics(dc.hdc, &metrics));
    const SIZE run = Extent(dc.hdc, L"Run");
    EXPECT_GT(run.cx, 10);
    EXPECT_EQ(run.cy, metrics.tmHeight);
    EXPECT_EQ(metrics.tmHeight, metrics.tmAscent + metrics.tmDescent);
    EXPECT_EQ(Extent(dc.hdc, L"RunRun").cx, 2 * run.cx);
    EXPECT_EQ(Extent(dc.hdc, L"").cx, 0);

    const int regularWidth = Extent(dc.hdc, L"Hang Up").cx;
    const HFONT bold = MakeFont(-12, FW_BOLD);
    const HGDIOBJ old = SelectObject(dc.hdc, bold);
    EXPECT_GT(Extent(dc.hdc, L"Hang Up").cx, regularWidth);

    const HFONT big = MakeFont(-24, FW_NORMAL);
    SelectObject(dc.hdc, big);
    EXPECT_GT(Extent(dc.hdc, L"Run").cy, run.cy);
    const HFONT cell = MakeFont(30, FW_NORMAL); // positive: line height
    SelectObject(dc.hdc, cell);
    EXPECT_NEAR(Extent(dc.hdc, L"Run").cy, 30, 1);
    SelectObject(dc.hdc, old);
    DeleteObject(bold);
    DeleteObject(big);
    DeleteObject(cell);
}

TEST(Text, DrawingChangesPixelsInsideTheRectangleOnly) {
    SurfaceDc dc(120, 50, kWhite);
    SetBkMode(dc.hdc, OPAQUE);
    SetBkColor(dc.hdc, RGB(255, 0, 0));
    SetTextColor(dc.hdc, RGB(0, 0, 0));
    RECT rect{10, 10, 60, 22}; // too small for the text on purpose
    EXPECT_GT(DrawText(dc.hdc, L"Stop - 28 sec", -1, &rect, DT_LEFT | DT_WORDBREAK), 0);
    const RECT ink = InkBox(dc, kWhite);
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.top, 10);
    EXPECT_LE(ink.right, 60);
    EXPECT_LE(ink.bottom, 22);
    EXPECT_GT(ink.right, 40);
}

TEST(Text, CalcRectMeasuresWithoutDrawing) {
    SurfaceDc dc(100, 100, kWhite);
    RECT rect{5, 7, 5, 7};
    const int height = DrawText(dc.hdc, L"&Run", -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    const SIZE extent = Extent(dc.hdc, L"Run");
    EXPECT_EQ(height, extent.cy);
    EXPECT_EQ(rect.right - rect.left, extent.cx);
    EXPECT_EQ(rect.bottom - rect.top, extent.cy);
    EXPECT_EQ(InkBox(dc, kWhite).right, 0);

    RECT two{0, 0, 1000, 0};
    EXPECT_EQ(DrawText(dc.hdc, L"Line one\nLine two", -1, &two, DT_CALCRECT), 2 * extent.cy);
    EXPECT_EQ(two.right, Extent(dc.hdc, L"Line one").cx);
    RECT noPrefix{0, 0, 0, 0};
    DrawText(dc.hdc, L"&Run", -1, &noPrefix, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(noPrefix.right, Extent(dc.hdc, L"&Run").cx);
}

TEST(Text, AlignmentPlacesTheInk) {
    struct Case {
        UINT format;
        const char* name;
    };
    const Case cases[] = {{DT_LEFT, "left"}, {DT_CENTER, "center"}, {DT_RIGHT, "right"}};
    for (const auto& c : cases) {
        SurfaceDc dc(200, 60, kWhite);
        SetBkMode(dc.hdc, TRANSPARENT);
        RECT rect{20, 10, 180, 50};
        const int bottom = DrawText(dc.hdc, L"Hang Up", -1, &rect, c.format | DT_SINGLELINE | DT_VCENTER);
        const RECT ink = InkBox(dc, kWhite);
        const int width = Extent(dc.hdc, L"Hang Up").cx;
        const int height = Extent(dc.hdc, L"Hang Up").cy;
        EXPECT_EQ(bottom, (40 - height) / 2 + height) << c.name;
        const int penLeft = c.format == DT_LEFT     ? 20
                            : c.format == DT_CENTER ? 20 + (160 - width) / 2
                                                    : 180 - width;
        EXPECT_NEAR(ink.left, penLeft, 2) << c.name;
        EXPECT_NEAR(ink.right, penLeft + width, 2) << c.name;
        EXPECT_GE(ink.top, 10 + (40 - height) / 2) << c.name;
        EXPECT_LE(ink.bottom, 10 + (40 - height) / 2 + height) << c.name;
    }
}

TEST(Text, OpaqueModeFillsTheLineBoxInTheBackgroundColour) {
    SurfaceDc dc(100, 40, kWhite);
    SetBkMode(dc.hdc, OPAQUE);
    SetBkColor(dc.hdc, RGB(0, 0, 255));
    SetTextColor(dc.hdc, RGB(255, 255, 0));
    RECT rect{0, 0, 100, 40};
    DrawText(dc.hdc, L"Run", -1, &rect, DT_LEFT);
    const SIZE extent = Extent(dc.hdc, L"Run");
    EXPECT_EQ(dc.at(0, 0), 0x0000FFu);
    EXPECT_EQ(dc.at(extent.cx - 1, extent.cy - 1), 0x0000FFu);
    EXPECT_EQ(dc.at(extent.cx, 0), kWhite);
    EXPECT_EQ(dc.at(0, extent.cy), kWhite);
}

TEST(Text, WordBreakAndNewlinesAddLines) {
    SurfaceDc dc(10, 10);
    const int line = Extent(dc.hdc, L"x").cy;
    const int narrow = Extent(dc.hdc, L"Advanced").cx + 2;
    RECT rect{0, 0, narrow, 100};
    EXPECT_EQ(DrawText(dc.hdc, L"Advanced settings", -1, &rect, DT_WORDBREAK), 2 * line);
    EXPECT_EQ(DrawText(dc.hdc, L"Advanced settings", -1, &rect, 0), line);
    EXPECT_EQ(DrawText(dc.hdc, L"a\nb\nc", -1, &rect, 0), 3 * line);
    EXPECT_EQ(DrawText(dc.hdc, L"a\nb\nc", 3, &rect, 0), 2 * line);
    EXPECT_EQ(DrawText(dc.hdc, L"a\nb\nc", -1, &rect, DT_SINGLELINE), line);
}

TEST(Text, EllipsisKeepsALongLineInsideTheRectangle) {
    SurfaceDc dc(200, 30, kWhite);
    SetBkMode(dc.hdc, TRANSPARENT);
    const std::wstring text = L"Calling 5551234567 on line 1";
    const int width = Extent(dc.hdc, text).cx / 2;
    RECT rect{0, 0, width, 30};
    DrawText(dc.hdc, text.c_str(), -1, &rect, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    const RECT ink = InkBox(dc, kWhite);
    EXPECT_LE(ink.right, width);
    EXPECT_GT(ink.right, width - Extent(dc.hdc, L"W...").cx);
}

} // namespace
