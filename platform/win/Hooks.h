// The hooks of each thread, one chain per kind: the newest hook is called first and passes on with
// CallNextHookEx. The window core calls the CBT hooks when a window is made (HCBT_CREATEWND, before
// WM_CREATE) and when one is destroyed (HCBT_DESTROYWND), on the thread that owns the window; a dialog's
// modal loop calls the message-filter hooks (CallMsgFilter, MSGF_DIALOGBOX) with each message it takes.
#pragma once

#include "platform/win/WinApi.h"

namespace platform::win {

// Calls the calling thread's newest CBT hook; 0 when it has none.
LRESULT CallCbtHook(int code, WPARAM wParam, LPARAM lParam);
void RemoveHooksOfThread(DWORD threadId);

} // namespace platform::win
