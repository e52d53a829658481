// The monitoring session: Run starts a window timer, whose first tick begins the session (the number and
// the step are taken from the main window and saved, the fields are locked and the output muted), whose
// ticks 2 to 30 count the button down from "Stop - 28 sec" to "Stop - 0 sec", and whose 31st tick arms
// the alarm. Stop ends the session: disarmed first, then the countdown killed, the fields unlocked, "Run"
// shown and the output volume restored. While a session runs, the volume to give back is also kept on
// disk (settings/SessionVolumeFile.h).
//
// Everything here runs on the window thread and works on the main window published in g_session. The
// alarm flag is the one field that another thread (the capture callback) reads: it is set last when a
// session arms and cleared first when one ends, and the phone number and alarm step that it publishes
// are written only while it is clear.
#pragma once

#include "platform/win/WinTypes.h"

class CMainDialog;

// The countdown's window timer.
inline constexpr UINT_PTR kCountdownTimerId = 2;
inline constexpr UINT kCountdownPeriodMs = 1000;

// The timer procedure of the countdown; only the window handle is used.
void CountdownTick(HWND hwnd, UINT message, UINT_PTR timerId, DWORD time);

// Begins a session on `dialog`'s controls: TRUE, or FALSE with a message when the phone-number field is
// empty (then nothing else changes).
BOOL BeginSession(CMainDialog* dialog);

// Ends the session, or stops a countdown that has not begun one yet. Harmless when neither runs. The
// output volume is given back only when a session was active, so a volume that the user changed after an
// earlier session is left alone.
void EndSession();

// At start, before the main window exists: a session volume file left behind means that the last run
// died during a session, with the output muted. Gives that volume back, removes the file and says so on
// standard error. Also removes what an interrupted write left in the settings folder.
void RecoverInterruptedSession();
