// Capture that would go deaf by itself: a sample buffer that cannot be allocated, a buffer the device
// will not take back, a device that fails while it records. Each is shown under "Microphone error" and
// by the microphone's indicator; capture is restarted at once where that can help, and retried with a
// growing pause until it records, without waiting for anyone to read the box.
#include <gtest/gtest.h>

#include <new>

#include "AudioTestSupport.h"
#include "audio/CaptureRetry.h"
#include "audio/SoundCapture.h"
#include "platform/win/Clock.h"
#include "settings/MonitorSettings.h"

namespace {

// The next nothrow array allocation of exactly this many bytes fails (0: none).
std::atomic<std::size_t> g_failArrayOfSize{0};

} // namespace

// Replaces the nothrow array form for this test program. It hands every allocation to the ordinary
// array form, so that the matching delete[] (and the sanitizers' bookkeeping) stays as it was.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    std::size_t failing = size;
    if (size != 0 && g_failArrayOfSize.compare_exchange_strong(failing, 0)) {
        return nullptr;
    }
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace audiotest {
namespace {

using platform::wave::WaveCall;

class CaptureRecoveryTest : public CaptureFixture {};

TEST_F(CaptureRecoveryTest, ABufferThatCannotBeAllocatedIsShownAndRetried) {
    MicrophoneLog microphone;
    g_settings.averagingPeriod = 8;
    g_failArrayOfSize = 8000;
    Hear("tone 440 100");
    auto started = BeginStartOnWindowThread();
    EXPECT_EQ(ExpectMicrophoneError(L"Unable to allocate or lock memory"), window->ThreadId());
    ASSERT_EQ(started.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(g_failArrayOfSize.load(), 0u) << "the capture buffer was not allocated that way";

    // Nothing was left half-done: the retry simply works.
    EXPECT_TRUE(microphone.WaitForRaisedThenCleared("capture buffer: MMSYSERR_NOMEM"));
    EXPECT_TRUE(window->WaitForCount(2));
    EXPECT_FALSE(CurrentBox().has_value());
}

TEST_F(CaptureRecoveryTest, ABufferTheDeviceWillNotTakeBackIsShownAndCaptureListensAgainAtOnce) {
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(2));

    FailNext(WaveCall::AddBuffer, MMSYSERR_NOMEM);
    const auto box = WaitForBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, L"Microphone error");
    EXPECT_EQ(box->text, L"Unable to allocate or lock memory");
    EXPECT_NE(box->threadId, window->ThreadId()); // the window stays usable meanwhile
    // Listening again while the box still waits for the user.
    const std::size_t before = window->meter().Count();
    EXPECT_TRUE(window->WaitForCount(before + 2));
    EXPECT_TRUE(Device().recording);
    Answer(*box);
}

TEST_F(CaptureRecoveryTest, ADeviceThatFailsWhileRecordingIsShownOnceAndRestarted) {
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(2));

    FailNext(WaveCall::Device, MMSYSERR_NODRIVER);
    const auto box = WaitForBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"No device driver is present");
    const std::size_t before = window->meter().Count();
    EXPECT_TRUE(window->WaitForCount(before + 2));
    EXPECT_FALSE(Device().failed);
    EXPECT_TRUE(Device().recording);
    Answer(*box);
}

TEST_F(CaptureRecoveryTest, ADeviceThatFailsBeforeItsFirstBufferIsShownOnceAndRetriedUntilItRecords) {
    MicrophoneLog microphone;
    Hear("tone 440 100");
    FailAlways(WaveCall::Device, MMSYSERR_ERROR);
    StartOnWindowThread();
    const auto box = WaitForBox();
    ASSERT_TRUE(box.has_value());
    // The buffer came back unfillable first, so the refused hand-back is what is shown.
    EXPECT_EQ(box->text, L"No device driver is present");
    // Each retry opens and starts a device that fails again: shown by the indicator, not by more boxes.
    EXPECT_TRUE(WaitUntil([&] { return microphone.Clears() >= 3; }));
    const auto still = CurrentBox();
    ASSERT_TRUE(still.has_value());
    EXPECT_EQ(still->hwnd, box->hwnd);

    platform::wave::WaveService::Instance().Faults().ClearAll();
    const std::size_t before = window->meter().Count();
    EXPECT_TRUE(window->WaitForCount(before + 2));
    EXPECT_TRUE(Device().recording);
    Answer(*box);
    EXPECT_FALSE(CurrentBox().has_value());
}

TEST_F(CaptureRecoveryTest, ARestartThatFailsShowsOnlyTheFailureThatCausedItAndIsRetriedSilently) {
    MicrophoneLog microphone;
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(2));

    FailAlways(WaveCall::Open, MMSYSERR_ALLOCATED);
    FailNext(WaveCall::AddBuffer, MMSYSERR_INVALHANDLE);
    const auto box = WaitForBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"Specified device handle is invalid");
    EXPECT_TRUE(WaitUntil([&] { return microphone.Changes().back() == "waveInOpen: MMSYSERR_ALLOCATED"; }));
    EXPECT_FALSE(Device().open);

    platform::wave::WaveService::Instance().Faults().ClearAll();
    const std::size_t before = window->meter().Count();
    EXPECT_TRUE(window->WaitForCount(before + 2));
    EXPECT_EQ(microphone.Changes().back(), "");
    Answer(*box);
    EXPECT_FALSE(CurrentBox().has_value()) << "the failed restart added no box";
}

TEST_F(CaptureRecoveryTest, RunOrStopRetriesAtOnceWhateverThePause) {
    auto& faults = platform::wave::WaveService::Instance().Faults();
    faults.Set({WaveCall::Open, MMSYSERR_ALLOCATED, 5});
    auto started = BeginStartOnWindowThread();
    ExpectMicrophoneError(L"Specified resource is already allocated");
    ASSERT_EQ(started.wait_for(kDeadline), std::future_status::ready);
    // Four retries fail (after 1, 2, 4 and 8 device seconds); the next would come 16 s later.
    ASSERT_TRUE(WaitUntil([&] { return faults.Describe() == "none"; }));
    platform::Clock::SetFactor(1);
    window->Run([] { RetryCaptureNow(); });
    EXPECT_TRUE(Device().recording);
}

TEST_F(CaptureRecoveryTest, NothingIsRetriedOnceCaptureIsStopped) {
    FailAlways(WaveCall::Open, MMSYSERR_ALLOCATED);
    auto started = BeginStartOnWindowThread();
    ExpectMicrophoneError(L"Specified resource is already allocated");
    ASSERT_EQ(started.wait_for(kDeadline), std::future_status::ready);
    // As the alarm thread does before its call, and the settings before their pause.
    StopCapture();
    platform::wave::WaveService::Instance().Faults().ClearAll();
    // Past the longest pause between retries, nothing has opened.
    platform::Clock::SetFactor(100);
    const std::uint64_t from = platform::Clock::NowMs();
    ASSERT_TRUE(WaitUntil([&] { return platform::Clock::NowMs() > from + kLastCaptureRetryMs + 1000; }));
    EXPECT_FALSE(Device().open);
}

TEST_F(CaptureRecoveryTest, RetriesWaitOneSecondThenTwiceAsLongUpToThirtySeconds) {
    // Fast enough that the 91 device seconds of this test take under two real seconds.
    platform::Clock::SetFactor(50);
    auto& faults = platform::wave::WaveService::Instance().Faults();
    faults.Set({WaveCall::Open, MMSYSERR_ALLOCATED, 7});
    const std::uint64_t start = platform::Clock::NowMs();
    auto started = BeginStartOnWindowThread();

    // The device time of each failed open, seen as the rule's count goes down (the start's first), and
    // of the retry that records.
    std::vector<std::uint64_t> opens;
    std::string rule = faults.Describe();
    ASSERT_TRUE(WaitUntil([&] {
        const std::string now = faults.Describe();
        if (now != rule) {
            opens.push_back(platform::Clock::NowMs() - start);
            rule = now;
        }
        return Device().recording;
    }));
    opens.push_back(platform::Clock::NowMs() - start);
    const std::vector<std::uint64_t> retries(opens.begin() + 1, opens.end());
    // After the start: 1, 2, 4, 8 and 16 s, then 30 s and 30 s again.
    const std::vector<std::uint64_t> due{1000, 3000, 7000, 15000, 31000, 61000, 91000};
    ASSERT_EQ(retries.size(), due.size()) << ::testing::PrintToString(retries);
    for (std::size_t i = 0; i < due.size(); ++i) {
        SCOPED_TRACE(i);
        // Never early; late only by what a busy machine adds up, which is far less than a pause of 60 s
        // instead of 30 would make it.
        EXPECT_GE(retries[i], due[i]);
        EXPECT_LT(retries[i], due[i] * 5 / 4 + 5000);
    }
    ExpectMicrophoneError(L"Specified resource is already allocated");
    ASSERT_EQ(started.wait_for(kDeadline), std::future_status::ready);
}

} // namespace
} // namespace audiotest
