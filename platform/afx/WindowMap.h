// The process-wide map from windows to the CWnd objects bound to them. Safe from any thread. Internal to
// the framework.
#pragma once

#include "platform/win/WinTypes.h"

class CWnd;

namespace platform::afx {

bool BindWindow(HWND hwnd, CWnd* wnd); // false when the window has an object already
void UnbindWindow(HWND hwnd, const CWnd* wnd);
CWnd* BoundWindow(HWND hwnd);

} // namespace platform::afx
