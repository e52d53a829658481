// PNG snapshots written and read back with libpng.
#include "GdiTestSupport.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

std::string TempPath(const std::string& name) {
    return testing::TempDir() + "gdi_" + std::to_string(::getpid()) + "_" + name;
}

TEST(Png, WrittenFileReadsBackWithTheSamePixels) {
    platform::gdi::Surface surface(7, 5);
    {
        std::lock_guard lock(surface.mutex());
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                surface.at(x, y) = (static_cast<std::uint32_t>(x * 36) << 16) |
                                   (static_cast<std::uint32_t>(y * 60) << 8) |
                                   static_cast<std::uint32_t>((x + y) * 20);
            }
        }
    }
    const std::string path = TempPath("roundtrip.png");
    ASSERT_TRUE(platform::gdi::WritePng(surface, path));

    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
    EXPECT_EQ(image.width, 7u);
    EXPECT_EQ(image.height, 5u);
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0);
    std::filesystem::remove(path);

    const auto snapshot = surface.snapshot();
    for (std::size_t i = 0; i < snapshot.pixels.size(); ++i) {
        const std::uint32_t back =
            (std::uint32_t{rgb[3 * i]} << 16) | (std::uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
        EXPECT_EQ(back, snapshot.pixels[i]) << i;
    }
}

TEST(Png, UnwritablePathOrEmptyImageFails) {
    platform::gdi::Surface surface(2, 2);
    EXPECT_FALSE(platform::gdi::WritePng(surface, "/nonexistent-folder/x.png"));
    EXPECT_FALSE(platform::gdi::WritePng(platform::gdi::Image{}, TempPath("empty.png")));
}

} // namespace
