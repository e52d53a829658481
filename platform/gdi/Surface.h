// A 32-bit framebuffer: width times height pixels, row-major, each pixel 0x00RRGGBB.
//
// Surfaces are shared between threads: a window thread draws into its window's surface while the screen
// thread copies it. Every drawing call of this library holds mutex() for the duration of one operation,
// so anyone who reads or writes pixels directly (pixels(), at()) must hold it too. width() and height()
// may be read without the lock, but a consistent size together with the pixels needs the lock (or take
// a snapshot()).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace platform::gdi {

// A plain copy of a surface's pixels, owned by whoever took it.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // row-major, 0x00RRGGBB
};

class Surface {
public:
    // A surface of the given size (negative sizes count as 0), every pixel set to `fill`.
    Surface(int width, int height, std::uint32_t fill = 0);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int width() const { return width_.load(std::memory_order_acquire); }
    int height() const { return height_.load(std::memory_order_acquire); }

    // Changes the size under the lock. The part that both sizes share keeps its pixels; new pixels are
    // set to `fill`.
    void resize(int width, int height, std::uint32_t fill = 0);

    // Direct pixel access; hold mutex() while using these.
    std::uint32_t* pixels() { return pixels_.data(); }
    const std::uint32_t* pixels() const { return pixels_.data(); }
    std::uint32_t& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width() + x]; }
    std::uint32_t at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width() + x]; }

    std::mutex& mutex() const { return mutex_; }

    // A copy of the whole surface, taken under the lock.
    Image snapshot() const;

private:
    mutable std::mutex mutex_;
    std::atomic<int> width_;
    std::atomic<int> height_;
    std::vector<std::uint32_t> pixels_;
};

} // namespace platform::gdi
