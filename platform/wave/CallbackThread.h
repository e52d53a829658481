// The callback thread of one open input device. It delivers the device's messages (WIM_OPEN, WIM_DATA,
// WIM_CLOSE) and its failure report to the program's procedures in the order they were posted, one at a
// time, without holding any lock of the device, so a callback may block (for example on a SendMessage
// to a thread that is itself calling waveInStop) without holding anyone else up but later callbacks of
// the same device. Posting never waits.
//
// While it has nothing to deliver, the thread also does the device's reading: the device attaches a
// reader (Attach), and the thread calls it whenever its queue is empty, until the reader says there is
// nothing to read; a Kick makes it try again. A period read this way is delivered by the same thread
// right after, so a buffer goes from the sound source to the program's callback without waking another
// thread. Around every delivery while a reader is attached, the thread arms its standby timer
// (StandbyTimer, a timerfd that fires every kStandbyAfterMs), so that the device's capture thread, which
// sleeps on it, can take over the reading while a callback is held up; it disarms it when the callback
// returns. Detach ends the reading for good: it waits only for a read in progress, never for a
// callback.
//
// The thread ends after delivering WIM_CLOSE. Nobody waits for that at close: the closing thread hands
// the object to a list of retired threads, which are joined once they have ended (JoinRetired, at the
// next open) or, at shutdown, waited for (JoinRetired with wait).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/wave/WaveApi.h"

namespace platform::wave {

class CallbackThread {
public:
    // A callback that takes longer than this (device milliseconds: a quarter of what a sound source
    // keeps before it loses sound) lets the capture thread read in its place.
    static constexpr std::uint64_t kStandbyAfterMs = 250;

    CallbackThread(HWAVEIN device, WAVEINPROC proc, DWORD_PTR instance);
    ~CallbackThread();
    CallbackThread(const CallbackThread&) = delete;
    CallbackThread& operator=(const CallbackThread&) = delete;

    // Queues a message for the device's callback; WIM_CLOSE is the last one the thread delivers.
    void Post(UINT message, DWORD_PTR param1);

    // Queues a message without waking the thread: for a caller that holds a lock the callback may want
    // at once, and calls WakeUp when it has let go of it.
    void Queue(UINT message, DWORD_PTR param1);
    void WakeUp();

    // Queues a failure report for `proc` (nothing happens when it is null).
    void PostError(WAVEINERRORPROC proc, DWORD_PTR instance, MMRESULT code);

    // `read` reads one period, or returns false when there is nothing to read (or someone else reads).
    void Attach(std::function<bool()> read);
    // Asks the thread to call the reader again (after it said there was nothing to read).
    void Kick();
    // Stops calling the reader; waits for a call in progress to return.
    void Detach();

    // True while a callback runs.
    bool Delivering() const;
    // The standby timer's descriptor (readable when it fired); valid as long as this object.
    int StandbyTimer() const;

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
    void Push(Item item, bool wake);
    // Calls the program's procedure for `item`, with the standby timer armed when `standby`.
    void Deliver(const Item& item, bool standby);
    void ArmStandby(bool on);

    const HWAVEIN device_;
    const WAVEINPROC proc_;
    const DWORD_PTR instance_;
    const int timerFd_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Item> queue_;
    std::function<bool()> read_; // the attached reader, or empty
    bool reading_ = false;       // the thread is in read_
    bool kicked_ = false;        // Kick since the reader last said there was nothing to read
    bool readerIdle_ = false;    // the reader's last answer was "nothing to read"
    std::atomic<bool> delivering_{false};
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

} // namespace platform::wave
