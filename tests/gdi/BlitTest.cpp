// StretchBlt and BitBlt on pixels: the background picture at the sizes the main window draws it,
// clipping to a child's rectangle and to the source, and copies within one surface.
#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using gdi_test::Picture;
using gdi_test::PicturePixel;
using gdi_test::SurfaceDc;

constexpr int kPictureWidth = 234;
constexpr int kPictureHeight = 320;
constexpr std::uint32_t kUntouched = 0xABCDEF; // no picture pixel has this value

// The documented rule, written independently: i*(m-1)/(n-1) rounded half up.
int SourceIndex(int i, int n, int m) {
    return n == 1 ? 0 : static_cast<int>(std::floor(i * (m - 1.0) / (n - 1.0) + 0.5));
}

struct StretchCase {
    int width;
    int height;
};

void PrintTo(const StretchCase& c, std::ostream* os) {
    *os << c.width << "x" << c.height;
}

class PictureStretch : public testing::TestWithParam<StretchCase> {};

TEST_P(PictureStretch, FillsTheDestinationExactlyWithCornersOnCorners) {
    const auto [w, h] = GetParam();
    Picture picture(kPictureWidth, kPictureHeight);
    constexpr int kMargin = 3;
    SurfaceDc screen(w + 2 * kMargin, h + 2 * kMargin, kUntouched);

    ASSERT_TRUE(StretchBlt(screen.hdc, kMargin, kMargin, w, h, picture.hdc, 0, 0, kPictureWidth,
                           kPictureHeight, SRCCOPY));

    EXPECT_EQ(screen.at(kMargin, kMargin), PicturePixel(0, 0));
    EXPECT_EQ(screen.at(kMargin + w - 1, kMargin), PicturePixel(kPictureWidth - 1, 0));
    EXPECT_EQ(screen.at(kMargin, kMargin + h - 1), PicturePixel(0, kPictureHeight - 1));
    EXPECT_EQ(screen.at(kMargin + w - 1, kMargin + h - 1),
              PicturePixel(kPictureWidth - 1, kPictureHeight - 1));
    const auto pixels = screen.pixels();
    const int stride = w + 2 * kMargin;
    int wrong = 0;
    for (int y = 0; y < h + 2 * kMargin; ++y) {
        for (int x = 0; x < w + 2 * kMargin; ++x) {
            const bool inside = x >= kMargin && x < kMargin + w && y >= kMargin && y < kMargin + h;
            const std::uint32_t expected = inside ? PicturePixel(SourceIndex(x - kMargin, w, kPictureWidth),
                                                                 SourceIndex(y - kMargin, h, kPictureHeight))
                                                  : kUntouched;
            wrong += pixels[static_cast<std::size_t>(y) * stride + x] != expected;
        }
    }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, PictureStretch,
                         testing::Values(StretchCase{240, 328}, StretchCase{100, 136}, StretchCase{227, 310},
                                         StretchCase{258, 352}, StretchCase{234, 320}, StretchCase{2, 2},
                                         StretchCase{468, 640}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

TEST(StretchBlt, LandscapePictureTallerThanTheClientIsCutAtTheSurface) {
    Picture picture(kPictureWidth, kPictureHeight);
    SurfaceDc client(320, 188, kUntouched);
    ASSERT_TRUE(
        StretchBlt(client.hdc, 0, 0, 227, 310, picture.hdc, 0, 0, kPictureWidth, kPictureHeight, SRCCOPY));
    EXPECT_EQ(client.at(0, 0), PicturePixel(0, 0));
    EXPECT_EQ(client.at(226, 187), PicturePixel(SourceIndex(226, 227, 234), SourceIndex(187, 310, 320)));
    EXPECT_EQ(client.at(227, 0), kUntouched);
    EXPECT_EQ(client.at(319, 187), kUntouched);
}

TEST(StretchBlt, ChildContextDrawsOnlyInsideItsClip) {
    // A child at (50, 60), 30 x 40, whose invalid part is its lower half.
    Picture picture(kPictureWidth, kPictureHeight);
    SurfaceDc parent(240, 268, kUntouched, POINT{50, 60}, RECT{50, 80, 80, 100});
    ASSERT_TRUE(StretchBlt(parent.hdc, -20, -20, 240, 328, picture.hdc, 0, 0, kPictureWidth, kPictureHeight,
                           SRCCOPY));
    const auto pixels = parent.pixels();
    for (int y = 0; y < 268; ++y) {
        for (int x = 0; x < 240; ++x) {
            const bool inClip = x >= 50 && x < 80 && y >= 80 && y < 100;
            if (inClip) {
                // Logical (x-50, y-60) is destination index (x-50+20, y-60+20).
                ASSERT_EQ(pixels[static_cast<std::size_t>(y) * 240 + x],
                          PicturePixel(SourceIndex(x - 30, 240, kPictureWidth),
                                       SourceIndex(y - 40, 328, kPictureHeight)))
                    << x << "," << y;
            } else {
                ASSERT_EQ(pixels[static_cast<std::size_t>(y) * 240 + x], kUntouched) << x << "," << y;
            }
        }
    }
}

TEST(StretchBlt, PixelsWhoseSourceIsOutsideTheBitmapStayUnchanged) {
    Picture picture(4, 4);
    SurfaceDc screen(8, 8, kUntouched);
    ASSERT_TRUE(BitBlt(screen.hdc, 0, 0, 8, 8, picture.hdc, -2, -2, SRCCOPY));
    EXPECT_EQ(screen.at(1, 1), kUntouched);
    EXPECT_EQ(screen.at(2, 2), PicturePixel(0, 0));
    EXPECT_EQ(screen.at(5, 5), PicturePixel(3, 3));
    EXPECT_EQ(screen.at(6, 2), kUntouched);
}

TEST(StretchBlt, CopyWithinOneSurfaceReadsThePixelsAsTheyWereBefore) {
    SurfaceDc screen(6, 1, 0);
    for (int x = 0; x < 6; ++x) {
        SetPixel(screen.hdc, x, 0, RGB(static_cast<BYTE>(x), 0, 0));
    }
    ASSERT_TRUE(BitBlt(screen.hdc, 1, 0, 5, 1, screen.hdc, 0, 0, SRCCOPY));
    for (int x = 1; x < 6; ++x) {
        EXPECT_EQ(GetPixel(screen.hdc, x, 0), RGB(static_cast<BYTE>(x - 1), 0, 0));
    }
}

TEST(StretchBlt, RefusesWhatItCannotDo) {
    Picture picture(4, 4);
    SurfaceDc screen(4, 4, kUntouched);
    EXPECT_FALSE(StretchBlt(screen.hdc, 0, 0, 4, 4, picture.hdc, 0, 0, 4, 4, 0x00EE0086)); // SRCPAINT
    EXPECT_FALSE(StretchBlt(screen.hdc, 0, 0, 0, 4, picture.hdc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_FALSE(StretchBlt(screen.hdc, 0, 0, 4, 4, picture.hdc, 0, 0, -4, 4, SRCCOPY));
    EXPECT_FALSE(BitBlt(screen.hdc, 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(screen.at(0, 0), kUntouched);
}

} // namespace
