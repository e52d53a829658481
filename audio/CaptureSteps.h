// The two sequences of wave-input calls on the capture record (CaptureRecord.h): opening and starting
// the device, and stopping and closing it. Each ends at the first call that fails and returns that
// call's result code (MMSYSERR_NOERROR when every step succeeded); neither reports anything, so that the
// caller can leave the start/stop exclusion before a message box holds its thread. Call them only with
// the exclusion held (CaptureSync.h).
#pragma once

#include "platform/wave/WaveApi.h"

// Fills the format, clears the stopping flag, opens the default input device with CaptureCallback,
// allocates the sample buffer (averagingPeriod x 1000 bytes, the period taken into 1..40), and
// prepares, queues and starts it.
// - The open fails: no device is open and no buffer is allocated.
// - The buffer cannot be allocated: the device is closed again and MMSYSERR_NOMEM returned, so that
//   capture is plainly stopped rather than open and deaf.
// - Preparing, queueing or starting fails: the device stays open with the buffer allocated; the next
//   stop closes it.
// Sets the record's `recording` flag to whether it succeeded.
MMRESULT OpenAndStartDevice();

// Sets the stopping flag and clears `recording`; with a device open, waits until no callback is in progress,
// then stops, resets, unprepares and closes the device and frees the buffer. A failing call leaves everything
// after it undone (the device open, the buffer allocated) for the next stop to finish.
MMRESULT StopAndCloseDevice();
