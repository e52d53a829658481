// Showing, enabling and raising windows, and the mouse capture.
#include "platform/win/ChangeNotifier.h"
#include "platform/win/Desktop.h"
#include "platform/win/Focus.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Painting.h"
#include "platform/win/RectMath.h"
#include "platform/win/ThreadContext.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowRegistry.h"

using namespace platform::win;

namespace {

// Applies the new visibility; returns the screen rectangle whose pixels changed (top-level windows).
RECT ApplyVisibilityLocked(Window& w, bool show) {
    RECT changed = kEmptyRect;
    if (show) {
        w.style |= WS_VISIBLE;
        if (!w.parent) {
            WindowRegistry::Get().raise(w.handle);
        }
        InvalidateLocked(w, w.clientRect(), true);
        changed = VisibleScreenRectLocked(w);
    } else {
        changed = VisibleScreenRectLocked(w);
        w.style &= ~WS_VISIBLE;
        if (Window* parent = FindWindowLocked(w.parent)) {
            InvalidateLocked(*parent, w.rect, true);
        }
    }
    return w.parent ? kEmptyRect : changed;
}

} // namespace

BOOL ShowWindow(HWND hwnd, int cmd) {
    const bool show = cmd != SW_HIDE;
    bool was = false;
    bool topLevel = false;
    bool ownThread = false;
    {
        auto lock = LockWindows();
        const Window* w = FindWindowLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        was = w->visibleStyle();
        topLevel = w->parent == nullptr;
        ownThread = IsCurrentThread(*w->queue);
    }
    if (was == show) {
        return was ? TRUE : FALSE;
    }
    SendMessage(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!show && ownThread) {
        MoveFocusAwayFrom(hwnd);
    }
    RECT changed = kEmptyRect;
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(hwnd);
        if (!w) {
            return was ? TRUE : FALSE;
        }
        changed = ApplyVisibilityLocked(*w, show);
    }
    if (show && topLevel && ownThread && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE) {
        ActivateWindow(hwnd);
    }
    if (!IsEmpty(changed)) {
        NotifyScreenChanged(changed);
    } else {
        NotifyStateChanged();
    }
    return was ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    return w && IsVisibleLocked(*w) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled = false;
    bool ownThread = false;
    RECT screen = kEmptyRect;
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasDisabled = !w->enabledStyle();
        if (wasDisabled == !enable) {
            return wasDisabled ? TRUE : FALSE;
        }
        if (enable) {
            w->style &= ~WS_DISABLED;
        } else {
            w->style |= WS_DISABLED;
        }
        ownThread = IsCurrentThread(*w->queue);
        if (!enable && !ownThread && w->queue->focus == hwnd) {
            w->queue->focus = nullptr; // a disabled window keeps no focus
        }
        if (!w->parent) {
            screen = VisibleScreenRectLocked(*w); // the foreground window may change
        }
    }
    if (!enable && ownThread && GetFocus() == hwnd) {
        SetFocus(nullptr);
    }
    SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    if (!IsEmpty(screen)) {
        NotifyScreenChanged(screen);
    } else {
        NotifyStateChanged();
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    return w && w->enabledStyle() ? TRUE : FALSE;
}

HWND GetForegroundWindow() {
    return platform::desktop::ForegroundWindow();
}

BOOL SetForegroundWindow(HWND hwnd) {
    RECT screen = kEmptyRect;
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(hwnd);
        if (!w || w->parent || !w->visibleStyle()) {
            return FALSE;
        }
        WindowRegistry::Get().raise(hwnd);
        screen = VisibleScreenRectLocked(*w);
    }
    NotifyScreenChanged(screen);
    return TRUE;
}

HWND SetCapture(HWND hwnd) {
    auto lock = LockWindows();
    auto& registry = WindowRegistry::Get();
    const HWND old = registry.capture;
    registry.capture = registry.find(hwnd) ? hwnd : nullptr;
    return old;
}

BOOL ReleaseCapture() {
    auto lock = LockWindows();
    WindowRegistry::Get().capture = nullptr;
    return TRUE;
}

HWND GetCapture() {
    auto lock = LockWindows();
    auto& registry = WindowRegistry::Get();
    return registry.find(registry.capture) ? registry.capture : nullptr;
}
