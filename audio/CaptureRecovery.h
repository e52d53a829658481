// What happens when capture goes deaf by itself: the callback cannot hand its buffer back to the
// device, or the device fails while it records (the platform reports that through waveInSetErrorProc).
// The device then has no buffer to fill and no further buffer would reach the detector, while the main
// window still looks as if it listened. Such a failure is never left silent.
//
// It is handled on a worker thread of its own, so that neither the callback thread nor the window
// thread waits for it:
// - If the failed device is still the open one, no stop has begun since, and the device had handed at
//   least one buffer back before it failed, capture is restarted at once (the failed device stopped and
//   closed, a new one opened and started), without waiting for the user: a monitor left alone at night
//   listens again. A device that fails before it has recorded a single buffer is not restarted at once,
//   so a device that fails at every start cannot keep restarting.
// - If capture does not record after that, it is retried with a growing pause (CaptureRetry.h).
// - The failure is shown under "Microphone error" with the text of its code. That is one box for the
//   whole outage: the restart and the retries that fail after it show nothing (the microphone's
//   indicator says it), nor does a device opened by them that fails before its first buffer; and while
//   such a box is up, later failures add no other.
// - If a stop has begun, or the failed device is no longer the open one, whoever stopped or restarted
//   capture has taken over, and nothing is done or shown.
// Of the two notices of one device's failure (the hand-back and the platform's report, in that order),
// only the first is taken up: one restart and one box per failed device.
#pragma once

#include "platform/wave/WaveApi.h"

// `failed` could not take its buffer back (`code` from waveInAddBuffer). Call on the callback thread,
// after the callback has finished with the buffer.
void OnCaptureFault(HWAVEIN failed, MMRESULT code);

// The procedure given to waveInSetErrorProc: the device `hwi` failed with `code`.
void CALLBACK CaptureDeviceFailed(HWAVEIN hwi, MMRESULT code, DWORD_PTR dwInstance);
