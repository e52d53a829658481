// StretchBlt and BitBlt (SRCCOPY only), nearest-neighbour.
//
// Scaling rule: destination column i (0 <= i < w, counted from the destination's left edge) takes
// source column sx + Nearest(i, w, sw), where Nearest(i, n, m) = (2*i*(m-1) + (n-1)) / (2*(n-1)) in
// integer arithmetic, that is i*(m-1)/(n-1) rounded half up, and 0 when n is 1. Rows likewise with h and
// sh. The first and last destination pixels therefore take exactly the first and last source pixels,
// whether the picture grows or shrinks, and an unscaled copy maps every pixel to itself.
//
// The destination is clipped to the destination DC's clip; a destination pixel whose source pixel lies
// outside the source DC's bounds is left as it was.
#include "platform/gdi/DeviceContext.h"

#include <cstdint>
#include <vector>

using namespace platform::gdi;

namespace {

LONG Nearest(LONG i, LONG n, LONG m) {
    if (n <= 1) {
        return 0;
    }
    const std::int64_t numerator = 2 * std::int64_t{i} * (m - 1) + (n - 1);
    return static_cast<LONG>(numerator / (2 * std::int64_t{n - 1}));
}

// For each destination index in [from, to) (relative to the destination's edge), the source index
// in surface coordinates, or -1 when it lies outside [lo, hi).
std::vector<LONG> MapAxis(LONG from, LONG to, LONG n, LONG sourceStart, LONG m, LONG lo, LONG hi) {
    std::vector<LONG> map;
    map.reserve(static_cast<std::size_t>(std::max<LONG>(to - from, 0)));
    for (LONG i = from; i < to; ++i) {
        const LONG s = sourceStart + Nearest(i, n, m);
        map.push_back(s >= lo && s < hi ? s : -1);
    }
    return map;
}

struct Blit {
    RECT target;      // destination pixels to write, surface coordinates, already clipped
    POINT destOrigin; // destination rectangle's corner, surface coordinates
    LONG w, h;
    POINT sourceStart; // source rectangle's corner, surface coordinates
    LONG sw, sh;
};

// Copies with the locks held; `source` may be a private copy of the destination's own pixels.
void Copy(const Blit& b, const std::uint32_t* source, LONG sourceWidth, const RECT& sourceBounds,
          Surface& dest) {
    const auto columns = MapAxis(b.target.left - b.destOrigin.x, b.target.right - b.destOrigin.x, b.w,
                                 b.sourceStart.x, b.sw, sourceBounds.left, sourceBounds.right);
    const auto rows = MapAxis(b.target.top - b.destOrigin.y, b.target.bottom - b.destOrigin.y, b.h,
                              b.sourceStart.y, b.sh, sourceBounds.top, sourceBounds.bottom);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r] < 0) {
            continue;
        }
        const std::uint32_t* from = source + static_cast<std::size_t>(rows[r]) * sourceWidth;
        std::uint32_t* to = &dest.at(b.target.left, b.target.top + static_cast<LONG>(r));
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (columns[c] >= 0) {
                to[c] = from[columns[c]];
            }
        }
    }
}

} // namespace

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
    if (rop != SRCCOPY || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) {
        return FALSE;
    }
    const auto to = StateOf(dst);
    const auto from = StateOf(src);
    if (!to || !from || !to->surface || !from->surface) {
        return FALSE;
    }
    Blit b{};
    b.destOrigin = POINT{x + to->origin.x, y + to->origin.y};
    b.w = w;
    b.h = h;
    b.sourceStart = POINT{sx + from->origin.x, sy + from->origin.y};
    b.sw = sw;
    b.sh = sh;
    const RECT destRect{b.destOrigin.x, b.destOrigin.y, b.destOrigin.x + w, b.destOrigin.y + h};

    Surface& dest = *to->surface;
    Surface& source = *from->surface;
    if (&dest == &source) {
        // One surface: read from a copy so that overlapping areas come out as they were before.
        std::lock_guard lock(dest.mutex());
        b.target = Intersect(destRect, ClipOf(*to));
        const std::vector<std::uint32_t> copy(
            dest.pixels(), dest.pixels() + static_cast<std::size_t>(dest.width()) * dest.height());
        Copy(b, copy.data(), dest.width(), ClipOf(*from), dest);
        return TRUE;
    }
    std::scoped_lock lock(dest.mutex(), source.mutex());
    b.target = Intersect(destRect, ClipOf(*to));
    Copy(b, source.pixels(), source.width(), ClipOf(*from), dest);
    return TRUE;
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    return StretchBlt(dst, x, y, w, h, src, sx, sy, w, h, rop);
}
