// The microphone. StartCapture opens the default wave-input device for 8000 Hz, 8-bit mono PCM and keeps
// one capture buffer of averagingPeriod x 1000 bytes cycling between the device and the program: the
// device fills it, CaptureCallback hands it to the detector (OnCaptureBuffer) and gives it back.
// StopCapture stops and closes the device. Every failing wave-input call is shown in a message box
// captioned "Microphone error" (CaptureErrors.h); the routine then ends at the failed call and the
// program carries on, and capture that should run but does not is retried (CaptureRetry.h).
//
// Threads. StartCapture and StopCapture may be called on any thread (the window thread, the alarm
// thread); they run one at a time, and while one waits for the other or for a callback in progress it
// keeps answering the messages sent to its thread's windows, so a callback waiting in SendMessage for
// that thread is never stuck (CaptureSync.h). Both report failures only after they have finished with
// the device, and return once the user has closed the box. CaptureCallback runs on the device's
// callback thread and never waits for anything but the detector's meter update.
//
// A stop is clean: once StopCapture has set the stopping flag (its first action) no callback starts to
// measure a buffer, the callback in progress (if any) finishes before the device is stopped and does not
// hand its buffer back, and when StopCapture returns no callback of this capture runs any more, so
// neither the detector nor the meter is reached afterwards.
#pragma once

#include "platform/wave/WaveApi.h"

// Opens and starts capture; returns 0 in every case. Called while capture runs, it first stops and
// closes the running device as StopCapture does (never sharing the buffer, header or device between
// two opens) and then starts afresh, with a buffer sized from the current averaging period; if that
// stop fails, the failure is reported and nothing is opened. A start that fails is retried by itself,
// first after 1 s, while its box waits for the user (CaptureRetry.h).
int StartCapture();

// Stops and closes capture. Harmless when no device is open: it then only sets the stopping flag. From
// its first step until the next StartCapture, capture is not retried after a failure (CaptureRetry.h).
void StopCapture();

// StopCapture for the alarm thread, whose call must not wait for anyone: a failing step is shown in a
// box on a thread of its own (one at a time), and the function returns at once.
void StopCaptureForCall();

// The wave-input callback given to waveInOpen. Only WIM_DATA of the open device is handled, and only
// while no stop has begun: the buffer goes to OnCaptureBuffer and is then handed back. A hand-back that
// fails is passed to OnCaptureFault (CaptureRecovery.h).
void CALLBACK CaptureCallback(HWAVEIN hwi, UINT uMsg, DWORD_PTR dwInstance, DWORD_PTR dwParam1,
                              DWORD_PTR dwParam2);

// True from the first step of a stop until the next start.
bool IsCaptureStopping();
