// Vertical scrolling of full-screen windows whose controls reach below the work area (a dialog laid out
// for the upright screen, shown on the turned one). The window keeps the size of the work area; its
// children move up by the scroll position, its own background is drawn shifted up by as much (so that
// it scrolls with the controls) and a scroll bar along its right edge shows which part is in view.
// A click on the bar pages up or down; focus moving to a control brings it into view. A window whose
// controls fit has no bar and never scrolls, so its pixels are those of an ordinary window.
#pragma once

#include "platform/win/Window.h"

namespace platform::win {

constexpr int kScrollBarWidth = 6;

// How far `top` can scroll: the part of its content below the client area, 0 when it all fits. The
// window lock must be held (as for every function here).
int ScrollRangeLocked(const Window& top);
// Scrolls `top` to `position`, clamped to 0..range; moves the children and invalidates the window.
void ScrollToLocked(Window& top, int position);
// Scrolls the top-level window of `control` so that the control lies inside its client area, when the
// window scrolls and the control fits in it.
void ScrollIntoViewLocked(const Window& control);
// The scroll bar of `top` in its client coordinates, empty when it does not scroll.
RECT ScrollBarRectLocked(const Window& top);
// A press at `client` (client coordinates of the top-level `top`): pages the window when the point is on
// its scroll bar and answers true; false when the press is not the bar's.
bool PressScrollBarLocked(Window& top, POINT client);
// Draws the scroll bar of `top` into its surface, if it has one.
void DrawScrollBarLocked(const Window& top);

} // namespace platform::win
