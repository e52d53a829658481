// Small rectangle helpers for the drawing code. Rectangles are right/bottom exclusive, as on the device.
#pragma once

#include "platform/win/WinTypes.h"

#include <algorithm>

namespace platform::gdi {

constexpr bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

constexpr RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (IsEmpty(r)) {
        return RECT{0, 0, 0, 0};
    }
    return r;
}

constexpr RECT Offset(const RECT& r, POINT by) {
    return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

constexpr bool Contains(const RECT& r, LONG x, LONG y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace platform::gdi
