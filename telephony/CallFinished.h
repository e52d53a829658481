// Telling the main window that an alarm placement is over, so that it resumes monitoring.
#pragma once

// Posts WM_COMMAND ID_CALL_FINISHED (1124, lParam 0) to the main window, whose handle is read from
// g_session at this moment; nothing when there is no main window. Posted, never sent: the caller does not
// wait for the window thread.
void PostCallFinished();
