// How the capture's threads keep out of each other's way: the callbacks in progress, and the exclusion
// that makes starts and stops run one at a time.
//
// The capture callback counts itself in progress (CallbackBegins, CallbackEnds) around everything it
// does with a buffer, and only then looks at the stopping flag. A stop sets the stopping flag first and
// then waits until no callback is in progress (WaitForCallbacks). The count is raised and the flag is
// stored and loaded with sequentially consistent operations, so either the callback sees the flag, or
// the stop sees the count and waits for the callback to finish.
//
// A callback in progress may be waiting in SendMessage for the window thread while the window thread
// stops capture, or waits for the exclusion that an alarm-thread stop holds. So every wait here keeps
// answering the messages sent to the waiting thread's windows: between short waits for its condition
// it peeks at its queue without removing anything, which handles the sent messages. Posted messages,
// input and painting stay queued until the wait is over. A thread that owns no windows is sent nothing
// and simply waits.
//
// The callback itself never waits for anything here; CallbackEnds only takes a lock for the moment it
// needs to wake a waiting thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/win/WinTypes.h"

class CaptureSync {
public:
    void CallbackBegins();
    void CallbackEnds();

    // Waits until no callback is in progress.
    void WaitForCallbacks();

    // Waits for and takes the start/stop exclusion. Returns false, taking nothing, when the calling
    // thread already holds it: that happens only when a message that the thread answers while a start
    // or stop of its own waits starts or stops capture again, and the outer start or stop is then left
    // to finish its work.
    bool LockStartStop();
    void UnlockStartStop();

private:
    // Waits until `done` (called with mutex_ held) is true, answering sent messages meanwhile.
    void WaitAnsweringSentMessages(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<int> inProgress_{0};
    bool held_ = false; // the exclusion; with owner_, guarded by mutex_
    DWORD owner_ = 0;
};

extern CaptureSync g_captureSync;
