// The one process-wide capture record: the sample buffer, the audio format, the single buffer header,
// the open input device and the stopping flag. Everything is zero at program start.
//
// Who touches what. The buffer, the format and the header are written only by the start and stop
// sequences (CaptureSteps.h), which run one at a time under the start/stop exclusion (CaptureSync.h).
// The capture callback reads the header and the samples only for the device that is open, only while
// `captureStopping` is clear, and only while it counts itself in progress; a stop waits for that count
// to fall to 0 before it stops the device or frees anything. `device` and `captureStopping` are read by
// the callback without the exclusion, so they are atomic; `captureStopping` is stored and loaded
// sequentially consistent, which the callback's in-progress count relies on.
//
// The buffer is a plain owned pointer rather than a smart one so that nothing frees it at process exit
// while a device that the program left open might still write into it.
#pragma once

#include <atomic>

#include "platform/wave/WaveApi.h"

struct CaptureRecord {
    // averagingPeriod x 1000 bytes while a device is open (null after a complete stop).
    BYTE* buffer = nullptr;
    WAVEFORMATEX format{};
    // The only buffer header; it lends `buffer` to the device.
    WAVEHDR header{};
    // The open input device, or null.
    std::atomic<HWAVEIN> device{nullptr};
    // Set from the first step of a stop until the next start clears it: the callback then neither
    // measures nor hands back what the device returns.
    std::atomic<bool> captureStopping{false};
    // Set once a buffer has gone back to the device since the last start: the device has recorded
    // properly for a while. Only such a device is restarted after it fails (CaptureRecovery.h).
    std::atomic<bool> handedBack{false};
    // The program wants to hear: set by StartCapture, cleared by StopCapture before anything else.
    // Only while it is set is capture retried after a failure (CaptureRetry.h).
    std::atomic<bool> captureWanted{false};
    // The last start succeeded and no failure of its device has been taken up since. Written under the
    // start/stop exclusion.
    std::atomic<bool> recording{false};
    // The open device was opened by a retry: a failure of it before its first buffer shows no box.
    std::atomic<bool> openedByRetry{false};
};

extern CaptureRecord g_capture;
