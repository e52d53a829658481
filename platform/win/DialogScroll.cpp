// Scrolling of full-screen windows taller than the work area.
#include "platform/win/DialogScroll.h"

#include "platform/gdi/Surface.h"
#include "platform/win/Painting.h"
#include "platform/win/RectMath.h"
#include "platform/win/WindowRegistry.h"

#include <algorithm>

namespace platform::win {
namespace {

constexpr int kMargin = 4; // space kept below the lowest control and around a control brought into view
constexpr std::uint32_t kTrackColour = 0x00D8D8D8;
constexpr std::uint32_t kThumbColour = 0x00707070;

// The bottom of the lowest visible child, as if the window were not scrolled.
int ContentBottomLocked(const Window& top) {
    int bottom = 0;
    for (const HWND handle : top.children) {
        const Window* child = FindWindowLocked(handle);
        if (child && child->visibleStyle()) {
            bottom = std::max<int>(bottom, child->rect.bottom + top.scrollY);
        }
    }
    return bottom;
}

bool Scrolls(const Window& top) {
    return !top.parent && top.fullScreen;
}

// The thumb's top and height within a track of the client's height.
std::pair<int, int> ThumbLocked(const Window& top) {
    const int height = Height(top.clientRect());
    const int content = height + ScrollRangeLocked(top);
    const int thumb = std::max(8, height * height / std::max(1, content));
    const int travel = height - thumb;
    const int range = ScrollRangeLocked(top);
    const int y = range > 0 ? travel * top.scrollY / range : 0;
    return {y, thumb};
}

} // namespace

int ScrollRangeLocked(const Window& top) {
    if (!Scrolls(top)) {
        return 0;
    }
    const int content = ContentBottomLocked(top) + kMargin;
    return std::max(0, content - static_cast<int>(Height(top.clientRect())));
}

void ScrollToLocked(Window& top, int position) {
    const int target = std::clamp(position, 0, ScrollRangeLocked(top));
    const int delta = target - top.scrollY;
    if (delta == 0) {
        return;
    }
    for (const HWND handle : top.children) {
        if (Window* child = FindWindowLocked(handle)) {
            child->rect = Offset(child->rect, 0, -delta);
        }
    }
    top.scrollY = target;
    InvalidateLocked(top, top.clientRect(), true);
}

void ScrollIntoViewLocked(const Window& control) {
    Window* top = TopLevelOf(const_cast<Window*>(&control));
    if (!top || top == &control || !Scrolls(*top)) {
        return;
    }
    const POINT origin = TopLevelOriginLocked(control);
    const int height = Height(top->clientRect());
    const int controlTop = origin.y;
    const int controlBottom = origin.y + Height(control.clientRect());
    if (controlTop < 0) {
        ScrollToLocked(*top, top->scrollY + controlTop - kMargin);
    } else if (controlBottom > height) {
        ScrollToLocked(*top, top->scrollY + controlBottom - height + kMargin);
    }
}

RECT ScrollBarRectLocked(const Window& top) {
    if (ScrollRangeLocked(top) == 0) {
        return kEmptyRect;
    }
    const RECT client = top.clientRect();
    return RECT{client.right - kScrollBarWidth, 0, client.right, client.bottom};
}

bool PressScrollBarLocked(Window& top, POINT client) {
    if (!Contains(ScrollBarRectLocked(top), client)) {
        return false;
    }
    const auto [thumbTop, thumbHeight] = ThumbLocked(top);
    const int page = std::max(1, static_cast<int>(Height(top.clientRect())) - 2 * kMargin);
    if (client.y < thumbTop) {
        ScrollToLocked(top, top.scrollY - page);
    } else if (client.y >= thumbTop + thumbHeight) {
        ScrollToLocked(top, top.scrollY + page);
    }
    return true;
}

void DrawScrollBarLocked(const Window& top) {
    const RECT bar = ScrollBarRectLocked(top);
    if (IsEmpty(bar) || !top.surface) {
        return;
    }
    const auto [thumbTop, thumbHeight] = ThumbLocked(top);
    auto& surface = *top.surface;
    std::lock_guard lock(surface.mutex());
    const int right = std::min<int>(bar.right, surface.width());
    const int bottom = std::min<int>(bar.bottom, surface.height());
    for (int y = std::max<int>(0, bar.top); y < bottom; ++y) {
        const bool thumb = y >= thumbTop && y < thumbTop + thumbHeight;
        for (int x = std::max<int>(0, bar.left + 1); x < right; ++x) {
            surface.at(x, y) = thumb ? kThumbColour : kTrackColour;
        }
    }
}

} // namespace platform::win
