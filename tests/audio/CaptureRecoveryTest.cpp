// Capture that would go deaf by itself: a sample buffer that cannot be allocated, a buffer the device
// will not take back, a device that fails while it records. Each is shown under "Microphone error";
// capture is restarted where that can help, without waiting for anyone to read the box.
#include <gtest/gtest.h>

#include <new>

#include "AudioTestSupport.h"
#include "audio/SoundCapture.h"
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

TEST_F(CaptureRecoveryTest, ABufferThatCannotBeAllocatedIsShownAndLeavesCaptureStopped) {
    g_settings.averagingPeriod = 8;
    g_failArrayOfSize = 8000;
    auto started = BeginStartOnWindowThread();
    EXPECT_EQ(ExpectMicrophoneError(L"Unable to allocate or lock memory"), window->ThreadId());
    ASSERT_EQ(started.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(g_failArrayOfSize.load(), 0u) << "the capture buffer was not allocated that way";
    EXPECT_FALSE(Device().open);

    // Nothing is left half-done: the next start simply works.
    Hear("tone 440 100");
    StartOnWindowThread();
    EXPECT_FALSE(CurrentBox().has_value());
    EXPECT_TRUE(window->WaitForCount(2));
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

TEST_F(CaptureRecoveryTest, ADeviceThatFailsBeforeItsFirstBufferIsNotRestartedAndStaysShown) {
    Hear("tone 440 100");
    FailAlways(WaveCall::Device, MMSYSERR_ERROR);
    StartOnWindowThread();
    const auto box = WaitForBox();
    ASSERT_TRUE(box.has_value());
    // The buffer came back unfillable first, so the refused hand-back is what is shown.
    EXPECT_EQ(box->text, L"No device driver is present");
    EXPECT_TRUE(Device().failed);
    Answer(*box);
    platform::wave::WaveService::Instance().Faults().ClearAll();
    window->Run([] { StopCapture(); });
    EXPECT_FALSE(Device().open);
}

TEST_F(CaptureRecoveryTest, ARestartThatFailsIsShownAfterTheFailureThatCausedIt) {
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(2));

    FailAlways(WaveCall::Open, MMSYSERR_ALLOCATED);
    FailNext(WaveCall::AddBuffer, MMSYSERR_INVALHANDLE);
    ExpectMicrophoneError(L"Specified device handle is invalid");
    ExpectMicrophoneError(L"Specified resource is already allocated");
    EXPECT_FALSE(Device().open);
}

} // namespace
} // namespace audiotest
