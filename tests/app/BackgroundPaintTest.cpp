// The main window's background on pixels: the picture scaled by the portrait and landscape rules and the
// white band or strip beside it, drawn through a real window's WM_ERASEBKGND into its surface.
#include "AppTestSupport.h"

#include "app/Resource.h"
#include "app/paint/BackgroundPainter.h"
#include "platform/gdi/Surface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using lwapp::UseProgramResources;

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr int kPictureWidth = 234;
constexpr int kPictureHeight = 320;

struct PaintCase {
    const char* name;
    int width;
    int height;
    int drawnWidth;
    int drawnHeight;
};

// Client areas of the phone (portrait work area 240 x 268, landscape 320 x 188) and others.
const PaintCase kCases[] = {
    {"PortraitWorkArea", 240, 268, 240, 328}, {"NarrowPortrait", 100, 200, 100, 136},
    {"Square", 240, 240, 240, 328},           {"LandscapeWorkArea", 320, 188, 227, 310},
    {"TallerLandscape", 320, 214, 258, 352},
};

void PrintTo(const PaintCase& c, std::ostream* os) {
    *os << c.name;
}

std::string CaseName(const testing::TestParamInfo<PaintCase>& info) {
    return info.param.name;
}

// The destination-to-source index rule of the platform's StretchBlt (nearest neighbour, ends to ends).
int Nearest(int i, int n, int m) {
    return n <= 1 ? 0 : (2 * i * (m - 1) + (n - 1)) / (2 * (n - 1));
}

// The background picture's pixels, read through a memory DC.
std::vector<std::uint32_t> PicturePixels() {
    const HBITMAP bitmap = LoadBitmap(AfxGetResourceHandle(), MAKEINTRESOURCE(IDB_BACKGROUND));
    EXPECT_NE(bitmap, nullptr);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kPictureWidth) * kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            pixels[static_cast<std::size_t>(y) * kPictureWidth + x] =
                (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return pixels;
}

LRESULT BackgroundWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        CDC dc;
        dc.Attach(reinterpret_cast<HDC>(wParam));
        const BOOL erased = PaintBackground(*CWnd::FromHandle(hwnd), &dc);
        dc.Detach();
        return erased;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

void Pump() {
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessage(&msg);
    }
}

// Paints a window of the case's client size on this thread and returns what its surface holds.
platform::gdi::Image PaintWindow(int width, int height) {
    static const bool registered = [] {
        WNDCLASS wc{};
        wc.lpfnWndProc = BackgroundWindowProc;
        wc.lpszClassName = L"LullwatchBackgroundTest";
        return RegisterClass(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    const HWND hwnd = CreateWindowEx(0, L"LullwatchBackgroundTest", L"background", WS_POPUP | WS_VISIBLE, 0,
                                     26, width, height, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
    Pump();
    platform::gdi::Image image;
    for (const auto& view : platform::desktop::VisibleTopLevels()) {
        if (view.hwnd == hwnd) {
            image = view.surface->snapshot();
        }
    }
    DestroyWindow(hwnd);
    Pump();
    return image;
}

class BackgroundPaintTest : public testing::TestWithParam<PaintCase> {
protected:
    void SetUp() override { UseProgramResources(); }
};

TEST_P(BackgroundPaintTest, LayoutFollowsTheOrientationRule) {
    const PaintCase& c = GetParam();
    const BackgroundLayout layout = LayOutBackground(c.width, c.height, kPictureWidth, kPictureHeight);
    EXPECT_EQ(layout.drawnWidth, c.drawnWidth);
    EXPECT_EQ(layout.drawnHeight, c.drawnHeight);
    const bool landscape = c.width > c.height;
    const RECT expected =
        landscape ? RECT{c.drawnWidth, 0, c.width, c.height} : RECT{0, c.drawnHeight, c.width, c.height};
    EXPECT_EQ(layout.white.left, expected.left);
    EXPECT_EQ(layout.white.top, expected.top);
    EXPECT_EQ(layout.white.right, expected.right);
    EXPECT_EQ(layout.white.bottom, expected.bottom);
}

TEST_P(BackgroundPaintTest, WindowShowsTheScaledPictureAndWhiteBesideIt) {
    const PaintCase& c = GetParam();
    const std::vector<std::uint32_t> picture = PicturePixels();
    const platform::gdi::Image image = PaintWindow(c.width, c.height);
    ASSERT_EQ(image.width, c.width);
    ASSERT_EQ(image.height, c.height);

    int mismatches = 0;
    int whiteInPicture = 0;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const std::uint32_t actual = image.pixels[static_cast<std::size_t>(y) * c.width + x] & 0xFFFFFF;
            std::uint32_t expected = kWhite;
            if (x < c.drawnWidth && y < c.drawnHeight) {
                const int sx = Nearest(x, c.drawnWidth, kPictureWidth);
                const int sy = Nearest(y, c.drawnHeight, kPictureHeight);
                expected = picture[static_cast<std::size_t>(sy) * kPictureWidth + sx];
                whiteInPicture += actual == kWhite ? 1 : 0;
            }
            if (actual != expected && mismatches++ < 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << actual << ", expected "
                              << expected;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    // The night picture is dark: its area shows next to no white, so a white band would stand out.
    EXPECT_LT(whiteInPicture, 16);
}

INSTANTIATE_TEST_SUITE_P(ClientAreas, BackgroundPaintTest, testing::ValuesIn(kCases), CaseName);

TEST(BackgroundPaint, MissingPictureStillCountsAsErased) {
    UseProgramResources();
    AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(0x5EED)); // a module without resources
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CWnd window;
    EXPECT_TRUE(PaintBackground(window, &dc));
    UseProgramResources();
}

} // namespace
