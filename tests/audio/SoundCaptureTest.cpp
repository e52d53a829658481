// Starting and stopping the microphone: one buffer sized from the averaging period that keeps coming
// back, the text each failing wave-input call shows, the state a failing stop leaves behind, a failing
// start retried by itself, and starts and stops out of turn.
#include <gtest/gtest.h>

#include "AudioTestSupport.h"
#include "audio/CaptureErrors.h"
#include "audio/SoundCapture.h"
#include "settings/MonitorSettings.h"

namespace audiotest {
namespace {

using platform::wave::WaveCall;

TEST(CaptureErrorText, GivesTheTextOfEachCodeAndMicrophoneErrorForTheRest) {
    const struct {
        MMRESULT code;
        const wchar_t* text;
    } table[] = {
        {MMSYSERR_BADDEVICEID, L"Specified device identifier is out of range"},
        {MMSYSERR_ALLOCATED, L"Specified resource is already allocated"},
        {MMSYSERR_INVALHANDLE, L"Specified device handle is invalid"},
        {MMSYSERR_NODRIVER, L"No device driver is present"},
        {MMSYSERR_NOMEM, L"Unable to allocate or lock memory"},
        {WAVERR_BADFORMAT, L"Cannot open input sound device! It may be used by another program."},
        {WAVERR_UNPREPARED, L"The buffer pointed to by the pwh parameter hasn't been prepared"},
        {MMSYSERR_ERROR, L"Microphone error"},
        {MMSYSERR_NOTENABLED, L"Microphone error"},
        {WAVERR_STILLPLAYING, L"Microphone error"},
        {0xFFFF, L"Microphone error"},
    };
    for (const auto& row : table) {
        EXPECT_STREQ(CaptureErrorText(row.code), row.text) << "code " << row.code;
    }
}

class SoundCaptureTest : public CaptureFixture {};

// The averaging period as the record holds it, and the buffer the device is given.
struct BufferSize {
    std::int32_t averagingPeriod;
    DWORD bytes;
};

class CaptureBufferTest : public CaptureFixture, public ::testing::WithParamInterface<BufferSize> {};

TEST_P(CaptureBufferTest, OneBufferOfThePeriodsSizeKeepsComingBackUntilTheStop) {
    g_settings.averagingPeriod = GetParam().averagingPeriod;
    Hear("tone 440 100");
    StartOnWindowThread();
    EXPECT_TRUE(Device().open);
    EXPECT_TRUE(Device().recording);
    EXPECT_TRUE(WaitUntil([] { return Device().queued == 1; }));
    EXPECT_EQ(Device().headLength, GetParam().bytes);
    EXPECT_LE(Device().queued, 1u);

    // Three buffers measured: the single buffer went back to the device after each.
    ASSERT_TRUE(window->WaitForCount(3));
    for (const auto& update : window->meter().Log()) {
        EXPECT_EQ(update.position, 5); // a loud tone, clamped to the meter's top
        EXPECT_EQ(update.threadId, window->ThreadId());
    }

    window->Run([] { StopCapture(); });
    EXPECT_FALSE(Device().open);
    EXPECT_FALSE(CurrentBox().has_value());
}

INSTANTIATE_TEST_SUITE_P(Periods, CaptureBufferTest,
                         ::testing::Values(BufferSize{1, 1000}, BufferSize{8, 8000}, BufferSize{40, 40000},
                                           // a damaged period is taken into range
                                           BufferSize{0, 1000}, BufferSize{-3, 1000}, BufferSize{41, 40000}),
                         [](const auto& info) {
                             const auto p = info.param.averagingPeriod;
                             return p < 0 ? "minus" + std::to_string(-p) : std::to_string(p);
                         });

// A failing call of the start: its text and the microphone's indicator.
struct StartFault {
    const char* name;
    WaveCall call;
    MMRESULT code;
    const wchar_t* text;
    const char* detail;
};

class CaptureStartFaultTest : public CaptureFixture, public ::testing::WithParamInterface<StartFault> {};

// Whatever the start left behind (nothing open, or a device open but not recording) is cleared up by the
// retry, which records again while the box still waits for the user; the indicator was up meanwhile.
TEST_P(CaptureStartFaultTest, IsShownAndRetriedUntilItRecordsWhileTheBoxIsUp) {
    const StartFault& fault = GetParam();
    MicrophoneLog microphone;
    Hear("tone 440 100");
    FailNext(fault.call, fault.code);
    auto started = BeginStartOnWindowThread();
    const auto box = WaitForBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, fault.text);
    EXPECT_EQ(box->threadId, window->ThreadId());

    EXPECT_TRUE(window->WaitForCount(2));
    EXPECT_TRUE(Device().recording);
    EXPECT_TRUE(microphone.WaitForRaisedThenCleared(fault.detail))
        << ::testing::PrintToString(microphone.Changes());
    const auto still = CurrentBox();
    ASSERT_TRUE(still.has_value());
    EXPECT_EQ(still->hwnd, box->hwnd) << "a retry adds no box";
    Answer(*box);
    ASSERT_EQ(started.wait_for(kDeadline), std::future_status::ready);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CaptureStartFaultTest,
    ::testing::Values(StartFault{"OpenAllocated", WaveCall::Open, MMSYSERR_ALLOCATED,
                                 L"Specified resource is already allocated",
                                 "waveInOpen: MMSYSERR_ALLOCATED"},
                      StartFault{"OpenBadFormat", WaveCall::Open, WAVERR_BADFORMAT,
                                 L"Cannot open input sound device! It may be used by another program.",
                                 "waveInOpen: WAVERR_BADFORMAT"},
                      StartFault{"OpenOtherCode", WaveCall::Open, MMSYSERR_NOTENABLED, L"Microphone error",
                                 "waveInOpen: MMSYSERR_NOTENABLED"},
                      StartFault{"Prepare", WaveCall::Prepare, MMSYSERR_NOMEM,
                                 L"Unable to allocate or lock memory", "waveInPrepareHeader: MMSYSERR_NOMEM"},
                      StartFault{"AddBuffer", WaveCall::AddBuffer, WAVERR_UNPREPARED,
                                 L"The buffer pointed to by the pwh parameter hasn't been prepared",
                                 "waveInAddBuffer: WAVERR_UNPREPARED"},
                      StartFault{"Start", WaveCall::Start, MMSYSERR_NODRIVER, L"No device driver is present",
                                 "waveInStart: MMSYSERR_NODRIVER"}),
    [](const auto& info) { return std::string(info.param.name); });

// A failing call of the stop: its text, and the device as the calls before it left it.
struct StopFault {
    const char* name;
    WaveCall call;
    MMRESULT code;
    const wchar_t* text;
    bool recording;
};

class CaptureStopFaultTest : public CaptureFixture, public ::testing::WithParamInterface<StopFault> {};

TEST_P(CaptureStopFaultTest, IsShownEndsTheStopThereAndTheNextStopFinishes) {
    const StopFault& fault = GetParam();
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(1));

    FailNext(fault.call, fault.code);
    auto stopped = window->Post([] { StopCapture(); });
    const auto box = WaitForBox();
    ASSERT_TRUE(box.has_value());
    const std::size_t shown = window->meter().Count();
    EXPECT_EQ(box->text, fault.text);
    EXPECT_EQ(box->threadId, window->ThreadId());
    EXPECT_TRUE(Device().open);
    EXPECT_EQ(Device().recording, fault.recording);
    Answer(*box);
    ASSERT_EQ(stopped.wait_for(kDeadline), std::future_status::ready);

    window->Run([] { StopCapture(); });
    EXPECT_FALSE(Device().open);
    EXPECT_FALSE(CurrentBox().has_value());
    // Nothing the device returned after the first stop began was shown.
    platform::wave::Shutdown();
    EXPECT_EQ(window->meter().Count(), shown);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CaptureStopFaultTest,
    ::testing::Values(
        StopFault{"Stop", WaveCall::Stop, MMSYSERR_INVALHANDLE, L"Specified device handle is invalid", true},
        StopFault{"Reset", WaveCall::Reset, MMSYSERR_BADDEVICEID,
                  L"Specified device identifier is out of range", false},
        StopFault{"Unprepare", WaveCall::Unprepare, WAVERR_UNPREPARED,
                  L"The buffer pointed to by the pwh parameter hasn't been prepared", false},
        StopFault{"Close", WaveCall::Close, MMSYSERR_NODRIVER, L"No device driver is present", false},
        StopFault{"OtherCode", WaveCall::Close, MMSYSERR_ERROR, L"Microphone error", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoundCaptureTest, AStopWithNothingOpenOnlySetsTheStoppingFlag) {
    EXPECT_FALSE(IsCaptureStopping());
    FailAlways(WaveCall::Stop, MMSYSERR_ERROR); // any wave call would show a box
    FailAlways(WaveCall::Close, MMSYSERR_ERROR);
    window->Run([] { StopCapture(); });
    EXPECT_TRUE(IsCaptureStopping());
    EXPECT_FALSE(CurrentBox().has_value());

    platform::wave::WaveService::Instance().Faults().ClearAll();
    StartOnWindowThread();
    EXPECT_FALSE(IsCaptureStopping());
    window->Run([] { StopCapture(); });
    FailAlways(WaveCall::Stop, MMSYSERR_ERROR);
    window->Run([] { StopCapture(); }); // after a complete stop
    EXPECT_TRUE(IsCaptureStopping());
    EXPECT_FALSE(CurrentBox().has_value());
}

TEST_F(SoundCaptureTest, AStartWhileCaptureRunsClosesTheRunningDeviceAndStartsAfresh) {
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(2));

    // A second open while the first device holds the buffer would be refused as already allocated.
    g_settings.averagingPeriod = 8;
    auto restarted = BeginStartOnWindowThread();
    ASSERT_TRUE(WaitUntil(
        [&] { return restarted.wait_for(0s) == std::future_status::ready || CurrentBox().has_value(); }));
    EXPECT_FALSE(CurrentBox().has_value());
    EXPECT_TRUE(WaitUntil([] { return Device().queued == 1 && Device().headLength == 8000; }));
    EXPECT_TRUE(Device().recording);
    const std::size_t before = window->meter().Count();
    EXPECT_TRUE(window->WaitForCount(before + 2));
}

TEST_F(SoundCaptureTest, TheMeterFollowsTheSoundWhileCaptureRuns) {
    g_settings.sensitivityFactor = 20; // a loud tone then reads 3
    Hear("tone 440 100");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForPosition(3));
    const std::size_t loud = window->meter().Count();
    Hear("silence");
    EXPECT_TRUE(window->WaitForPosition(0, loud));
}

} // namespace
} // namespace audiotest
