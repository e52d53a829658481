// Binds a window object to the next window the calling thread creates, before that window gets its
// first message (WM_CREATE), through the window manager's CBT hook. Used by CDialog::DoModal, whose
// dialog window is created inside DialogBoxIndirectParam. Internal to the framework.
#pragma once

class CWnd;

namespace platform::afx {

// The next window this thread creates is subclassed by `wnd`.
void HookWindowCreate(CWnd* wnd);
// Drops a hook that has not fired (the creation failed before a window was made).
void UnhookWindowCreate();

} // namespace platform::afx
