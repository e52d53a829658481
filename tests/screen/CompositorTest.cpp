// The compositor's frame, checked on its pixels: windows in z-order inside the work area, the caption
// bar and the soft-key bar following the foreground window, the status text, the display switched off,
// recomposing only what was asked, and the turned screen.
#include "platform/screen/Compositor.h"
#include "platform/screen/StatusText.h"
#include "platform/shell/Power.h"
#include "support/FrameWait.h"
#include "support/WindowThread.h"

#include <gtest/gtest.h>

namespace {

using platform::screen::Compositor;
using platform::screen::kCaptionBarPixel;
using platform::screen::kSoftKeyBarPixel;
using testing_support::CountOtherPixels;
using testing_support::PixelOf;
using testing_support::WindowThread;

constexpr COLORREF kRed = RGB(200, 30, 30);
constexpr COLORREF kBlue = RGB(20, 40, 210);
constexpr COLORREF kGreen = RGB(10, 180, 60);
constexpr RECT kWorkArea{0, 26, 240, 294};
constexpr RECT kCaptionBar{0, 0, 240, 26};
constexpr RECT kSoftKeyBar{0, 295, 240, 320}; // below the bar's one-pixel divider

std::uint32_t At(const platform::gdi::Image& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y) * image.width + x];
}

class CompositorTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::desktop::SetScreenSize(240, 320);
        platform::screen::SetStatusText(L"");
        platform::shell::SetDisplayOn(true);
    }
    void TearDown() override {
        platform::desktop::SetScreenSize(240, 320);
        platform::shell::SetDisplayOn(true);
    }

    // The frame after every window thread has painted.
    platform::gdi::Image Composed() {
        EXPECT_TRUE(platform::desktop::WaitUntilIdle(std::chrono::seconds(10)));
        compositor.ComposeAll();
        return compositor.Frame()->snapshot();
    }

    Compositor compositor;
    WindowThread windows;
};

TEST_F(CompositorTest, StacksWindowsInZOrderInsideTheWorkArea) {
    windows.CreatePane(kWorkArea, kRed, L"Back");
    windows.CreatePane(RECT{20, 60, 120, 160}, kBlue, L"Front");
    const auto frame = Composed();
    ASSERT_EQ(frame.width, 240);
    ASSERT_EQ(frame.height, 320);
    EXPECT_EQ(At(frame, 10, 40), PixelOf(kRed));
    EXPECT_EQ(At(frame, 50, 100), PixelOf(kBlue));
    EXPECT_EQ(At(frame, 119, 159), PixelOf(kBlue));
    EXPECT_EQ(At(frame, 120, 160), PixelOf(kRed));
    EXPECT_EQ(At(frame, 1, 1), kCaptionBarPixel);
    EXPECT_EQ(At(frame, 1, 310), kSoftKeyBarPixel);
}

TEST_F(CompositorTest, WindowsReachingIntoTheBarsAreCutAtTheWorkArea) {
    windows.CreatePane(RECT{0, 0, 240, 320}, kGreen, L"Tall");
    const auto frame = Composed();
    EXPECT_EQ(At(frame, 1, 1), kCaptionBarPixel);
    EXPECT_EQ(At(frame, 120, 30), PixelOf(kGreen));
    EXPECT_EQ(At(frame, 1, 310), kSoftKeyBarPixel);
}

TEST_F(CompositorTest, BarsShowTheForegroundWindowsCaptionAndSoftKeys) {
    const HWND main = windows.CreatePane(kWorkArea, kRed, L"Alpha");
    platform::desktop::SetSoftKeys(main, nullptr, L"OK", L"Menu");
    auto frame = Composed();
    EXPECT_GT(CountOtherPixels(frame, kCaptionBar, kCaptionBarPixel), 20) << "the caption is drawn";
    EXPECT_GT(CountOtherPixels(frame, RECT{0, 295, 120, 320}, kSoftKeyBarPixel), 20) << "the left label";
    EXPECT_GT(CountOtherPixels(frame, RECT{121, 295, 240, 320}, kSoftKeyBarPixel), 20) << "the right label";

    // A window without soft keys comes on top: the soft-key bar goes blank, and the caption bar shows
    // the new window's caption.
    const auto captionPixels = CountOtherPixels(frame, kCaptionBar, kCaptionBarPixel);
    windows.CreatePane(kWorkArea, kBlue, L"Beta, longer");
    frame = Composed();
    EXPECT_GT(CountOtherPixels(frame, kCaptionBar, kCaptionBarPixel), captionPixels);
    EXPECT_EQ(CountOtherPixels(frame, kSoftKeyBar, kSoftKeyBarPixel), 0);
}

TEST_F(CompositorTest, WindowWithoutCaptionShowsTheCaptionBelowIt) {
    windows.CreatePane(kWorkArea, kRed, L"Alpha");
    const auto withCaption = Composed();
    windows.CreatePane(RECT{100, 200, 240, 294}, kBlue, L""); // a pop-up
    const auto frame = Composed();
    EXPECT_EQ(CountOtherPixels(frame, kCaptionBar, kCaptionBarPixel),
              CountOtherPixels(withCaption, kCaptionBar, kCaptionBarPixel));
    EXPECT_GT(CountOtherPixels(frame, kCaptionBar, kCaptionBarPixel), 20);
}

TEST_F(CompositorTest, StatusTextStandsAtTheRightOfTheCaptionBar) {
    windows.CreatePane(kWorkArea, kRed, L"");
    EXPECT_EQ(CountOtherPixels(Composed(), kCaptionBar, kCaptionBarPixel), 0);
    platform::screen::SetStatusText(L"Simulated line");
    const auto frame = Composed();
    EXPECT_GT(CountOtherPixels(frame, RECT{140, 0, 240, 26}, kCaptionBarPixel), 20);
    EXPECT_EQ(CountOtherPixels(frame, RECT{0, 0, 100, 26}, kCaptionBarPixel), 0);
    platform::screen::SetStatusText(L"");
}

TEST_F(CompositorTest, DisplayOffKeepsTheFrameBlackUntilItComesOn) {
    const HWND pane = windows.CreatePane(kWorkArea, kRed, L"Alpha");
    Composed();
    platform::shell::SetDisplayOn(false);
    EXPECT_EQ(CountOtherPixels(Composed(), RECT{0, 0, 240, 320}, 0), 0);

    windows.Repaint(pane, kBlue);
    EXPECT_EQ(CountOtherPixels(Composed(), RECT{0, 0, 240, 320}, 0), 0)
        << "painting does not light the display";

    platform::shell::SetDisplayOn(true);
    compositor.Compose({}); // nothing asked: the whole screen comes back all the same
    const auto frame = compositor.Frame()->snapshot();
    EXPECT_EQ(At(frame, 100, 100), PixelOf(kBlue));
    EXPECT_EQ(At(frame, 1, 1), kCaptionBarPixel);
}

TEST_F(CompositorTest, RecomposesOnlyTheRectangleAsked) {
    const HWND pane = windows.CreatePane(kWorkArea, kRed, L"Alpha");
    Composed();
    const RECT inPane{10, 10, 30, 40};
    windows.Repaint(pane, kGreen, &inPane);
    ASSERT_TRUE(platform::desktop::WaitUntilIdle(std::chrono::seconds(10)));
    const RECT onScreen{10, 36, 30, 66};
    const auto changed = compositor.Compose({onScreen});
    ASSERT_EQ(changed.size(), 1u) << "the bars did not change";
    EXPECT_EQ(changed[0].left, onScreen.left);
    EXPECT_EQ(changed[0].top, onScreen.top);
    EXPECT_EQ(changed[0].right, onScreen.right);
    EXPECT_EQ(changed[0].bottom, onScreen.bottom);
    const auto frame = compositor.Frame()->snapshot();
    EXPECT_EQ(At(frame, 15, 40), PixelOf(kGreen));
    EXPECT_EQ(At(frame, 31, 40), PixelOf(kRed));

    // A window that changed outside the rectangle asked for is left as it was composed.
    windows.Repaint(pane, kBlue);
    ASSERT_TRUE(platform::desktop::WaitUntilIdle(std::chrono::seconds(10)));
    compositor.Compose({RECT{0, 200, 10, 210}});
    EXPECT_EQ(At(compositor.Frame()->snapshot(), 100, 100), PixelOf(kRed));
}

TEST_F(CompositorTest, FollowsTheTurnedScreen) {
    windows.CreatePane(kWorkArea, kRed, L"Alpha");
    Composed();
    platform::desktop::SetScreenSize(320, 240);
    const auto frame = Composed();
    ASSERT_EQ(frame.width, 320);
    ASSERT_EQ(frame.height, 240);
    EXPECT_EQ(At(frame, 319, 1), kCaptionBarPixel);
    EXPECT_EQ(At(frame, 1, 230), kSoftKeyBarPixel);
}

} // namespace
