#include "telephony/TelephonyRetry.h"

#include "platform/win/WinApi.h"
#include "telephony/LineSetup.h"

#include <algorithm>

namespace {

constexpr UINT kFirstRetryMs = 1000;
constexpr UINT kLongestRetryMs = 30000;

// Window thread only, as are the timer and its procedure.
HINSTANCE g_instance = nullptr;
UINT g_intervalMs = 0;

void RetryTick(HWND window, UINT, UINT_PTR, DWORD);

void ScheduleAttempt(HWND window, UINT intervalMs) {
    g_intervalMs = intervalMs;
    SetTimer(window, kTelephonyRetryTimerId, intervalMs, RetryTick);
}

void RetryTick(HWND window, UINT, UINT_PTR, DWORD) {
    KillTimer(window, kTelephonyRetryTimerId);
    const LONG result = TelephonyRestart(g_instance);
    if (result == 0) {
        g_intervalMs = 0;
        return;
    }
    // A placement under way only puts the attempt off; it does not count as a failure.
    ScheduleAttempt(window, result == LINEERR_INUSE ? g_intervalMs : NextTelephonyRetryMs(g_intervalMs));
}

} // namespace

UINT NextTelephonyRetryMs(UINT previousMs) {
    return previousMs == 0 ? kFirstRetryMs : std::min(previousMs * 2, kLongestRetryMs);
}

void StartTelephonyRetry(HWND mainWindow, HINSTANCE instance) {
    g_instance = instance;
    if (TelephonyUsable()) {
        return;
    }
    ScheduleAttempt(mainWindow, NextTelephonyRetryMs(0));
}

void StopTelephonyRetry(HWND mainWindow) {
    KillTimer(mainWindow, kTelephonyRetryTimerId);
    g_intervalMs = 0;
}
