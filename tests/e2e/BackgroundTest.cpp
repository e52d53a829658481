// The main window's background on the screen, in both orientations: in portrait the picture covers the
// whole window; turned to landscape, it is 227 pixels wide at the left and the strip right of it is
// white.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

#include <png.h>

#include <sstream>

namespace {

using namespace lwe2e;

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kScrollBarWidth = 6;

// A window's rectangle on the screen.
struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xRRGGBB

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Picture ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path << ": " << image.message;
        return picture;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        ADD_FAILURE() << "cannot decode " << path << ": " << image.message;
        return picture;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
        picture.pixels.push_back((bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2]);
    }
    return picture;
}

Rect MainWindowRect(Monitor& monitor) {
    for (const auto& line : monitor.Do("windows").lines) {
        const auto words = ReplyWords(line);
        const auto rect = ValueOf(words, "rect");
        if (words.size() > 1 && words[1] == monitor.main() && rect) {
            Rect r{};
            char comma = 0;
            std::istringstream(*rect) >> r.left >> comma >> r.top >> comma >> r.right >> comma >> r.bottom;
            return r;
        }
    }
    ADD_FAILURE() << "no main window";
    return Rect{};
}

// How many pixels of the rectangle (screen coordinates) are white.
int WhiteCount(const Picture& screen, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += screen.at(x, y) == kWhite ? 1 : 0;
        }
    }
    return count;
}

Picture Snapshot(Monitor& monitor, const DataRoot& data, const std::string& name) {
    monitor.Wait("idle");
    const std::string path = (data.path() / name).string();
    monitor.Do("snapshot " + Word(path));
    return ReadPng(path);
}

TEST(MonitorBackground, PortraitCoversTheWindowAndLandscapeLeavesAWhiteStrip) {
    DataRoot data;
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();

    const Rect portrait = MainWindowRect(monitor);
    ASSERT_EQ(portrait.right - portrait.left, 240);
    ASSERT_EQ(portrait.bottom - portrait.top, 268);
    const Picture tall = Snapshot(monitor, data, "portrait.png");
    ASSERT_EQ(tall.width, 240);
    // Below the controls (the lowest, the Run button, ends 250 - 26 = 224 pixels down) the picture reaches
    // the bottom of the window: no white band.
    EXPECT_LT(WhiteCount(tall, 0, portrait.top + 230, 240, portrait.bottom), 4);

    EXPECT_EQ(monitor.Answer("turn"), "320x240");
    monitor.Wait("idle");
    const Rect landscape = MainWindowRect(monitor);
    ASSERT_EQ(landscape.right - landscape.left, 320);
    ASSERT_EQ(landscape.bottom - landscape.top, 188);
    const Picture wide = Snapshot(monitor, data, "landscape.png");
    ASSERT_EQ(wide.width, 320);
    // The picture is 188 x 52/43 = 227 pixels wide; from there on the window is white up to the scroll
    // bar at its right edge (its controls reach below the work area).
    const int strip = landscape.left + 227;
    const int barLeft = landscape.right - kScrollBarWidth;
    const int stripArea = (barLeft - strip) * (landscape.bottom - landscape.top);
    EXPECT_EQ(WhiteCount(wide, strip, landscape.top, barLeft, landscape.bottom), stripArea);
    EXPECT_EQ(WhiteCount(wide, barLeft + 1, landscape.top, landscape.right, landscape.bottom), 0);
    // Its last column is the picture's (dark), over the full height of the window.
    EXPECT_LT(WhiteCount(wide, strip - 1, landscape.top, strip, landscape.bottom), 2);

    // Scrolled down by a click low on its scroll bar, and turned back, it is upright pixel for pixel again.
    monitor.Do("click " + std::to_string(landscape.right - 2) + " " + std::to_string(landscape.bottom - 2));
    monitor.Wait("idle");
    EXPECT_NE(Snapshot(monitor, data, "scrolled.png").pixels, wide.pixels);
    EXPECT_EQ(monitor.Answer("turn"), "240x320");
    monitor.Wait("idle");
    const Picture again = Snapshot(monitor, data, "portrait-again.png");
    EXPECT_TRUE(again.pixels == tall.pixels);
}

} // namespace
