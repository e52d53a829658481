#include "audio/CaptureRecovery.h"

#include <atomic>
#include <memory>
#include <new>

#include "audio/CaptureErrors.h"
#include "audio/CaptureRecord.h"
#include "audio/CaptureRetry.h"
#include "audio/CaptureSteps.h"
#include "audio/CaptureSync.h"
#include "audio/SoundCapture.h"
#include "platform/afx/Afx.h"

namespace {

struct Fault {
    HWAVEIN device;
    MMRESULT code;
};

// The worker started last; the one before it is deleted when a new one starts (the object may go while
// its thread runs). Never deleted at process exit.
std::atomic<CWinThread*> g_lastWorker{nullptr};
// A failure's box is up.
std::atomic<bool> g_faultShown{false};
// The device whose failure was taken up last. Both notices of one failure (the hand-back and the
// platform's report) come on the failed device's own callback thread, one after the other, and device
// handles are never reused, so the first notice of each device wins.
std::atomic<HWAVEIN> g_lastFailed{nullptr};

UINT RecoveryThreadProc(LPVOID param) {
    const std::unique_ptr<Fault> fault(static_cast<Fault*>(param));
    if (!g_captureSync.LockStartStop()) {
        return 0;
    }
    const bool current = g_capture.device.load() == fault->device && !IsCaptureStopping();
    bool news = false;
    bool retry = false;
    if (current) {
        const bool recorded = g_capture.handedBack.load();
        news = recorded || !g_capture.openedByRetry.load();
        g_capture.recording.store(false);
        if (recorded) {
            // The restart is the first retry: should its device fail too, that shows no further box.
            g_capture.openedByRetry.store(true);
            if (StopAndCloseDevice() == MMSYSERR_NOERROR) {
                OpenAndStartDevice();
            }
        }
        retry = !g_capture.recording.load();
    }
    g_captureSync.UnlockStartStop();
    if (retry) {
        ScheduleCaptureRetry();
    }
    if (news && !g_faultShown.exchange(true)) {
        ReportCaptureError(fault->code);
        g_faultShown.store(false);
    }
    return 0;
}

} // namespace

void OnCaptureFault(HWAVEIN failed, MMRESULT code) {
    if (g_lastFailed.exchange(failed) == failed) {
        return;
    }
    auto* fault = new (std::nothrow) Fault{failed, code};
    CWinThread* worker =
        fault != nullptr ? AfxBeginThread(RecoveryThreadProc, fault, THREAD_PRIORITY_NORMAL, 0, 0, nullptr)
                         : nullptr;
    if (worker == nullptr) {
        // No thread to be had: at least say so, here on the failed device's callback thread, which has
        // nothing else left to deliver.
        delete fault;
        ReportCaptureError(code);
        return;
    }
    delete g_lastWorker.exchange(worker);
}

void CALLBACK CaptureDeviceFailed(HWAVEIN hwi, MMRESULT code, DWORD_PTR) {
    OnCaptureFault(hwi, code);
}
