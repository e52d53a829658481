#include "app/CaptureRestart.h"

#include "audio/SoundCapture.h"

namespace {

void RestartTick(HWND hwnd, UINT /*message*/, UINT_PTR timerId, DWORD /*time*/) {
    KillTimer(hwnd, timerId);
    StartCapture();
}

} // namespace

void RestartCaptureAfter(CWnd* window, UINT pauseMs) {
    const HWND hwnd = window != nullptr ? window->GetSafeHwnd() : nullptr;
    if (hwnd != nullptr && IsWindow(hwnd) &&
        SetTimer(hwnd, kCaptureRestartTimerId, pauseMs, RestartTick) != 0) {
        return;
    }
    Sleep(pauseMs);
    StartCapture();
}

void CancelCaptureRestart(CWnd* window) {
    if (window != nullptr && window->GetSafeHwnd() != nullptr) {
        KillTimer(window->GetSafeHwnd(), kCaptureRestartTimerId);
    }
}
