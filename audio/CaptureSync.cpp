#include "audio/CaptureSync.h"

#include <chrono>

#include "platform/win/WinApi.h"

namespace {

// How long a waiting thread leaves its sent messages unanswered at most. A callback that waits for the
// thread in SendMessage is answered within this time; everything else wakes the waiter at once.
constexpr std::chrono::milliseconds kAnswerInterval{1};

} // namespace

CaptureSync g_captureSync;

void CaptureSync::CallbackBegins() {
    inProgress_.fetch_add(1, std::memory_order_seq_cst);
}

void CaptureSync::CallbackEnds() {
    inProgress_.fetch_sub(1, std::memory_order_release);
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

void CaptureSync::WaitForCallbacks() {
    std::unique_lock lock(mutex_);
    WaitAnsweringSentMessages(lock, [this] { return inProgress_.load(std::memory_order_seq_cst) == 0; });
}

bool CaptureSync::LockStartStop() {
    const DWORD self = GetCurrentThreadId();
    std::unique_lock lock(mutex_);
    if (held_ && owner_ == self) {
        return false;
    }
    WaitAnsweringSentMessages(lock, [this] { return !held_; });
    held_ = true;
    owner_ = self;
    return true;
}

void CaptureSync::UnlockStartStop() {
    std::lock_guard lock(mutex_);
    held_ = false;
    owner_ = 0;
    changed_.notify_all();
}

void CaptureSync::WaitAnsweringSentMessages(std::unique_lock<std::mutex>& lock,
                                            const std::function<bool()>& done) {
    while (!done()) {
        lock.unlock();
        MSG msg{};
        PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
        lock.lock();
        changed_.wait_for(lock, kAnswerInterval, done);
    }
}
