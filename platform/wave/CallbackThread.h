// The callback thread of one open input device. It delivers the device's messages (WIM_OPEN, WIM_DATA,
// WIM_CLOSE) and its failure report to the program's procedures in the order they were posted, one at a
// time, without holding any lock of the device, so a callback may block (for example on a SendMessage
// to a thread that is itself calling waveInStop) without holding anyone else up but later callbacks of
// the same device. Posting never waits.
//
// The thread ends after delivering WIM_CLOSE. Nobody waits for that at close: the closing thread hands
// the object to a list of retired threads, which are joined once they have ended (JoinRetired, at the
// next open) or, at shutdown, waited for (JoinRetired with wait).
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/wave/WaveApi.h"

namespace platform::wave {

class CallbackThread {
public:
    CallbackThread(HWAVEIN device, WAVEINPROC proc, DWORD_PTR instance);
    ~CallbackThread();
    CallbackThread(const CallbackThread&) = delete;
    CallbackThread& operator=(const CallbackThread&) = delete;

    // Queues a message for the device's callback; WIM_CLOSE is the last one the thread delivers.
    void Post(UINT message, DWORD_PTR param1);

    // Queues a failure report for `proc` (nothing happens when it is null).
    void PostError(WAVEINERRORPROC proc, DWORD_PTR instance, MMRESULT code);

    // True on the callback thread itself.
    bool IsCurrentThread() const;

    // Hands a thread whose WIM_CLOSE has been posted to the retired list.
    static void Retire(std::shared_ptr<CallbackThread> thread);

    // Joins the retired threads that have ended; with `wait`, waits for every retired thread to end
    // (the calling thread itself excepted). Call with `wait` only when no callback can be waiting for
    // the calling thread.
    static void JoinRetired(bool wait);

private:
    struct Item {
        bool quit = false;
        bool isError = false;
        UINT message = 0;
        DWORD_PTR param1 = 0;
        WAVEINERRORPROC errorProc = nullptr;
        DWORD_PTR errorInstance = 0;
        MMRESULT code = MMSYSERR_NOERROR;
    };

    void Run();
    void Push(Item item);

    const HWAVEIN device_;
    const WAVEINPROC proc_;
    const DWORD_PTR instance_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Item> queue_;
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

} // namespace platform::wave
