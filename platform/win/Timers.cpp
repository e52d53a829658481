// Timers and time. Timers live in the queue of the thread that owns their window and are handed out as
// WM_TIMER messages by that thread's retrievals, so they run from whatever message loop it runs.
#include "platform/win/Clock.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/ThreadContext.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowRegistry.h"

#include <algorithm>
#include <atomic>

using namespace platform::win;

namespace {

constexpr UINT kShortestPeriodMs = 10;
constexpr UINT kLongestPeriodMs = 0x7FFFFFFF;

std::atomic<UINT_PTR> g_nextThreadTimerId{0x7FF0};

std::shared_ptr<MessageQueue> OwnerQueue(HWND hwnd) {
    if (!hwnd) {
        return CurrentQueue();
    }
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    return w ? w->queue : nullptr;
}

} // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    const auto queue = OwnerQueue(hwnd);
    if (!queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!hwnd && id == 0) {
        id = g_nextThreadTimerId.fetch_add(1, std::memory_order_relaxed);
    }
    queue->setTimer(hwnd, id, std::clamp(elapseMs, kShortestPeriodMs, kLongestPeriodMs), proc);
    if (queue->closed()) {
        return 0;
    }
    return id != 0 ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    const auto queue = OwnerQueue(hwnd);
    if (!queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return queue->killTimer(hwnd, id) ? TRUE : FALSE;
}

DWORD GetTickCount() {
    return static_cast<DWORD>(platform::Clock::NowMs());
}

void Sleep(DWORD ms) {
    platform::Clock::SleepFor(ms);
}
