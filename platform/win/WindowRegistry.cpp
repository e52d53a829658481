#include "platform/win/WindowRegistry.h"

#include "platform/win/Desktop.h"
#include "platform/win/RectMath.h"
#include "platform/win/WinConstants.h"

#include <algorithm>

namespace platform::win {

WindowRegistry& WindowRegistry::Get() {
    static auto* registry = new WindowRegistry; // never destroyed: threads end after static destruction
    return *registry;
}

Window* WindowRegistry::find(HWND hwnd) const {
    const auto it = windows_.find(reinterpret_cast<std::uintptr_t>(hwnd));
    return it == windows_.end() ? nullptr : it->second.get();
}

HWND WindowRegistry::add(std::shared_ptr<Window> window) {
    const auto number = nextHandle_;
    nextHandle_ += 2;
    const HWND handle = reinterpret_cast<HWND>(number);
    window->handle = handle;
    windows_.emplace(number, std::move(window));
    return handle;
}

std::shared_ptr<Window> WindowRegistry::remove(HWND hwnd) {
    const auto it = windows_.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == windows_.end()) {
        return nullptr;
    }
    auto window = std::move(it->second);
    windows_.erase(it);
    return window;
}

bool WindowRegistry::isTopmost(HWND hwnd) const {
    const Window* w = find(hwnd);
    return w && (w->exStyle & WS_EX_TOPMOST) != 0;
}

void WindowRegistry::addTopLevel(HWND hwnd, bool topmost) {
    if (topmost) {
        zOrder_.push_back(hwnd);
        return;
    }
    // Above every other ordinary window, below the topmost ones.
    auto it = std::find_if(zOrder_.begin(), zOrder_.end(), [&](HWND h) { return isTopmost(h); });
    zOrder_.insert(it, hwnd);
}

void WindowRegistry::raise(HWND hwnd) {
    removeTopLevel(hwnd);
    addTopLevel(hwnd, isTopmost(hwnd));
}

void WindowRegistry::removeTopLevel(HWND hwnd) {
    std::erase(zOrder_, hwnd);
}

RECT WindowRegistry::workArea() const {
    using namespace platform::desktop;
    return RECT{0, kCaptionBarHeight, screenWidth,
                std::max(kCaptionBarHeight, screenHeight - kSoftKeyBarHeight)};
}

Window* TopLevelOf(Window* window) {
    while (window && window->parent) {
        window = FindWindowLocked(window->parent);
    }
    return window;
}

bool IsVisibleLocked(const Window& window) {
    const Window* w = &window;
    while (w) {
        if (!w->visibleStyle()) {
            return false;
        }
        if (!w->parent) {
            return true;
        }
        w = FindWindowLocked(w->parent);
    }
    return false;
}

bool IsDescendantLocked(HWND ancestor, HWND hwnd) {
    const Window* w = FindWindowLocked(hwnd);
    while (w && w->parent) {
        if (w->parent == ancestor) {
            return true;
        }
        w = FindWindowLocked(w->parent);
    }
    return false;
}

POINT ScreenOriginLocked(const Window& window) {
    POINT p{0, 0};
    const Window* w = &window;
    while (w) {
        p.x += w->rect.left;
        p.y += w->rect.top;
        w = w->parent ? FindWindowLocked(w->parent) : nullptr;
    }
    return p;
}

POINT TopLevelOriginLocked(const Window& window) {
    POINT p{0, 0};
    const Window* w = &window;
    while (w && w->parent) {
        p.x += w->rect.left;
        p.y += w->rect.top;
        w = FindWindowLocked(w->parent);
    }
    return p;
}

RECT VisibleAreaInTopLevelLocked(const Window& window) {
    const POINT origin = TopLevelOriginLocked(window);
    RECT area = Offset(window.clientRect(), origin.x, origin.y);
    const Window* w = window.parent ? FindWindowLocked(window.parent) : nullptr;
    while (w) {
        const POINT o = TopLevelOriginLocked(*w);
        area = Intersect(area, Offset(w->clientRect(), o.x, o.y));
        w = w->parent ? FindWindowLocked(w->parent) : nullptr;
    }
    return area;
}

std::vector<HWND> SubtreeLocked(HWND root) {
    std::vector<HWND> out;
    if (!FindWindowLocked(root)) {
        return out;
    }
    out.push_back(root);
    for (std::size_t i = 0; i < out.size(); ++i) {
        // Depth-first, parents before children, children in z-order.
        const Window* w = FindWindowLocked(out[i]);
        if (w && !w->children.empty()) {
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(i) + 1, w->children.begin(),
                       w->children.end());
        }
    }
    return out;
}

} // namespace platform::win
