// The alarm call: opening the chosen line, asking for a voice call to the stored number, running the
// call window for as long as the call lasts, and releasing the call and the line however it ends.
//
// Every placement ends with ID_CALL_FINISHED posted to the main window exactly once, so monitoring
// resumes after every alarm: a line that cannot be opened (also after a failed start-up), a request
// refused at once or failing later, a call ended by "Hang Up", by the far end, by the network or by the
// line. A line that cannot be opened is also reported, by a box that nobody has to answer before the
// next alarm (LineFailureNotice.h).
#pragma once

#include "platform/win/WinTypes.h"

// Runs on the alarm thread. `number` is dialled unchanged and read only until lineMakeCall has returned;
// the call window shows its first 80 characters. `instance` holds dialog template 105; `parent` (the
// main window) owns the call window. Returns once the call window has closed, or at once when no call
// could be requested.
void PlaceAlarmCall(LPCWSTR number, HINSTANCE instance, HWND parent);

// Drops and deallocates the call, closes its line and clears both handles; a repeat finds nothing to do.
// Safe from any thread, also from two at once. Takes g_telephony.lock.
void ReleaseCall();

// ReleaseCall for a caller that holds g_telephony.lock.
void ReleaseCallLocked();
