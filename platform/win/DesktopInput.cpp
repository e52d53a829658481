// The one input path: clicks, keys and characters from the front-ends and the automation channel,
// posted to the thread that owns the target window.
#include "platform/win/ChangeNotifier.h"
#include "platform/win/Desktop.h"
#include "platform/win/DialogScroll.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/RectMath.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowClasses.h"
#include "platform/win/WindowRegistry.h"

#include <optional>

namespace platform::desktop {
namespace {

using namespace platform::win;

// Group boxes, and statics that do not ask for clicks, let clicks through to what lies below.
bool TransparentToClicks(const Window& w) {
    const auto& name = w.windowClass->name;
    if (SameClassName(name, L"BUTTON")) {
        return (w.style & BS_TYPEMASK) == BS_GROUPBOX;
    }
    if (SameClassName(name, L"STATIC")) {
        return (w.style & SS_NOTIFY) == 0;
    }
    return false;
}

// The deepest enabled visible window under `screen` inside `w`; descends into children in z-order.
HWND DeepestAtLocked(const Window& w, POINT screen) {
    for (const HWND childHandle : w.children) {
        const Window* child = FindWindowLocked(childHandle);
        if (!child || !child->visibleStyle() || TransparentToClicks(*child)) {
            continue;
        }
        const POINT origin = ScreenOriginLocked(*child);
        if (!Contains(Offset(child->clientRect(), origin.x, origin.y), screen)) {
            continue;
        }
        return child->enabledStyle() ? DeepestAtLocked(*child, screen) : w.handle;
    }
    return w.handle;
}

// The window a mouse message at `screen` goes to, or nullptr (nothing there, or a disabled window).
HWND MouseTargetLocked(POINT screen) {
    auto& registry = WindowRegistry::Get();
    if (registry.find(registry.capture)) {
        return registry.capture;
    }
    const auto& z = registry.zOrder();
    for (auto it = z.rbegin(); it != z.rend(); ++it) {
        const Window* top = registry.find(*it);
        if (top && top->visibleStyle() && Contains(top->rect, screen)) {
            return top->enabledStyle() ? DeepestAtLocked(*top, screen) : nullptr;
        }
    }
    return nullptr;
}

// A press on the scroll bar of the topmost window under `screen` scrolls that window and goes no further.
bool PressScrollBarLocked(POINT screen) {
    auto& registry = WindowRegistry::Get();
    if (registry.find(registry.capture)) {
        return false;
    }
    const auto& z = registry.zOrder();
    for (auto it = z.rbegin(); it != z.rend(); ++it) {
        Window* top = registry.find(*it);
        if (top && top->visibleStyle() && Contains(top->rect, screen)) {
            return top->enabledStyle() &&
                   platform::win::PressScrollBarLocked(
                       *top, POINT{screen.x - top->rect.left, screen.y - top->rect.top});
        }
    }
    return false;
}

void PostMouse(POINT screen, UINT message, std::optional<bool> buttonDown) {
    HWND target = nullptr;
    POINT client{};
    WPARAM keys = 0;
    {
        auto lock = LockWindows();
        auto& registry = WindowRegistry::Get();
        registry.cursor = screen;
        if (buttonDown) {
            registry.buttonDown = *buttonDown;
        }
        keys = registry.buttonDown ? MK_LBUTTON : 0;
        if (message == WM_LBUTTONDOWN && PressScrollBarLocked(screen)) {
            return;
        }
        target = MouseTargetLocked(screen);
        if (const Window* w = FindWindowLocked(target)) {
            const POINT origin = ScreenOriginLocked(*w);
            client = POINT{screen.x - origin.x, screen.y - origin.y};
        }
    }
    if (target) {
        PostMessage(target, message, keys,
                    MAKELPARAM(static_cast<WORD>(static_cast<std::int16_t>(client.x)),
                               static_cast<WORD>(static_cast<std::int16_t>(client.y))));
    }
}

// The window that gets keys: the focus of the foreground window's thread when it lies in that window,
// else the foreground window itself. The soft keys go to the foreground window's menu bar, if any.
HWND KeyTarget(UINT vk) {
    const HWND foreground = ForegroundWindow();
    if (!foreground) {
        return nullptr;
    }
    if (vk == VK_F1 || vk == VK_F2) {
        const SoftKeys keys = SoftKeysOf(foreground);
        if (keys.menuBar && IsWindow(keys.menuBar)) {
            return keys.menuBar;
        }
    }
    auto lock = LockWindows();
    const Window* top = FindWindowLocked(foreground);
    if (!top) {
        return nullptr;
    }
    const HWND focus = top->queue->focus;
    if (FindWindowLocked(focus) && (focus == foreground || IsDescendantLocked(foreground, focus))) {
        return focus;
    }
    return foreground;
}

} // namespace

void InjectMouse(POINT screenPoint, bool down) {
    PostMouse(screenPoint, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down);
}

void InjectClick(POINT screenPoint) {
    InjectMouse(screenPoint, true);
    InjectMouse(screenPoint, false);
}

void InjectMouseMove(POINT screenPoint) {
    PostMouse(screenPoint, WM_MOUSEMOVE, std::nullopt);
}

void InjectKey(UINT vk, bool down) {
    if (const HWND target = KeyTarget(vk)) {
        const LPARAM flags = down ? 1 : static_cast<LPARAM>(0xC0000001u);
        PostMessage(target, down ? WM_KEYDOWN : WM_KEYUP, vk, flags);
    }
}

HWND WindowAtPoint(POINT screenPoint) {
    auto lock = LockWindows();
    return MouseTargetLocked(screenPoint);
}

void ScrollIntoView(HWND control) {
    auto lock = LockWindows();
    if (const Window* w = FindWindowLocked(control)) {
        ScrollIntoViewLocked(*w);
    }
}

void InjectChar(wchar_t ch) {
    if (const HWND target = KeyTarget(0)) {
        PostMessage(target, WM_CHAR, static_cast<WPARAM>(ch), 1);
    }
}

} // namespace platform::desktop
