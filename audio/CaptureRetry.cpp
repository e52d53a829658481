#include "audio/CaptureRetry.h"

#include <algorithm>
#include <atomic>

#include "app/MonitorSession.h"
#include "audio/CaptureRecord.h"
#include "audio/CaptureSteps.h"
#include "audio/CaptureSync.h"
#include "platform/afx/Afx.h"

namespace {

// The wait before the next retry.
std::atomic<UINT> g_nextRetryMs{kFirstCaptureRetryMs};

bool CaptureNeedsRetry() {
    return g_capture.captureWanted.load() && !g_capture.recording.load();
}

// One more try, without a box: what a failed start or a failed device left open is stopped and closed,
// and capture starts afresh. True when nothing is left to do: capture records, or is no longer wanted
// (a stop has begun, and whoever stopped it starts it again).
bool RetryCapture() {
    if (!g_captureSync.LockStartStop()) {
        return false; // a start or stop of this thread is under way; try again later
    }
    bool done = true;
    if (CaptureNeedsRetry()) {
        g_capture.openedByRetry.store(true);
        MMRESULT rc = MMSYSERR_NOERROR;
        if (g_capture.device.load() != nullptr) {
            rc = StopAndCloseDevice();
        }
        if (rc == MMSYSERR_NOERROR) {
            rc = OpenAndStartDevice();
        }
        done = rc == MMSYSERR_NOERROR;
    }
    g_captureSync.UnlockStartStop();
    return done;
}

void RetryTick(HWND hwnd, UINT /*message*/, UINT_PTR timerId, DWORD /*time*/) {
    KillTimer(hwnd, timerId);
    if (!RetryCapture()) {
        ScheduleCaptureRetry();
    }
}

} // namespace

void ScheduleCaptureRetry() {
    const CDialog* mainDialog = g_session.mainDialog.load(std::memory_order_acquire);
    const HWND hwnd = mainDialog != nullptr ? mainDialog->GetSafeHwnd() : nullptr;
    if (hwnd == nullptr) {
        return;
    }
    UINT delay = g_nextRetryMs.load();
    while (!g_nextRetryMs.compare_exchange_weak(delay, std::min(delay * 2, kLastCaptureRetryMs))) {
    }
    SetTimer(hwnd, kCaptureRetryTimerId, delay, RetryTick);
}

void ResetCaptureRetry() {
    g_nextRetryMs.store(kFirstCaptureRetryMs);
}

void RetryCaptureNow() {
    if (!CaptureNeedsRetry()) {
        return;
    }
    ResetCaptureRetry();
    if (!RetryCapture()) {
        ScheduleCaptureRetry();
    }
}
