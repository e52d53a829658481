// Every window's record, found by handle; the stacking order of the top-level windows; and the few
// pieces of desktop state that go with them (screen size, mouse capture, cursor position).
//
// One mutex, the window lock, guards all of it and every field of every Window. It is never held while
// a window procedure, a hook, a timer procedure or the desktop's listener runs. Lock order: the window
// lock may be taken before a queue's mutex or a surface's mutex, never after.
//
// Handles are numbers handed out once and never reused; a handle whose window is gone finds nothing.
#pragma once

#include "platform/win/Window.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace platform::win {

class WindowRegistry {
public:
    static WindowRegistry& Get();

    std::mutex& mutex() { return mutex_; }

    // Everything below expects the window lock to be held.
    Window* find(HWND hwnd) const;
    HWND add(std::shared_ptr<Window> window);
    std::shared_ptr<Window> remove(HWND hwnd);
    template <typename F> void forEach(F&& f) const {
        for (const auto& [handle, window] : windows_) {
            f(*window);
        }
    }

    // Top-level windows, bottom of the z-order first. WS_EX_TOPMOST windows stay above the others.
    const std::vector<HWND>& zOrder() const { return zOrder_; }
    void addTopLevel(HWND hwnd, bool topmost);
    void raise(HWND hwnd);
    void removeTopLevel(HWND hwnd);

    // Screen size (the work area lies between the caption bar and the soft-key bar).
    int screenWidth = 240;
    int screenHeight = 320;
    RECT workArea() const;

    HWND capture = nullptr;
    POINT cursor{0, 0};
    bool buttonDown = false;

private:
    WindowRegistry() = default;
    bool isTopmost(HWND hwnd) const;

    std::mutex mutex_;
    std::unordered_map<std::uintptr_t, std::shared_ptr<Window>> windows_;
    std::uintptr_t nextHandle_ = 0x10000;
    std::vector<HWND> zOrder_;
};

using WindowLock = std::unique_lock<std::mutex>;
inline WindowLock LockWindows() {
    return WindowLock(WindowRegistry::Get().mutex());
}
inline Window* FindWindowLocked(HWND hwnd) {
    return WindowRegistry::Get().find(hwnd);
}

// Tree helpers; the window lock must be held.
Window* TopLevelOf(Window* window);
bool IsVisibleLocked(const Window& window); // WS_VISIBLE on the window and every ancestor
bool IsDescendantLocked(HWND ancestor, HWND hwnd);
POINT ScreenOriginLocked(const Window& window);   // the client origin in screen coordinates
POINT TopLevelOriginLocked(const Window& window); // the client origin in its top-level window
// The part of the window's client area that its ancestors let through, in top-level coordinates.
RECT VisibleAreaInTopLevelLocked(const Window& window);
std::vector<HWND> SubtreeLocked(HWND root); // root and its descendants, parents before children

} // namespace platform::win
