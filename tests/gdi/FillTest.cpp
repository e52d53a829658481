// FillRect, FrameRect and single pixels: exclusive edges, clipping, colour order and brushes.
#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using gdi_test::SurfaceDc;

constexpr std::uint32_t kBack = 0x000000;

// The pixels of the surface that differ from kBack, as "x,y" in row order.
std::vector<std::pair<int, int>> Painted(const SurfaceDc& dc, int width, int height) {
    const auto pixels = dc.pixels();
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixels[static_cast<std::size_t>(y) * width + x] != kBack) {
                out.emplace_back(x, y);
            }
        }
    }
    return out;
}

TEST(FillRect, RightAndBottomEdgesAreExclusive) {
    SurfaceDc dc(6, 5, kBack);
    const RECT r{1, 1, 4, 3};
    ASSERT_NE(FillRect(dc.hdc, &r, GetStockObject(WHITE_BRUSH)), 0);
    const std::vector<std::pair<int, int>> expected{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}};
    EXPECT_EQ(Painted(dc, 6, 5), expected);
}

TEST(FillRect, MeterSizedRectangleAtAnOffset) {
    // A meter of 11 x 115 dialog units is 22 x 230 pixels.
    SurfaceDc dc(240, 268, kBack, POINT{10, 20});
    const HBRUSH brush = CreateSolidBrush(RGB(0, 0x80, 0xFF));
    const RECT r{0, 0, 22, 230};
    ASSERT_NE(FillRect(dc.hdc, &r, brush), 0);
    const auto painted = Painted(dc, 240, 268);
    ASSERT_EQ(painted.size(), 22u * 230u);
    EXPECT_EQ(painted.front(), std::make_pair(10, 20));
    EXPECT_EQ(painted.back(), std::make_pair(31, 249));
    EXPECT_EQ(dc.at(10, 20), 0x0080FFu); // COLORREF 0x00BBGGRR becomes pixel 0x00RRGGBB
    DeleteObject(brush);
}

TEST(FillRect, StaysInsideTheClipOfAChildContext) {
    SurfaceDc dc(40, 40, kBack, POINT{10, 10}, RECT{10, 10, 20, 15});
    const RECT everything{-100, -100, 100, 100};
    ASSERT_NE(FillRect(dc.hdc, &everything, GetStockObject(WHITE_BRUSH)), 0);
    const auto painted = Painted(dc, 40, 40);
    ASSERT_EQ(painted.size(), 50u);
    EXPECT_EQ(painted.front(), std::make_pair(10, 10));
    EXPECT_EQ(painted.back(), std::make_pair(19, 14));
}

TEST(FillRect, ClipFollowsTheSurfaceWhenItShrinks) {
    SurfaceDc dc(20, 20, kBack);
    dc.surface->resize(5, 5);
    const RECT r{0, 0, 20, 20};
    ASSERT_NE(FillRect(dc.hdc, &r, GetStockObject(WHITE_BRUSH)), 0);
    EXPECT_EQ(Painted(dc, 5, 5).size(), 25u);
}

TEST(FillRect, NullBrushPaintsNothingAndDeletedBrushFails) {
    SurfaceDc dc(4, 4, kBack);
    const RECT r{0, 0, 4, 4};
    EXPECT_NE(FillRect(dc.hdc, &r, GetStockObject(NULL_BRUSH)), 0);
    const HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    ASSERT_TRUE(DeleteObject(brush));
    EXPECT_EQ(FillRect(dc.hdc, &r, brush), 0);
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_TRUE(Painted(dc, 4, 4).empty());
}

TEST(FrameRect, DrawsAOnePixelBorderInsideTheRectangle) {
    SurfaceDc dc(6, 6, kBack);
    const RECT r{1, 1, 5, 4};
    ASSERT_NE(FrameRect(dc.hdc, &r, GetStockObject(WHITE_BRUSH)), 0);
    const std::vector<std::pair<int, int>> expected{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2},
                                                    {4, 2}, {1, 3}, {2, 3}, {3, 3}, {4, 3}};
    EXPECT_EQ(Painted(dc, 6, 6), expected);
}

TEST(Pixels, SetAndGetUseLogicalCoordinatesAndTheClip) {
    SurfaceDc dc(10, 10, kBack, POINT{2, 3}, RECT{2, 3, 6, 6});
    EXPECT_EQ(SetPixel(dc.hdc, 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(dc.at(3, 4), 0x010203u);
    EXPECT_EQ(GetPixel(dc.hdc, 1, 1), RGB(1, 2, 3));
    EXPECT_EQ(SetPixel(dc.hdc, 4, 0, RGB(1, 2, 3)), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc.hdc, -1, 0), CLR_INVALID);
    EXPECT_EQ(dc.at(6, 3), kBack);
}

} // namespace
