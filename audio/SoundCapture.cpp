#include "audio/SoundCapture.h"

#include "audio/CaptureErrors.h"
#include "audio/CaptureRecord.h"
#include "audio/CaptureRecovery.h"
#include "audio/CaptureRetry.h"
#include "audio/CaptureSteps.h"
#include "audio/CaptureSync.h"
#include "audio/SoundLevelDetector.h"

namespace {

// Stops and closes capture; the result of the first call that failed.
MMRESULT Stop() {
    // First of all, also before waiting for a start or stop on another thread: from here on nothing
    // retries capture, and no callback measures a buffer or waits for the window thread to show it.
    g_capture.captureWanted.store(false);
    g_capture.captureStopping.store(true, std::memory_order_seq_cst);
    if (!g_captureSync.LockStartStop()) {
        return MMSYSERR_NOERROR;
    }
    const MMRESULT rc = StopAndCloseDevice();
    g_captureSync.UnlockStartStop();
    return rc;
}

} // namespace

int StartCapture() {
    g_capture.captureWanted.store(true);
    if (!g_captureSync.LockStartStop()) {
        return 0;
    }
    g_capture.openedByRetry.store(false);
    MMRESULT rc = MMSYSERR_NOERROR;
    if (g_capture.device.load() != nullptr) {
        rc = StopAndCloseDevice();
    }
    if (rc == MMSYSERR_NOERROR) {
        rc = OpenAndStartDevice();
    }
    g_captureSync.UnlockStartStop();
    if (rc != MMSYSERR_NOERROR) {
        // Retried from 1 s on while the box waits for the user.
        ResetCaptureRetry();
        ScheduleCaptureRetry();
        ReportCaptureError(rc);
    }
    return 0;
}

void StopCapture() {
    const MMRESULT rc = Stop();
    if (rc != MMSYSERR_NOERROR) {
        ReportCaptureError(rc);
    }
}

void StopCaptureForCall() {
    const MMRESULT rc = Stop();
    if (rc != MMSYSERR_NOERROR) {
        ReportCaptureErrorAside(rc);
    }
}

void CALLBACK CaptureCallback(HWAVEIN hwi, UINT uMsg, DWORD_PTR, DWORD_PTR dwParam1, DWORD_PTR) {
    if (uMsg != WIM_DATA) {
        return;
    }
    g_captureSync.CallbackBegins();
    MMRESULT handBack = MMSYSERR_NOERROR;
    // Buffers returned by a stop, and late messages of a device closed earlier, are left alone.
    if (!IsCaptureStopping() && hwi == g_capture.device.load()) {
        auto* header = reinterpret_cast<WAVEHDR*>(dwParam1);
        OnCaptureBuffer(reinterpret_cast<const BYTE*>(header->lpData), header->dwBytesRecorded);
        // A stop that began meanwhile is waiting for this callback; the buffer stays with the program.
        if (!IsCaptureStopping()) {
            handBack = waveInAddBuffer(hwi, header, sizeof(WAVEHDR));
            // The device records properly: should it fail later, retries start from 1 s again.
            if (handBack == MMSYSERR_NOERROR &&
                !g_capture.handedBack.exchange(true, std::memory_order_relaxed)) {
                ResetCaptureRetry();
            }
        }
    }
    g_captureSync.CallbackEnds();
    if (handBack != MMSYSERR_NOERROR) {
        OnCaptureFault(hwi, handBack);
    }
}

bool IsCaptureStopping() {
    return g_capture.captureStopping.load(std::memory_order_seq_cst);
}
