// Helpers for the drawing tests: a surface with a DC over it, and a bitmap with distinct pixels.
#pragma once

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/GdiBackend.h"
#include "platform/gdi/Surface.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace gdi_test {

using platform::gdi::Surface;

// A surface filled with `fill` and a DC covering it (origin 0,0; clip = whole surface), deleted at the end.
struct SurfaceDc {
    SurfaceDc(int width, int height, std::uint32_t fill = 0x123456, POINT origin = {0, 0}, RECT clip = {})
        : surface(std::make_shared<Surface>(width, height, fill)) {
        if (clip.right == 0 && clip.bottom == 0) {
            clip = RECT{0, 0, width, height};
        }
        hdc = platform::gdi::CreateSurfaceDC(surface, origin, clip);
    }
    ~SurfaceDc() { DeleteDC(hdc); }
    SurfaceDc(const SurfaceDc&) = delete;
    SurfaceDc& operator=(const SurfaceDc&) = delete;

    std::uint32_t at(int x, int y) const {
        std::lock_guard lock(surface->mutex());
        return surface->at(x, y);
    }

    // Every pixel, row-major, copied at once (cheaper than at() in loops).
    std::vector<std::uint32_t> pixels() const { return surface->snapshot().pixels; }

    std::shared_ptr<Surface> surface;
    HDC hdc = nullptr;
};

// The pixel value the test pictures carry at (x, y): unique for x < 256 and y < 65536.
constexpr std::uint32_t PicturePixel(int x, int y) {
    return (static_cast<std::uint32_t>(y) << 8) | x;
}

// A memory DC with a width x height bitmap whose pixels are PicturePixel(x, y).
struct Picture {
    Picture(int width, int height) {
        SurfaceDc source(width, height);
        {
            std::lock_guard lock(source.surface->mutex());
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    source.surface->at(x, y) = PicturePixel(x, y);
                }
            }
        }
        hdc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(hdc, width, height);
        old = SelectObject(hdc, bitmap);
        BitBlt(hdc, 0, 0, width, height, source.hdc, 0, 0, SRCCOPY);
    }
    ~Picture() {
        SelectObject(hdc, old);
        DeleteDC(hdc);
        DeleteObject(bitmap);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HDC hdc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

} // namespace gdi_test
