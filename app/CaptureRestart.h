// Starting capture again after a pause, without blocking the window thread: the pause is a window timer
// of the main window, and capture starts at its tick. Meanwhile the window goes on handling input and
// painting, and no capture runs (the caller has stopped it). Asking again before the tick starts the pause
// afresh; the window's destruction cancels it. When no timer can be had, the pause is a plain Sleep on
// the window thread and capture starts right after it.
//
// Window thread only.
#pragma once

#include "platform/afx/Afx.h"

// The pause's window timer; the countdown uses timer 2.
inline constexpr UINT_PTR kCaptureRestartTimerId = 3;

// Starts capture `pauseMs` from now. `window` is the main window; without one the pause blocks.
void RestartCaptureAfter(CWnd* window, UINT pauseMs);

// Forgets a pending restart of `window`.
void CancelCaptureRestart(CWnd* window);
