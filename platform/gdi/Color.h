// Conversions between the device's COLORREF (0x00BBGGRR) and the surfaces' pixels (0x00RRGGBB), and the
// blending of anti-aliased text coverage onto a pixel.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>

namespace platform::gdi {

constexpr std::uint32_t ToPixel(COLORREF color) {
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

constexpr COLORREF ToColorRef(std::uint32_t pixel) {
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel));
}

// `over` laid onto `under` with coverage `alpha` (0 keeps `under`, 255 gives `over`), rounded to nearest.
constexpr std::uint32_t Blend(std::uint32_t under, std::uint32_t over, unsigned alpha) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned a = (over >> shift) & 0xFF;
        const unsigned b = (under >> shift) & 0xFF;
        const unsigned mixed = (a * alpha + b * (255 - alpha) + 127) / 255;
        out |= static_cast<std::uint32_t>(mixed) << shift;
    }
    return out;
}

} // namespace platform::gdi
