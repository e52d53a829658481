// Keeps trying to start telephony after start-up failed (an error of lineInitialize, a service that kept
// reinitialising, no line device) or found no device that carries voice, so that a line that comes later
// is used without anyone restarting the program. The attempts run on the window thread from a timer of
// the main window, about 1 s after start-up and then at doubling intervals up to 30 s, each one a quiet
// TelephonyRestart that shows no message box and does not wait; while a call is being placed an attempt
// is put off. The first attempt that leaves a usable line ends the retries (the line layer's indicator
// clears with it), and the next alarm calls.
#pragma once

#include "platform/win/WinTypes.h"

// The main window's timer identifier for the attempts.
inline constexpr UINT_PTR kTelephonyRetryTimerId = 7;

// After start-up, on the window thread: starts the attempts when the line is not usable, else nothing.
void StartTelephonyRetry(HWND mainWindow, HINSTANCE instance);

// Ends the attempts (before telephony is shut down for good).
void StopTelephonyRetry(HWND mainWindow);

// Interval of the attempt after one that waited `previousMs` (0: the first).
UINT NextTelephonyRetryMs(UINT previousMs);
