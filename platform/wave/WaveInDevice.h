// One open wave-input device: the queue of buffers lent by the program, the device's state (stopped,
// recording, failed, closing), its callback thread and its capture thread.
//
// The device's callback thread reads the source a period (125 ms) at a time while the device records and
// it has no callback to make, and copies each period into the buffers at the head of the queue under
// the device's lock; a buffer that is full leaves the queue marked done and its WIM_DATA is delivered by
// the same thread right after. Should a callback be held up (kStandbyAfterMs), the capture thread, which
// otherwise sleeps, reads in its place until the callback returns, so the sound keeps flowing into the
// queue and the ring. Whoever reads holds the reader's turn (`reader_`), so the source is used by one
// thread at a time. Sound that arrives while no buffer is queued goes into the device's ring
// (SampleRing, 4 s), and the next buffer queued is filled from the ring first, so a program that cycles
// one buffer loses nothing while it holds it. Should the ring overflow, the oldest bytes are dropped and
// counted (DeviceState::dropped, `sound state`), and the first loss of a recording is logged. Stop,
// Reset and a failure empty the ring: sound recorded before a stop never lands after the next start.
// The lock is held only for that copy and for the API calls' bookkeeping, never while a callback runs
// or a source waits, so no API call can be held up by a callback (see WaveApi.h for the guarantees this
// gives the program). The source's Wake is called under the lock (it never blocks); its other calls are
// made by the reader without it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/wave/CallbackThread.h"
#include "platform/wave/CaptureSource.h"
#include "platform/wave/SampleRing.h"

namespace platform::wave {

// A snapshot of an input device, for the automation channel and tests.
struct DeviceState {
    bool open = false;
    bool recording = false;
    bool failed = false;
    std::size_t queued = 0; // buffers in the queue
    DWORD headRecorded = 0; // bytes recorded so far into the first of them
    DWORD headLength = 0;
    std::size_t ringed = 0;    // bytes waiting in the ring for the next buffer
    std::uint64_t dropped = 0; // bytes lost to a full ring since the open
};

struct ErrorHook {
    WAVEINERRORPROC proc = nullptr;
    DWORD_PTR instance = 0;
};

class WaveInDevice {
public:
    // `errorHook` is asked for the procedure to tell when the source fails; `injectedFailure`, asked
    // before every read while recording, returns a code to fail with as if the source had failed.
    WaveInDevice(HWAVEIN handle, std::unique_ptr<CaptureSource> source, WAVEINPROC proc, DWORD_PTR instance,
                 std::function<ErrorHook()> errorHook, std::function<MMRESULT()> injectedFailure);
    ~WaveInDevice();
    WaveInDevice(const WaveInDevice&) = delete;
    WaveInDevice& operator=(const WaveInDevice&) = delete;

    // Posts WIM_OPEN, starts the capture thread and lets the callback thread read; called once, right
    // after construction.
    void Begin();

    // The calls of the same names, after the handle and the header's address and size were checked.
    MMRESULT Prepare(WAVEHDR* header);
    MMRESULT AddBuffer(WAVEHDR* header);
    MMRESULT Start();
    MMRESULT Stop();
    MMRESULT Reset();
    MMRESULT Unprepare(WAVEHDR* header);
    // Fails with WAVERR_STILLPLAYING while buffers are queued. Otherwise ends the capture thread and the
    // callback thread's reading (waiting for a read in progress, never for a callback), closes the
    // source, posts WIM_CLOSE and retires the callback thread; the device then refuses every call with
    // MMSYSERR_INVALHANDLE.
    MMRESULT Close();

    DeviceState State() const;
    // "recording, 1 buffer queued (120 of 8000 bytes recorded), 0 bytes waiting, 0 bytes dropped;
    // <source>" and the like.
    std::string Describe() const;

private:
    enum class Reader { None, CallbackThread, CaptureThread };

    // One turn of reading by `who`: starts or stops the source as the device's state asks and reads one
    // period into the buffers. False, doing nothing, when there is nothing to read or another thread
    // holds the reader's turn.
    bool ReadTurn(Reader who);
    // The capture thread: sleeps until the callback thread is held up in a callback, then reads in its
    // place until it returns.
    void StandbyLoop();
    ReadResult ReadSource(BYTE* out, std::size_t max);
    void Deliver(const BYTE* data, std::size_t n);
    // Fills the queued buffers from the ring, oldest sound first.
    void DrainRing();
    void Complete(WAVEHDR* header);
    void Fail(MMRESULT code, const std::string& detail);

    const HWAVEIN handle_;
    std::unique_ptr<CaptureSource> source_;
    const std::function<ErrorHook()> errorHook_;
    const std::function<MMRESULT()> injectedFailure_;
    std::shared_ptr<CallbackThread> callbacks_;
    std::thread capture_;
    const int wakeCapture_; // an eventfd: the capture thread looks at `closing_`

    mutable std::mutex mutex_;
    std::deque<WAVEHDR*> queue_;
    bool started_ = false;
    unsigned generation_ = 0; // counts starts, so sound read before a stop never lands after a restart
    bool failed_ = false;
    std::string failure_;
    bool closing_ = false;
    SampleRing ring_;
    std::uint64_t dropped_ = 0;
    bool overflowing_ = false; // the ring dropped bytes and has not had room since
    Reader reader_ = Reader::None;
    bool running_ = false;           // the source records; changed by the reader's turn only
    unsigned runningGeneration_ = 0; // the start it records for
    std::vector<BYTE> chunk_;        // the reader's period
};

} // namespace platform::wave
