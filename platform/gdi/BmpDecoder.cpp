// Decoding of 24-bit uncompressed BMP file images into bitmaps.
#include "platform/gdi/GdiBackend.h"
#include "platform/gdi/GdiObjects.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int64_t kMaxSide = 16384; // far beyond any screen; keeps the arithmetic small
constexpr std::uint32_t kBiRgb = 0;

std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::int32_t ReadI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(ReadU32(p));
}

} // namespace

HBITMAP platform::gdi::CreateBitmapFromBmp(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (bytes == nullptr || size < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
        return nullptr;
    }
    const std::uint32_t pixelOffset = ReadU32(bytes + 10);
    const std::uint8_t* info = bytes + kFileHeaderSize;
    const std::uint32_t infoSize = ReadU32(info);
    const std::int64_t width = ReadI32(info + 4);
    const std::int64_t height = ReadI32(info + 8);
    const std::uint16_t planes = ReadU16(info + 12);
    const std::uint16_t bitCount = ReadU16(info + 14);
    const std::uint32_t compression = ReadU32(info + 16);
    if (infoSize < kInfoHeaderSize || planes != 1 || bitCount != 24 || compression != kBiRgb) {
        return nullptr;
    }
    const std::int64_t rows = std::llabs(height);
    if (width <= 0 || width > kMaxSide || rows == 0 || rows > kMaxSide) {
        return nullptr;
    }
    const std::int64_t stride = (width * 3 + 3) / 4 * 4;
    if (std::uint64_t{pixelOffset} < kFileHeaderSize + std::uint64_t{infoSize} ||
        static_cast<std::uint64_t>(pixelOffset) + static_cast<std::uint64_t>(stride * rows) > size) {
        return nullptr;
    }
    const bool bottomUp = height > 0;
    auto surface = std::make_shared<Surface>(static_cast<int>(width), static_cast<int>(rows));
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::int64_t fileRow = bottomUp ? rows - 1 - y : y;
        const std::uint8_t* p = bytes + pixelOffset + fileRow * stride;
        std::uint32_t* out = &surface->at(0, static_cast<int>(y)); // not shared yet: no lock needed
        for (std::int64_t x = 0; x < width; ++x, p += 3) {
            out[x] = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        }
    }
    return AddObject(GdiObject{BitmapObject{std::move(surface), 24}, false});
}
