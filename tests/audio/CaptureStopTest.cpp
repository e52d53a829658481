// Stopping capture while a callback is under way. The callback shows every buffer on the meter with a
// synchronous SendMessage, so it may be waiting for the very thread that stops capture, or for a window
// thread that is slow while another thread stops. A stop must finish in both cases, let the callback in
// progress finish before the device is stopped, not hand that buffer back, and leave nothing to reach
// the meter once it has returned.
#include <gtest/gtest.h>

#include "AudioTestSupport.h"
#include "audio/SoundCapture.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/ThreadContext.h"
#include "settings/MonitorSettings.h"

namespace audiotest {
namespace {

class CaptureStopTest : public CaptureFixture {};

// How many things have been queued for a thread so far (sent or posted messages).
std::uint64_t QueuedFor(DWORD threadId) {
    const auto queue = platform::win::QueueOfThread(threadId);
    return queue ? queue->events() : 0;
}

TEST_F(CaptureStopTest, AStopOnTheWindowThreadAnswersTheCallbackThatWaitsForIt) {
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(1));

    // Keep the window thread busy until the next buffer's meter update waits for it.
    Gate busy;
    std::atomic<bool> stopBegun{false};
    struct Seen {
        bool duringStop;
        bool recording;
    };
    std::mutex seenMutex;
    std::vector<Seen> seen;
    window->Run([&] {
        window->meter().onSetPos = [&](int) {
            std::lock_guard lock(seenMutex);
            seen.push_back(Seen{stopBegun.load(), Device().recording});
        };
    });
    auto stopped = window->Post([&] {
        busy.Arrive();
        stopBegun = true;
        StopCapture();
    });
    ASSERT_TRUE(busy.WaitForArrival());
    const std::uint64_t queuedBefore = QueuedFor(window->ThreadId());
    ASSERT_TRUE(WaitUntil([&] { return QueuedFor(window->ThreadId()) > queuedBefore; }));
    const std::size_t shownBefore = window->meter().Count();
    busy.Open();

    ASSERT_EQ(stopped.wait_for(kDeadline), std::future_status::ready)
        << "the stop and the callback deadlocked";
    EXPECT_FALSE(Device().open);
    EXPECT_FALSE(CurrentBox().has_value());
    // The waiting update was answered from inside the stop, while the device still recorded.
    EXPECT_EQ(window->meter().Count(), shownBefore + 1);
    {
        std::lock_guard lock(seenMutex);
        ASSERT_FALSE(seen.empty());
        EXPECT_TRUE(seen.back().duringStop);
        EXPECT_TRUE(seen.back().recording);
    }
    const std::size_t shown = window->meter().Count();
    platform::wave::Shutdown(); // every message of the closed device delivered
    EXPECT_EQ(window->meter().Count(), shown);
    window->Run([&] { window->meter().onSetPos = nullptr; });
}

TEST_F(CaptureStopTest, AStopOnAnotherThreadWaitsForTheCallbackHeldByASlowWindowThread) {
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(1));

    auto held = std::make_shared<Gate>();
    bool recordingWhenReleased = false;
    window->Run([&] { window->meter().holdNext = held; });
    ASSERT_TRUE(held->WaitForArrival());

    // The alarm thread's stop.
    std::atomic<bool> stopDone{false};
    std::thread alarm([&] {
        StopCapture();
        stopDone = true;
    });
    ASSERT_TRUE(WaitUntil([] { return IsCaptureStopping(); }));
    // While the callback is held, the stop neither finishes nor touches the device. The wait is bounded
    // because it expects nothing to happen.
    EXPECT_FALSE(WaitUntil([&] { return stopDone.load() || !Device().recording; }, 300ms));
    recordingWhenReleased = Device().recording;
    held->Open();

    ASSERT_TRUE(WaitUntil([&] { return stopDone.load(); }));
    alarm.join();
    EXPECT_TRUE(recordingWhenReleased);
    EXPECT_FALSE(Device().open);
    EXPECT_FALSE(CurrentBox().has_value());
    const std::size_t shown = window->meter().Count();
    platform::wave::Shutdown();
    EXPECT_EQ(window->meter().Count(), shown);
}

TEST_F(CaptureStopTest, TheCallbackCaughtInProgressByAStopKeepsItsBuffer) {
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(1));

    auto held = std::make_shared<Gate>();
    window->Run([&] { window->meter().holdNext = held; });
    ASSERT_TRUE(held->WaitForArrival());
    // A hand-back would use up this rule.
    FailNext(platform::wave::WaveCall::AddBuffer, MMSYSERR_NOMEM);
    std::thread alarm([] { StopCapture(); });
    ASSERT_TRUE(WaitUntil([] { return IsCaptureStopping(); }));
    held->Open();
    alarm.join();
    EXPECT_EQ(platform::wave::WaveService::Instance().Faults().Describe(), "add MMSYSERR_NOMEM once");
    EXPECT_FALSE(Device().open);
    EXPECT_FALSE(CurrentBox().has_value());
}

TEST_F(CaptureStopTest, StopsAndStartsOnTwoThreadsAtOnceWithASlowWindowThreadNeverWaitForEachOther) {
    Hear("noise 60");
    window->meter().delayMicroseconds = 3000;
    for (int round = 0; round < 4; ++round) {
        StartOnWindowThread();
        ASSERT_TRUE(window->WaitForCount(window->meter().Count() + 2));
        // The window thread after the settings dialog and the alarm thread, both at once.
        auto windowStop = window->Post([] { StopCapture(); });
        std::thread alarm([] { StopCapture(); });
        ASSERT_EQ(windowStop.wait_for(kDeadline), std::future_status::ready) << "round " << round;
        alarm.join();
        EXPECT_FALSE(Device().open);
        EXPECT_FALSE(CurrentBox().has_value());
    }
    // A start on the window thread racing a stop on another thread ends in one state or the other,
    // never with a device left half-open.
    auto started = BeginStartOnWindowThread();
    std::thread alarm([] { StopCapture(); });
    ASSERT_EQ(started.wait_for(kDeadline), std::future_status::ready);
    alarm.join();
    EXPECT_FALSE(CurrentBox().has_value());
    EXPECT_EQ(Device().open, Device().recording);
}

TEST_F(CaptureStopTest, ABufferReturnedByTheStopReachesNeitherTheDetectorNorTheMeter) {
    g_settings.averagingPeriod = 40; // 5 s a buffer: the stop always finds one partly filled
    Hear("tone 440 100");
    window->meter().delayMicroseconds = 2000;
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(1));
    ASSERT_TRUE(WaitUntil([] { return Device().headRecorded > 0; }));
    window->Run([] { StopCapture(); });
    const std::size_t shown = window->meter().Count();
    platform::wave::Shutdown();
    EXPECT_EQ(window->meter().Count(), shown);
    EXPECT_FALSE(CurrentBox().has_value());
}

} // namespace
} // namespace audiotest
