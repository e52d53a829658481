// Threads (CreateThread and its companions) and the thread's last error.
#include "platform/win/KernelObjects.h"
#include "platform/win/ThreadContext.h"
#include "platform/win/WinApi.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

using namespace platform::win;

namespace {

// A thread as its handles see it: running (STILL_ACTIVE) or ended with its exit code. It may start
// suspended and wait for ResumeThread.
class ThreadObject : public KernelObject {
public:
    explicit ThreadObject(bool suspended) : suspended_(suspended) {}

    bool wait(std::optional<platform::Clock::RealTime> deadline) override {
        std::unique_lock lock(mutex_);
        if (!deadline) {
            cv_.wait(lock, [&] { return finished_; });
            return true;
        }
        return cv_.wait_until(lock, *deadline, [&] { return finished_; });
    }

    void waitUntilResumed() {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return !suspended_; });
    }

    DWORD resume() {
        std::lock_guard lock(mutex_);
        const DWORD previous = suspended_ ? 1 : 0;
        suspended_ = false;
        cv_.notify_all();
        return previous;
    }

    void finish(DWORD exitCode) {
        std::lock_guard lock(mutex_);
        exitCode_ = exitCode;
        finished_ = true;
        cv_.notify_all();
    }

    DWORD exitCode() const {
        std::lock_guard lock(mutex_);
        return finished_ ? exitCode_ : STILL_ACTIVE;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool suspended_;
    bool finished_ = false;
    DWORD exitCode_ = 0;
};

std::shared_ptr<ThreadObject> ThreadOf(HANDLE handle) {
    return std::dynamic_pointer_cast<ThreadObject>(FindKernelObject(handle));
}

} // namespace

HANDLE CreateThread(void*, std::size_t, LPTHREAD_START_ROUTINE start, LPVOID param, DWORD flags,
                    DWORD* threadId) {
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_shared<ThreadObject>((flags & CREATE_SUSPENDED) != 0);
    const DWORD id = ReserveThreadId();
    try {
        std::thread([object, start, param, id] {
            AdoptThreadId(id);
            object->waitUntilResumed();
            const DWORD code = start(param);
            EndCurrentThread(); // the thread's windows are gone before anyone sees it ended
            object->finish(code);
        }).detach();
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) {
        *threadId = id;
    }
    return InsertKernelObject(object);
}

DWORD ResumeThread(HANDLE thread) {
    const auto object = ThreadOf(thread);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return static_cast<DWORD>(-1);
    }
    return object->resume();
}

DWORD GetCurrentThreadId() {
    return CurrentThreadId();
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
    const auto object = ThreadOf(thread);
    if (!object || !exitCode) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = object->exitCode();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
    const auto object = FindKernelObject(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::optional<platform::Clock::RealTime> deadline;
    if (ms != INFINITE) {
        deadline = platform::Clock::RealTimeAt(platform::Clock::NowMs() + ms);
    }
    return object->wait(deadline) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL CloseHandle(HANDLE handle) {
    if (!CloseKernelObject(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD GetLastError() {
    return LastErrorSlot();
}

void SetLastError(DWORD error) {
    LastErrorSlot() = error;
}
