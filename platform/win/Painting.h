// Invalidation and painting. Each window keeps one bounding rectangle of its invalid client area and
// whether its background must be erased. Invalidating a window invalidates the children the rectangle
// covers as well (windows do not clip their children, so a parent's painting covers them and they must
// paint again, after it); invalidating a child touches nothing else. A thread's WM_PAINT goes to the
// first window needing paint in z-order with parents before children.
//
// Every top-level window has a surface of its own, the size of the window; its children draw into it at
// their offset, clipped to themselves and their ancestors. BeginPaint clears the invalid rectangle and
// sends WM_ERASEBKGND when the invalidation asked for it; EndPaint tells the desktop which screen
// rectangle changed.
#pragma once

#include "platform/win/MessageFilter.h"
#include "platform/win/Window.h"

namespace platform::win {

class MessageQueue;

// The window lock must be held. `clientRect` is in the window's client coordinates.
void InvalidateLocked(Window& window, const RECT& clientRect, bool erase);

// The window of `queue`'s thread that should get WM_PAINT next, or nullptr. Takes the window lock.
HWND FindWindowToPaint(const MessageQueue& queue, const MessageFilter& filter);

// The screen rectangle of a window's visible client area (empty when the window is not visible). The
// window lock must be held.
RECT VisibleScreenRectLocked(const Window& window);

} // namespace platform::win
