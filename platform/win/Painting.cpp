#include "platform/win/Painting.h"

#include "platform/gdi/GdiBackend.h"
#include "platform/gdi/Surface.h"
#include "platform/win/ChangeNotifier.h"
#include "platform/win/DialogScroll.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Messaging.h"
#include "platform/win/RectMath.h"
#include "platform/win/ThreadContext.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowRegistry.h"

#include <algorithm>
#include <mutex>

namespace platform::win {

void InvalidateLocked(Window& window, const RECT& clientRect, bool erase) {
    const RECT r = Intersect(clientRect, window.clientRect());
    if (IsEmpty(r)) {
        return;
    }
    window.update = Union(window.update, r);
    window.eraseBackground = window.eraseBackground || erase;
    for (const HWND childHandle : window.children) {
        Window* child = FindWindowLocked(childHandle);
        if (child && child->visibleStyle()) {
            InvalidateLocked(*child, Offset(r, -child->rect.left, -child->rect.top), erase);
        }
    }
    window.queue->wake();
}

HWND FindWindowToPaint(const MessageQueue& queue, const MessageFilter& filter) {
    auto lock = LockWindows();
    const auto& zOrder = WindowRegistry::Get().zOrder();
    for (auto top = zOrder.rbegin(); top != zOrder.rend(); ++top) {
        const Window* t = FindWindowLocked(*top);
        if (!t || t->queue.get() != &queue || !t->visibleStyle()) {
            continue;
        }
        for (const HWND hwnd : SubtreeLocked(*top)) {
            const Window* w = FindWindowLocked(hwnd);
            if (w && !IsEmpty(w->update) && w->queue.get() == &queue && IsVisibleLocked(*w) &&
                filter.acceptsWindow(hwnd)) {
                return hwnd;
            }
        }
    }
    return nullptr;
}

RECT VisibleScreenRectLocked(const Window& window) {
    if (!IsVisibleLocked(window)) {
        return kEmptyRect;
    }
    Window* top = TopLevelOf(const_cast<Window*>(&window));
    if (!top) {
        return kEmptyRect;
    }
    return Offset(VisibleAreaInTopLevelLocked(window), top->rect.left, top->rect.top);
}

namespace {

struct DrawTarget {
    std::shared_ptr<gdi::Surface> surface;
    POINT origin{};
    RECT visible{}; // in surface coordinates
};

bool DrawTargetLocked(const Window& window, DrawTarget& target) {
    Window* top = TopLevelOf(const_cast<Window*>(&window));
    if (!top || !top->surface) {
        return false;
    }
    target.surface = top->surface;
    target.origin = TopLevelOriginLocked(window);
    target.visible = VisibleAreaInTopLevelLocked(window);
    return true;
}

// What a scrolled window's own background may leave uncovered (it paints the client area's size, shifted
// up) is white, not old pixels.
void ClearBelowScrolledBackground(gdi::Surface& surface, const RECT& clip) {
    std::lock_guard lock(surface.mutex());
    const int right = std::min<int>(clip.right, surface.width());
    const int bottom = std::min<int>(clip.bottom, surface.height());
    for (int y = std::max<int>(0, clip.top); y < bottom; ++y) {
        for (int x = std::max<int>(0, clip.left); x < right; ++x) {
            surface.at(x, y) = 0x00FFFFFF;
        }
    }
}

void ReportPainted(HWND hwnd, const RECT& clientRect) {
    RECT screen{};
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            return;
        }
        const POINT origin = ScreenOriginLocked(*w);
        screen = Intersect(Offset(clientRect, origin.x, origin.y), VisibleScreenRectLocked(*w));
    }
    if (!IsEmpty(screen)) {
        NotifyScreenChanged(screen);
    } else {
        NotifyStateChanged();
    }
}

} // namespace
} // namespace platform::win

using namespace platform::win;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    auto lock = LockWindows();
    auto& registry = WindowRegistry::Get();
    if (!hwnd) {
        for (const HWND top : registry.zOrder()) {
            if (Window* w = registry.find(top)) {
                InvalidateLocked(*w, w->clientRect(), erase != FALSE);
            }
        }
        return TRUE;
    }
    Window* w = registry.find(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    InvalidateLocked(*w, rect ? *rect : w->clientRect(), erase != FALSE);
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    std::vector<HWND> subtree;
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (!IsCurrentThread(*w->queue)) {
            w->queue->wake(); // the owner paints from its own loop
            return TRUE;
        }
        subtree = SubtreeLocked(hwnd);
    }
    for (const HWND h : subtree) {
        bool needsPaint = false;
        {
            auto lock = LockWindows();
            const Window* w = FindWindowLocked(h);
            needsPaint = w && !IsEmpty(w->update) && IsVisibleLocked(*w);
        }
        if (needsPaint) {
            SendMessage(h, WM_PAINT, 0, 0);
        }
    }
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    if (!ps) {
        return nullptr;
    }
    DrawTarget target;
    RECT update{};
    bool erase = false;
    int scrolled = 0;
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(hwnd);
        if (!w || !DrawTargetLocked(*w, target)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        update = w->update;
        erase = w->eraseBackground;
        w->update = kEmptyRect;
        w->eraseBackground = false;
        scrolled = w->isChild() ? 0 : w->scrollY;
    }
    const RECT clip = Intersect(Offset(update, target.origin.x, target.origin.y), target.visible);
    if (scrolled != 0 && erase) {
        ClearBelowScrolledBackground(*target.surface, clip);
    }
    // A scrolled window draws its own background shifted up with its children.
    const POINT origin{target.origin.x, target.origin.y - scrolled};
    const HDC hdc = platform::gdi::CreateSurfaceDC(target.surface, origin, clip);
    ps->hdc = hdc;
    ps->rcPaint = update;
    ps->fErase = erase ? TRUE : FALSE;
    if (erase && hdc) {
        ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0 ? TRUE : FALSE;
    }
    return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) {
        return FALSE;
    }
    if (ps->hdc) {
        DeleteDC(ps->hdc);
    }
    RECT painted = ps->rcPaint;
    {
        auto lock = LockWindows();
        if (const Window* w = FindWindowLocked(hwnd); w && !w->isChild()) {
            DrawScrollBarLocked(*w);
            painted = Union(painted, ScrollBarRectLocked(*w));
        }
    }
    ReportPainted(hwnd, painted);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    DrawTarget target;
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w || !DrawTargetLocked(*w, target)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    }
    return platform::gdi::CreateSurfaceDC(target.surface, target.origin, target.visible);
}

int ReleaseDC(HWND hwnd, HDC hdc) {
    if (!hdc || !DeleteDC(hdc)) {
        return 0;
    }
    RECT client{};
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            return 1;
        }
        client = w->clientRect();
    }
    ReportPainted(hwnd, client);
    return 1;
}
