// The call-progress window (dialog template 105): the dialled number, the call's status (kept up to date
// by the line callback) and "Hang Up". It runs modally on the alarm thread, fills the screen, and ends
// itself when the user hangs up or the callback reports the end of the call (IDOK); either way it
// releases the call, and posts ID_CALL_FINISHED once. A window that comes up for a call that has already
// ended (a request that failed before the window existed) closes itself at once.
#pragma once

#include "platform/win/WinTypes.h"

INT_PTR CallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
