// Rectangle arithmetic for the window core. Rectangles are right/bottom exclusive; an empty rectangle
// is any with no area, and the operations that produce one return {0,0,0,0}.
#pragma once

#include "platform/win/WinTypes.h"

#include <algorithm>

namespace platform::win {

constexpr RECT kEmptyRect{0, 0, 0, 0};

constexpr bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

constexpr RECT Intersect(const RECT& a, const RECT& b) {
    const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? kEmptyRect : r;
}

constexpr RECT Union(const RECT& a, const RECT& b) {
    if (IsEmpty(a)) {
        return IsEmpty(b) ? kEmptyRect : b;
    }
    if (IsEmpty(b)) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

constexpr RECT Offset(const RECT& r, LONG dx, LONG dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

constexpr bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

constexpr LONG Width(const RECT& r) {
    return r.right - r.left;
}
constexpr LONG Height(const RECT& r) {
    return r.bottom - r.top;
}

constexpr bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace platform::win
