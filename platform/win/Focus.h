// The focus: one window per thread (kept in the thread's queue) that receives the keys. SetFocus sends
// WM_KILLFOCUS to the old focus and WM_SETFOCUS to the new one, and remembers in the top-level window
// which of its windows had the focus last, so that the focus can come back there.
#pragma once

#include "platform/win/WinTypes.h"

namespace platform::win {

// Gives the focus to a top-level window of the calling thread that has just been shown, unless it holds
// it already: to the window that had it last inside it, or to the window itself (a dialog passes it on
// to its first tab stop, see DefDlgProc).
void ActivateWindow(HWND topLevel);

// Called before hwnd is hidden or destroyed. If the calling thread's focus is inside it, the focus moves:
// for a top-level window, to its owner or else the topmost other visible window of this thread; for a
// child, nowhere.
void MoveFocusAwayFrom(HWND hwnd);

} // namespace platform::win
