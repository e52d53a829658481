// PNG snapshots through libpng's simplified writing interface (8-bit RGB, no alpha).
#include "platform/gdi/GdiBackend.h"

#include <png.h>

#include <cstring>
#include <vector>

bool platform::gdi::WritePng(const Image& image, const std::string& path) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        return false;
    }
    std::vector<png_byte> rgb;
    rgb.reserve(image.pixels.size() * 3);
    for (const std::uint32_t pixel : image.pixels) {
        rgb.push_back(static_cast<png_byte>(pixel >> 16));
        rgb.push_back(static_cast<png_byte>(pixel >> 8));
        rgb.push_back(static_cast<png_byte>(pixel));
    }
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

bool platform::gdi::WritePng(const Surface& surface, const std::string& path) {
    return WritePng(surface.snapshot(), path);
}
