#include "FrameWait.h"

namespace testing_support {

bool WaitForFrame(const platform::screen::Compositor& compositor,
                  const std::function<bool(const platform::gdi::Image&)>& holds,
                  std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto generation = compositor.Generation();
        if (holds(compositor.Frame()->snapshot())) {
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        compositor.WaitForGeneration(generation, left);
    }
}

int CountPixels(const platform::gdi::Image& image, const RECT& area, std::uint32_t pixel) {
    int count = 0;
    for (LONG y = std::max<LONG>(0, area.top); y < std::min<LONG>(image.height, area.bottom); ++y) {
        for (LONG x = std::max<LONG>(0, area.left); x < std::min<LONG>(image.width, area.right); ++x) {
            count += image.pixels[static_cast<std::size_t>(y) * image.width + x] == pixel ? 1 : 0;
        }
    }
    return count;
}

int CountOtherPixels(const platform::gdi::Image& image, const RECT& area, std::uint32_t pixel) {
    const LONG w = std::max<LONG>(0, std::min<LONG>(image.width, area.right) - std::max<LONG>(0, area.left));
    const LONG h = std::max<LONG>(0, std::min<LONG>(image.height, area.bottom) - std::max<LONG>(0, area.top));
    return static_cast<int>(w * h) - CountPixels(image, area, pixel);
}

} // namespace testing_support
