// Stopping a device while its callback is busy. The program's callback updates a window with a
// synchronous message, so it can be waiting for the very thread that stops the device. These tests
// hold the callback until the stopping thread has finished all of its calls; if any call waited for
// the callback, the calls would never finish and the deadline would expire.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "WaveTestSupport.h"

namespace {

using namespace wavetest;

constexpr UINT kHdr = sizeof(WAVEHDR);

// A gate the callback waits at until the test opens it.
class Gate {
public:
    void Arrive() {
        std::unique_lock lock(mutex_);
        arrived_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    bool WaitForArrival() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kDeadline, [this] { return arrived_; });
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool arrived_ = false;
    bool open_ = false;
};

class WaveStopTest : public ::testing::Test {
protected:
    void SetUp() override { Configure({{"generator", "noise 50"}}); }
    void TearDown() override { platform::wave::Shutdown(); }
    void StopWhileTheCallbackIsHeld(bool readerTakenOver);
};

// Once at once, and once after the capture thread has taken over the reading from the held callback
// thread (the second buffer then fills while the first is held).
TEST_F(WaveStopTest, StopResetCloseDoNotWaitForACallbackThatWaitsForThem) {
    for (const bool readerTakenOver : {false, true}) {
        SCOPED_TRACE(readerTakenOver ? "after the capture thread took over" : "at once");
        StopWhileTheCallbackIsHeld(readerTakenOver);
    }
}

void WaveStopTest::StopWhileTheCallbackIsHeld(bool readerTakenOver) {
    Gate gate;
    std::atomic<MMRESULT> handBack{0xFFFF};
    CallbackLog log;
    bool first = true; // callback thread only
    log.onEvent = [&](const Event& e) {
        if (e.message == WIM_DATA && first) {
            first = false;
            gate.Arrive(); // as a SendMessage to the stopping thread would
            handBack = waveInAddBuffer(e.device, e.header, kHdr);
        }
    };
    HWAVEIN device = nullptr;
    const WAVEFORMATEX f = Format8k();
    ASSERT_EQ(waveInOpen(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&CallbackLog::Proc),
                         log.Instance(), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    Buffer held(200), queued(40000);
    for (Buffer* b : {&held, &queued}) {
        ASSERT_EQ(waveInPrepareHeader(device, &b->header, kHdr), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(device, &b->header, kHdr), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveInStart(device), MMSYSERR_NOERROR);
    ASSERT_TRUE(gate.WaitForArrival());
    if (readerTakenOver) {
        auto recorded = [] { return platform::wave::WaveService::Instance().State().headRecorded; };
        const DWORD atArrival = recorded();
        const bool filling = WaitUntil([&] { return recorded() > atArrival; });
        if (!filling) {
            gate.Open();
        }
        ASSERT_TRUE(filling) << "nobody read while the callback was held";
    }

    // The stopping thread: the whole shutdown sequence, while the callback is held.
    auto stopping = std::async(std::launch::async, [&] {
        std::vector<MMRESULT> rc;
        rc.push_back(waveInStop(device));
        rc.push_back(waveInReset(device));
        rc.push_back(waveInUnprepareHeader(device, &queued.header, kHdr));
        rc.push_back(waveInUnprepareHeader(device, &held.header, kHdr));
        rc.push_back(waveInClose(device));
        return rc;
    });
    const bool finished = stopping.wait_for(kDeadline) == std::future_status::ready;
    gate.Open(); // let the callback go in any case, so that a failure does not hang the test
    ASSERT_TRUE(finished) << "a stopping call waited for the callback";
    EXPECT_EQ(stopping.get(), (std::vector<MMRESULT>(5, MMSYSERR_NOERROR)));

    // The held callback then hands its buffer back to a closed device, and the rest arrives in order.
    ASSERT_TRUE(log.WaitFor(1, WIM_CLOSE));
    EXPECT_EQ(handBack.load(), MMSYSERR_INVALHANDLE);
    const auto events = log.Events();
    ASSERT_EQ(log.Messages(), (std::vector<UINT>{WIM_OPEN, WIM_DATA, WIM_DATA, WIM_CLOSE}));
    EXPECT_EQ(events[1].header, &held.header);
    EXPECT_EQ(events[2].header, &queued.header);
    EXPECT_EQ(queued.header.dwFlags, WHDR_DONE) << "returned, then unprepared";
}

TEST_F(WaveStopTest, TheCallbackMayStopResetAndCloseItsOwnDevice) {
    CallbackLog log;
    std::vector<MMRESULT> results; // written on the callback thread, read after WIM_CLOSE
    log.onEvent = [&](const Event& e) {
        if (e.message == WIM_DATA && results.empty()) {
            results.push_back(waveInStop(e.device));
            results.push_back(waveInReset(e.device));
            results.push_back(waveInUnprepareHeader(e.device, e.header, kHdr));
            results.push_back(waveInClose(e.device));
        }
    };
    HWAVEIN device = nullptr;
    const WAVEFORMATEX f = Format8k();
    ASSERT_EQ(waveInOpen(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&CallbackLog::Proc),
                         log.Instance(), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    Buffer b(100);
    ASSERT_EQ(waveInPrepareHeader(device, &b.header, kHdr), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(device, &b.header, kHdr), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(device), MMSYSERR_NOERROR);
    ASSERT_TRUE(log.WaitFor(1, WIM_CLOSE));
    EXPECT_EQ(results, (std::vector<MMRESULT>(4, MMSYSERR_NOERROR)));
}

// Many short open-record-close cycles with a callback that keeps handing the buffer back, as the
// program does, racing the stop from another thread.
TEST_F(WaveStopTest, RepeatedStopsRacingTheCallback) {
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        CallbackLog log;
        std::atomic<bool> stopping{false};
        log.onEvent = [&](const Event& e) {
            if (e.message == WIM_DATA && !stopping.load()) {
                waveInAddBuffer(e.device, e.header, kHdr);
            }
        };
        HWAVEIN device = nullptr;
        const WAVEFORMATEX f = Format8k();
        ASSERT_EQ(waveInOpen(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&CallbackLog::Proc),
                             log.Instance(), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
        Buffer b(64);
        ASSERT_EQ(waveInPrepareHeader(device, &b.header, kHdr), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(device, &b.header, kHdr), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInStart(device), MMSYSERR_NOERROR);
        ASSERT_TRUE(log.WaitFor(static_cast<std::size_t>(1 + round % 3), WIM_DATA));
        stopping = true;
        EXPECT_EQ(waveInStop(device), MMSYSERR_NOERROR);
        EXPECT_EQ(waveInReset(device), MMSYSERR_NOERROR);
        // A callback that passed its check before the stop may still hand the buffer back; then the
        // unprepare finds it queued and the sequence is repeated, as a careful caller would.
        MMRESULT rc = waveInUnprepareHeader(device, &b.header, kHdr);
        if (rc == WAVERR_STILLPLAYING) {
            EXPECT_EQ(waveInReset(device), MMSYSERR_NOERROR);
            rc = waveInUnprepareHeader(device, &b.header, kHdr);
        }
        EXPECT_EQ(rc, MMSYSERR_NOERROR);
        EXPECT_EQ(waveInClose(device), MMSYSERR_NOERROR);
        ASSERT_TRUE(log.WaitFor(1, WIM_CLOSE));
    }
}

} // namespace
