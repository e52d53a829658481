#include "platform/gdi/Surface.h"

#include <algorithm>

namespace platform::gdi {

Surface::Surface(int width, int height, std::uint32_t fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0), fill) {}

void Surface::resize(int width, int height, std::uint32_t fill) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::lock_guard lock(mutex_);
    const int oldWidth = width_.load(std::memory_order_relaxed);
    const int oldHeight = height_.load(std::memory_order_relaxed);
    if (width == oldWidth && height == oldHeight) {
        return;
    }
    std::vector<std::uint32_t> next(static_cast<std::size_t>(width) * height, fill);
    const int keepWidth = std::min(width, oldWidth);
    const int keepHeight = std::min(height, oldHeight);
    for (int y = 0; y < keepHeight; ++y) {
        const auto* from = pixels_.data() + static_cast<std::size_t>(y) * oldWidth;
        std::copy(from, from + keepWidth, next.data() + static_cast<std::size_t>(y) * width);
    }
    pixels_ = std::move(next);
    width_.store(width, std::memory_order_release);
    height_.store(height, std::memory_order_release);
}

Image Surface::snapshot() const {
    std::lock_guard lock(mutex_);
    return Image{width(), height(), pixels_};
}

} // namespace platform::gdi
