// The detector: every filled capture buffer becomes one sound level (MeasureSoundLevel), which the main
// window's level meter shows clamped to 0..5; while the alarm is armed, a level at or above the alarm
// step starts the alarm thread, which stops capture and places the call to the stored phone number.
// At most one alarm thread runs at a time.
//
// Threads. OnCaptureBuffer runs on the capture callback thread, one buffer at a time; it reads the
// settings and the session record afresh for every buffer. The meter update is a SendMessage to the
// meter's window, so the callback waits for the window thread; it is skipped once a capture stop has
// begun, so that a stop never has to wait for the window thread on its account. Only the meter's window
// handle is used, and the window manager answers 0 at once for a window that is gone; that the meter
// object itself outlives every callback is the main window's part: it stops capture (which waits for a
// callback in progress) before it lets the meter go. StartAlarmThread is called only from
// OnCaptureBuffer; AlarmThreadProc is the alarm thread's body.
#pragma once

#include "platform/win/WinTypes.h"

class CWinThread;
class SharedText;

// The record of the alarm thread started last, or null (at program start, and after a start failed). Read
// and written only by StartAlarmThread, whose calls never overlap (the capture callback handles one
// buffer at a time). It is never deleted at process exit, when the platform's handles may be gone.
extern CWinThread* g_alarmThread;

// Handles one filled buffer of `count` recorded bytes (0 allowed). `samples` is lent for the call only.
// - The level is measured with sensitivityFactor (a value below 1 counts as 1, so a damaged setting
//   never divides by zero) and noiseLength as they stand now.
// - The meter is set to min(level, 5) with PBM_SETPOS, for every buffer, armed or not.
// - Armed only: the keep-awake call (SystemIdleTimerReset), then, if the unclamped level is at least
//   alarmStep, StartAlarmThread with the stored phone number.
void OnCaptureBuffer(const BYTE* samples, DWORD count);

// Starts the alarm thread with `number` (the stored text itself, which the thread reads when it places
// the call) unless the one started last is still running. A thread that could not be started leaves no
// record, and the next qualifying buffer tries again. The record of the last thread keeps its handle
// open until it is replaced, so its exit code can be asked at any later time.
void StartAlarmThread(const SharedText& number);

// The alarm thread: StopCaptureForCall (a step that fails is shown in a box that does not hold the call),
// then PlaceAlarmCall with the number, the application's instance handle and the main window's handle.
// `param` is the SharedText given to StartAlarmThread. Returns 0.
UINT AlarmThreadProc(LPVOID param);
