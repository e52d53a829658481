// The program's use of TAPI from start to end: TelephonyStartup initialises the line API (waiting out a
// reinitialising telephony service, with the user's leave), finds the line devices and chooses the first
// one that carries interactive voice for every alarm call of the run; TelephonyShutdown ends the use.
// Both run on the window thread, while the main window initialises and when it is destroyed.
#pragma once

#include "telephony/TelephonyState.h"

// Returns 0 on success, also when no device carries voice (then no device is chosen); otherwise the
// error of lineInitialize (LINEERR_REINIT when the user gives up waiting), LINEERR_NODEVICE when there
// are no line devices, LINEERR_NOMEM when the device table cannot be allocated. The message boxes it
// shows block the calling thread until they are answered.
LONG TelephonyStartup(HINSTANCE instance);

// Releases the device table and ends the use of TAPI. A second call finds nothing to do. It neither
// drops a call nor closes the call's line.
void TelephonyShutdown();

// True when start-up has left a line that an alarm call can open: TAPI in use and a voice device chosen.
bool TelephonyUsable();

// One quiet start-up attempt, for retries after start-up failed or found no usable device: releases
// what the previous attempt left, then a single lineInitialize (no waiting out LINEERR_REINIT) and the
// device scan, with no message box. Returns 0 when a voice device is chosen; LINEERR_INUSE without
// touching anything while a call is being placed; otherwise the reason (the lineInitialize error,
// LINEERR_NODEVICE when there is no device or none carries voice). Window thread only.
LONG TelephonyRestart(HINSTANCE instance);
