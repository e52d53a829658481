#include "platform/win/Focus.h"

#include "platform/win/ChangeNotifier.h"
#include "platform/win/DialogScroll.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/ThreadContext.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowRegistry.h"

namespace platform::win {
namespace {

// Where the focus should go inside a top-level window being activated.
HWND FocusTargetLocked(const Window& top) {
    const Window* last = FindWindowLocked(top.lastFocus);
    if (last && (last->handle == top.handle || IsDescendantLocked(top.handle, last->handle)) &&
        IsVisibleLocked(*last) && last->enabledStyle()) {
        return last->handle;
    }
    return top.handle;
}

} // namespace

void ActivateWindow(HWND topLevel) {
    HWND target = nullptr;
    {
        auto lock = LockWindows();
        const Window* top = FindWindowLocked(topLevel);
        const auto queue = CurrentQueueIfAny();
        if (!top || top->parent || !queue || top->queue != queue) {
            return;
        }
        const HWND focus = queue->focus;
        if (focus == topLevel || IsDescendantLocked(topLevel, focus)) {
            return;
        }
        target = FocusTargetLocked(*top);
    }
    SetFocus(target);
}

void MoveFocusAwayFrom(HWND hwnd) {
    HWND target = nullptr;
    {
        auto lock = LockWindows();
        const auto queue = CurrentQueueIfAny();
        const Window* w = FindWindowLocked(hwnd);
        if (!queue || !w) {
            return;
        }
        const HWND focus = queue->focus;
        if (!focus || (focus != hwnd && !IsDescendantLocked(hwnd, focus))) {
            return;
        }
        if (!w->parent) {
            auto& registry = WindowRegistry::Get();
            const Window* owner = registry.find(w->owner);
            if (owner && owner->queue == queue && owner->visibleStyle()) {
                target = FocusTargetLocked(*owner);
            } else {
                const auto& z = registry.zOrder();
                for (auto it = z.rbegin(); it != z.rend() && !target; ++it) {
                    const Window* other = registry.find(*it);
                    if (other && *it != hwnd && other->queue == queue && other->visibleStyle() &&
                        !other->destroying) {
                        target = FocusTargetLocked(*other);
                    }
                }
            }
        }
    }
    SetFocus(target);
}

} // namespace platform::win

using namespace platform::win;

HWND SetFocus(HWND hwnd) {
    const auto queue = CurrentQueue();
    HWND old = nullptr;
    {
        auto lock = LockWindows();
        old = FindWindowLocked(queue->focus) ? queue->focus : nullptr;
        if (hwnd) {
            const Window* w = FindWindowLocked(hwnd);
            if (!w || w->queue != queue) {
                SetLastError(w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
        }
        if (old == hwnd) {
            return old;
        }
    }
    if (old) {
        SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(hwnd);
        queue->focus = w ? hwnd : nullptr;
        if (Window* top = TopLevelOf(w)) {
            top->lastFocus = hwnd;
            ScrollIntoViewLocked(*w);
        }
    }
    if (hwnd) {
        SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    NotifyStateChanged();
    return old;
}

HWND GetFocus() {
    const auto queue = CurrentQueueIfAny();
    if (!queue) {
        return nullptr;
    }
    auto lock = LockWindows();
    return FindWindowLocked(queue->focus) ? queue->focus : nullptr;
}

HWND GetActiveWindow() {
    const auto queue = CurrentQueueIfAny();
    if (!queue) {
        return nullptr;
    }
    auto lock = LockWindows();
    if (Window* top = TopLevelOf(FindWindowLocked(queue->focus))) {
        return top->handle;
    }
    auto& registry = WindowRegistry::Get();
    const auto& z = registry.zOrder();
    for (auto it = z.rbegin(); it != z.rend(); ++it) {
        const Window* w = registry.find(*it);
        if (w && w->queue == queue && w->visibleStyle()) {
            return *it;
        }
    }
    return nullptr;
}
