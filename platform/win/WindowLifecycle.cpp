#include "platform/win/WindowLifecycle.h"

#include "platform/gdi/GdiBackend.h"
#include "platform/win/ChangeNotifier.h"
#include "platform/win/Focus.h"
#include "platform/win/Hooks.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Painting.h"
#include "platform/win/RectMath.h"
#include "platform/win/ThreadContext.h"
#include "platform/win/WindowClasses.h"
#include "platform/win/WindowRegistry.h"

#include <algorithm>

namespace platform::win {
namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

// Takes a window out of the tree and the table. Returns what must be released once the lock is gone.
struct Remains {
    std::shared_ptr<Window> window;
    HFONT font = nullptr;
};

Remains UnlinkLocked(HWND hwnd) {
    auto& registry = WindowRegistry::Get();
    Window* w = registry.find(hwnd);
    if (!w) {
        return {};
    }
    if (Window* parent = registry.find(w->parent)) {
        std::erase(parent->children, hwnd);
    }
    if (!w->parent) {
        registry.removeTopLevel(hwnd);
    }
    w->queue->killTimersOf(hwnd);
    if (registry.capture == hwnd) {
        registry.capture = nullptr;
    }
    if (w->queue->focus == hwnd) {
        w->queue->focus = nullptr;
    }
    Remains remains;
    if (w->dialog) {
        remains.font = w->dialog->font;
        if (w->dialog->modal) {
            w->dialog->modal->ended.store(true, std::memory_order_release);
        }
    }
    remains.window = registry.remove(hwnd);
    return remains;
}

void Release(const Remains& remains) {
    if (remains.font) {
        DeleteObject(remains.font);
    }
}

// Hides a window that is about to be destroyed, without WM_SHOWWINDOW, and repaints what it covered.
void HideForDestruction(HWND hwnd) {
    RECT screen = kEmptyRect;
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(hwnd);
        if (!w || !w->visibleStyle()) {
            return;
        }
        screen = VisibleScreenRectLocked(*w);
        w->style &= ~WS_VISIBLE;
        if (Window* parent = FindWindowLocked(w->parent)) {
            InvalidateLocked(*parent, w->rect, true);
        }
    }
    if (!IsEmpty(screen)) {
        NotifyScreenChanged(screen);
    }
}

std::vector<HWND> ChildrenOf(HWND hwnd) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    return w ? w->children : std::vector<HWND>{};
}

void SendDestroyMessages(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return;
    }
    SendMessage(hwnd, WM_DESTROY, 0, 0);
    for (const HWND child : ChildrenOf(hwnd)) {
        SendDestroyMessages(child);
    }
}

void FinishDestruction(HWND hwnd) {
    for (const HWND child : ChildrenOf(hwnd)) {
        FinishDestruction(child);
    }
    if (!IsWindow(hwnd)) {
        return;
    }
    SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    Remains remains;
    {
        auto lock = LockWindows();
        remains = UnlinkLocked(hwnd);
    }
    Release(remains);
}

RECT InitialRect(bool child, int x, int y, int width, int height) {
    if (!child && (x == CW_USEDEFAULT || width == CW_USEDEFAULT)) {
        auto lock = LockWindows();
        return WindowRegistry::Get().workArea();
    }
    return RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
}

// Makes the record and links it into the tree; nullptr (with the error set) when the parent is bad.
HWND LinkNewWindow(std::shared_ptr<Window> window, HWND parent) {
    auto lock = LockWindows();
    auto& registry = WindowRegistry::Get();
    if (window->style & WS_CHILD) {
        Window* p = registry.find(parent);
        if (!p) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        window->parent = parent;
    } else {
        Window* top = TopLevelOf(registry.find(parent));
        window->owner = top ? top->handle : nullptr;
        window->surface = std::make_shared<gdi::Surface>(Width(window->rect), Height(window->rect), kWhite);
    }
    const bool topmost = (window->exStyle & WS_EX_TOPMOST) != 0;
    const HWND hwnd = registry.add(std::move(window));
    Window* w = registry.find(hwnd);
    if (Window* p = registry.find(w->parent)) {
        p->children.push_back(hwnd);
    } else {
        registry.addTopLevel(hwnd, topmost);
    }
    return hwnd;
}

std::shared_ptr<Window> NewRecord(std::shared_ptr<const WindowClass> cls, DWORD exStyle, LPCWSTR windowName,
                                  DWORD style, HMENU menuOrId, HINSTANCE instance) {
    auto window = std::make_shared<Window>();
    window->proc = cls->proc;
    window->style = style & ~WS_VISIBLE; // shown once it is made
    window->exStyle = exStyle;
    window->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menuOrId) : 0;
    window->text = windowName && !IS_INTRESOURCE(windowName) ? windowName : L"";
    window->instance = instance;
    window->queue = CurrentQueue();
    if (cls->isDialogClass()) {
        window->dialog = std::make_unique<DialogData>();
    } else {
        window->extra.assign(static_cast<std::size_t>(cls->wndExtra), 0);
    }
    window->windowClass = std::move(cls);
    return window;
}

// After WM_CREATE: the first WM_SIZE, then showing the window if its style asked for it.
void FinishCreation(HWND hwnd, DWORD style) {
    RECT client{};
    GetClientRect(hwnd, &client);
    SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(static_cast<WORD>(client.right), static_cast<WORD>(client.bottom)));
    if (style & WS_VISIBLE) {
        if (style & WS_CHILD) {
            auto lock = LockWindows();
            if (Window* w = FindWindowLocked(hwnd)) {
                w->style |= WS_VISIBLE;
                InvalidateLocked(*w, w->clientRect(), true);
            }
        } else {
            ShowWindow(hwnd, SW_SHOW);
        }
    }
    NotifyStateChanged();
}

} // namespace

void RemoveWindowsOfThread(const MessageQueue& queue) {
    std::vector<RECT> uncovered;
    std::vector<Remains> remains;
    {
        auto lock = LockWindows();
        auto& registry = WindowRegistry::Get();
        std::vector<HWND> handles;
        registry.forEach([&](const Window& w) {
            if (w.queue.get() == &queue) {
                handles.push_back(w.handle);
            }
        });
        for (const HWND h : handles) {
            const Window* w = registry.find(h);
            if (w && !w->parent && w->visibleStyle()) {
                uncovered.push_back(w->rect);
            }
        }
        for (const HWND h : handles) {
            remains.push_back(UnlinkLocked(h));
        }
    }
    for (const auto& r : remains) {
        Release(r);
    }
    for (const auto& r : uncovered) {
        NotifyScreenChanged(r);
    }
    NotifyStateChanged();
}

} // namespace platform::win

using namespace platform::win;

HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
    const auto cls = FindWindowClass(className);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    auto window = NewRecord(cls, exStyle, windowName, style, menuOrId, instance);
    window->rect = InitialRect((style & WS_CHILD) != 0, x, y, width, height);
    const RECT rect = window->rect;
    const HWND hwnd = LinkNewWindow(std::move(window), parent);
    if (!hwnd) {
        return nullptr;
    }
    CREATESTRUCT cs{param,      instance,     menuOrId,
                    parent,     Height(rect), Width(rect),
                    rect.top,   rect.left,    static_cast<LONG>(style),
                    windowName, className,    exStyle};
    CBT_CREATEWND cbt{&cs, nullptr};
    if (CallCbtHook(HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt)) != 0) {
        Remains remains;
        {
            auto lock = LockWindows();
            remains = UnlinkLocked(hwnd);
        }
        Release(remains);
        return nullptr;
    }
    if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) {
        return nullptr; // destroyed while it was being made
    }
    FinishCreation(hwnd, style);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    std::vector<HWND> owned;
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (!IsCurrentThread(*w->queue)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (w->destroying) {
            return TRUE;
        }
        w->destroying = true;
        auto& registry = WindowRegistry::Get();
        for (const HWND top : registry.zOrder()) {
            const Window* o = registry.find(top);
            if (o && o->owner == hwnd && o->queue == w->queue) {
                owned.push_back(top);
            }
        }
    }
    CallCbtHook(HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hwnd), 0);
    for (const HWND o : owned) {
        DestroyWindow(o);
    }
    MoveFocusAwayFrom(hwnd);
    HideForDestruction(hwnd);
    SendDestroyMessages(hwnd);
    FinishDestruction(hwnd);
    NotifyStateChanged();
    return TRUE;
}
