// Capture that should run but does not comes back by itself. When a start fails (at start-up, after a
// call, after the settings), or a device fails and its immediate restart fails or is not tried, capture
// is tried again after 1 s, then after 2, 4, 8, 16 and from then on every 30 s, until it records. A
// retry that fails again shows no box: the microphone's indicator says that nothing is heard. The
// back-off starts again at 1 s once a device has handed a buffer back (it recorded properly), and when
// the program itself starts capture.
//
// Retries run on the window thread, at a window timer of the main window (the one published in the
// session record), so they also run under every message box and dialog, and never on the callback or
// the alarm thread. A retry does nothing while capture is not wanted: from the first step of
// StopCapture (the alarm call, the pause after the settings) until the next StartCapture, whose caller
// restarts capture itself.
#pragma once

#include "platform/win/WinTypes.h"

// The retry's timer on the main window; the countdown uses 2, the restart after a pause 3 and the
// telephony's retry 7.
inline constexpr UINT_PTR kCaptureRetryTimerId = 4;

inline constexpr UINT kFirstCaptureRetryMs = 1000;
inline constexpr UINT kLastCaptureRetryMs = 30000;

// Arms the retry timer with the current back-off, then doubles the back-off for the next time (at most
// 30 s). Any thread. Without a main window nothing is retried.
void ScheduleCaptureRetry();

// The back-off starts again at 1 s.
void ResetCaptureRetry();

// Window thread: if capture is wanted but not recording, tries it now, back-off reset, and schedules
// the next try if that fails (for Run and Stop: the user is there and expects it to listen).
void RetryCaptureNow();
