// Window rectangles and moving windows.
#include "platform/gdi/Surface.h"
#include "platform/win/ChangeNotifier.h"
#include "platform/win/Painting.h"
#include "platform/win/RectMath.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowRegistry.h"

#include <algorithm>

using namespace platform::win;

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

struct MoveResult {
    bool found = false;
    bool moved = false;
    bool sized = false;
    RECT screenChanged = kEmptyRect;
};

MoveResult MoveLocked(HWND hwnd, const RECT& to, bool repaint) {
    MoveResult result;
    Window* w = FindWindowLocked(hwnd);
    if (!w) {
        return result;
    }
    result.found = true;
    const RECT from = w->rect;
    result.moved = from.left != to.left || from.top != to.top;
    result.sized = Width(from) != Width(to) || Height(from) != Height(to);
    if (!result.moved && !result.sized) {
        return result;
    }
    const RECT before = VisibleScreenRectLocked(*w);
    w->rect = to;
    if (!w->parent) {
        if (result.sized && w->surface) {
            w->surface->resize(Width(to), Height(to), kWhite);
        }
        if (result.sized || repaint) {
            InvalidateLocked(*w, w->clientRect(), true);
        }
        result.screenChanged = Union(before, VisibleScreenRectLocked(*w));
    } else if (repaint && IsVisibleLocked(*w)) {
        if (Window* parent = FindWindowLocked(w->parent)) {
            InvalidateLocked(*parent, from, true);
            InvalidateLocked(*parent, to, true);
        }
    }
    return result;
}

} // namespace

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    if (!w || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = w->clientRect();
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    if (!w || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const POINT origin = ScreenOriginLocked(*w);
    *rect = Offset(w->clientRect(), origin.x, origin.y);
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    if (!w || !point) {
        return FALSE;
    }
    const POINT origin = ScreenOriginLocked(*w);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    if (!w || !point) {
        return FALSE;
    }
    const POINT origin = ScreenOriginLocked(*w);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    const RECT to{x, y, x + std::max(0, width), y + std::max(0, height)};
    MoveResult result;
    {
        auto lock = LockWindows();
        result = MoveLocked(hwnd, to, repaint != FALSE);
    }
    if (!result.found) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (result.sized) {
        SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                    MAKELPARAM(static_cast<WORD>(Width(to)), static_cast<WORD>(Height(to))));
    }
    if (result.moved) {
        SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    if (!IsEmpty(result.screenChanged)) {
        NotifyScreenChanged(result.screenChanged);
    } else if (result.moved || result.sized) {
        NotifyStateChanged();
    }
    return TRUE;
}
