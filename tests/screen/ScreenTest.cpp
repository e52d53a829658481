// The running screen with the headless front-end: the frame follows the windows by itself, the status
// text and the display power reach it, and snapshots are written as PNG files.
#include "platform/screen/Screen.h"
#include "platform/screen/HeadlessFrontEnd.h"
#include "platform/screen/StatusText.h"
#include "platform/shell/Power.h"
#include "support/FrameWait.h"
#include "support/WindowThread.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

using platform::screen::kCaptionBarPixel;
using testing_support::CountOtherPixels;
using testing_support::PixelOf;
using testing_support::WaitForFrame;
using testing_support::WindowThread;

constexpr COLORREF kRed = RGB(200, 30, 30);
constexpr COLORREF kBlue = RGB(20, 40, 210);
constexpr RECT kWorkArea{0, 26, 240, 294};

std::uint32_t At(const platform::gdi::Image& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y) * image.width + x];
}

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::desktop::SetScreenSize(240, 320);
        platform::screen::SetStatusText(L"");
        std::string error;
        ASSERT_TRUE(screen.Start(&error)) << error;
    }
    void TearDown() override {
        screen.Stop();
        platform::desktop::SetScreenSize(240, 320);
    }

    platform::screen::Screen screen{std::make_unique<platform::screen::HeadlessFrontEnd>()};
    WindowThread windows;
};

TEST_F(ScreenTest, FrameFollowsTheWindowsByItself) {
    const HWND pane = windows.CreatePane(kWorkArea, kRed, L"Alpha");
    EXPECT_TRUE(
        WaitForFrame(screen.compositor(), [](const auto& f) { return At(f, 100, 100) == PixelOf(kRed); }));
    windows.Repaint(pane, kBlue);
    EXPECT_TRUE(
        WaitForFrame(screen.compositor(), [](const auto& f) { return At(f, 100, 100) == PixelOf(kBlue); }));
}

TEST_F(ScreenTest, StatusTextReachesTheCaptionBar) {
    windows.CreatePane(kWorkArea, kRed, L"");
    const RECT right{140, 0, 240, 26};
    EXPECT_TRUE(WaitForFrame(screen.compositor(), [&](const auto& f) {
        return At(f, 100, 100) == PixelOf(kRed) && CountOtherPixels(f, right, kCaptionBarPixel) == 0;
    }));
    platform::screen::SetStatusText(L"Simulated line");
    EXPECT_TRUE(WaitForFrame(screen.compositor(), [&](const auto& f) {
        return CountOtherPixels(f, right, kCaptionBarPixel) > 20;
    }));
    platform::screen::SetStatusText(L"");
}

TEST_F(ScreenTest, DisplayOffBlacksTheWholeScreen) {
    windows.CreatePane(kWorkArea, kRed, L"Alpha");
    EXPECT_TRUE(
        WaitForFrame(screen.compositor(), [](const auto& f) { return At(f, 100, 100) == PixelOf(kRed); }));
    platform::shell::SetDisplayOn(false);
    EXPECT_FALSE(screen.DisplayOn());
    EXPECT_TRUE(WaitForFrame(screen.compositor(), [](const auto& f) {
        return CountOtherPixels(f, RECT{0, 0, 240, 320}, 0) == 0;
    }));
    platform::shell::SetDisplayOn(true);
    EXPECT_TRUE(
        WaitForFrame(screen.compositor(), [](const auto& f) { return At(f, 100, 100) == PixelOf(kRed); }));
}

TEST_F(ScreenTest, SnapshotIsTheScreenAsAPngFile) {
    windows.CreatePane(kWorkArea, kBlue, L"Alpha");
    ASSERT_TRUE(platform::desktop::WaitUntilIdle(std::chrono::seconds(10)));
    const auto image = screen.Snapshot();
    EXPECT_EQ(image.width, 240);
    EXPECT_EQ(image.height, 320);
    EXPECT_EQ(At(image, 100, 100), PixelOf(kBlue));

    const std::string path = ::testing::TempDir() + "screen-" + std::to_string(getpid()) + ".png";
    std::string error;
    ASSERT_TRUE(screen.WriteSnapshot(path, &error)) << error;
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::remove(path.c_str());
    EXPECT_FALSE(screen.WriteSnapshot("/nonexistent-folder/x.png", &error));
}

TEST_F(ScreenTest, TurnSwapsWidthAndHeight) {
    screen.Turn();
    EXPECT_TRUE(
        WaitForFrame(screen.compositor(), [](const auto& f) { return f.width == 320 && f.height == 240; }));
    screen.Turn();
    EXPECT_TRUE(
        WaitForFrame(screen.compositor(), [](const auto& f) { return f.width == 240 && f.height == 320; }));
}

} // namespace
