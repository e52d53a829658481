// The detector: what each buffer puts on the meter, when it keeps the device awake and when it starts
// the alarm thread, and the rule that one alarm thread runs at a time. The table tests hand buffers to
// OnCaptureBuffer directly, as the capture callback does; the last tests run the whole path from the
// simulated microphone with a slow window thread.
#include <gtest/gtest.h>

#include <vector>

#include "AlarmCallStandIn.h"
#include "AudioTestSupport.h"
#include "app/MonitorSession.h"
#include "audio/CaptureRecord.h"
#include "audio/SoundCapture.h"
#include "audio/SoundLevelDetector.h"
#include "platform/shell/Power.h"
#include "settings/MonitorSettings.h"

namespace audiotest {
namespace {

// A buffer made of runs: {value, how many}.
std::vector<BYTE> Runs(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<BYTE> out;
    for (const auto& [value, n] : runs) {
        out.insert(out.end(), static_cast<std::size_t>(n), static_cast<BYTE>(value));
    }
    return out;
}

// The id of the alarm thread started last (0: none). Ids are never reused, so a new thread shows.
DWORD AlarmThreadId() {
    return g_alarmThread != nullptr ? g_alarmThread->m_nThreadID : 0;
}

struct Row {
    const char* name;
    std::vector<BYTE> samples;
    std::int32_t factor;
    std::int32_t noiseLength;
    std::uint8_t step;
    bool armed;
    int meter;  // the position shown
    bool alarm; // an alarm thread starts
};

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows{
        // mean excursion 48 / factor 4 = 12: the meter shows 5, every step triggers
        {"Level12Step5", Runs({{176, 1000}}), 4, 0, 5, true, 5, true},
        {"Level12Step1", Runs({{176, 1000}}), 4, 0, 1, true, 5, true},
        // 14 / 3 = 4, not 4.67
        {"Level4Step5", Runs({{142, 1000}}), 3, 0, 5, true, 4, false},
        {"Level4Step4", Runs({{142, 1000}}), 3, 0, 4, true, 4, true},
        {"LevelEqualsStep", Runs({{131, 1000}}), 1, 0, 3, true, 3, true},
        {"LevelOneBelowStep", Runs({{131, 1000}}), 1, 0, 4, true, 3, false},
        {"EmptyBuffer", {}, 1, 0, 1, true, 0, false},
        {"QuietBandOnly", Runs({{127, 500}, {128, 500}}), 1, 0, 1, true, 0, false},
        {"AllBelowSilence", Runs({{0, 1000}}), 1, 0, 1, true, 0, false},
        {"NoiseGateHolds80", Runs({{129, 80}, {128, 920}}), 1, 10, 1, true, 0, false},
        {"NoiseGatePasses81", Runs({{129, 81}, {128, 919}}), 1, 10, 1, true, 1, true},
        // a damaged factor counts as 1
        {"FactorZero", Runs({{133, 1000}}), 0, 0, 5, true, 5, true},
        {"FactorNegative", Runs({{130, 1000}}), -4, 0, 2, true, 2, true},
        {"DisarmedLoud", Runs({{255, 1000}}), 1, 0, 1, false, 5, false},
        {"DisarmedSilent", Runs({{128, 1000}}), 1, 0, 1, false, 0, false},
    };
    return rows;
}

class SoundLevelDetectorTest : public CaptureFixture {
protected:
    // After an alarm thread has stopped capture, the next buffers are shown again as after a start.
    void WaitForAlarmThreadEnd() {
        ASSERT_NE(g_alarmThread, nullptr);
        ASSERT_EQ(WaitForSingleObject(g_alarmThread->m_hThread, INFINITE), WAIT_OBJECT_0);
        g_capture.captureStopping.store(false);
    }
};

TEST_F(SoundLevelDetectorTest, EachBufferSetsTheMeterAndArmedOnlyKeepsAwakeAndComparesTheUnclampedLevel) {
    std::size_t alarms = 0;
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.name);
        g_settings.sensitivityFactor = row.factor;
        g_settings.noiseLength = row.noiseLength;
        g_settings.alarmStep = row.step;
        g_session.alarmArmed.store(row.armed);
        const std::size_t shown = window->meter().Count();
        const std::uint64_t awake = platform::shell::IdleTimerResetCount();
        const DWORD thread = AlarmThreadId();

        OnCaptureBuffer(row.samples.data(), static_cast<DWORD>(row.samples.size()));

        ASSERT_EQ(window->meter().Count(), shown + 1); // synchronous, before OnCaptureBuffer returned
        EXPECT_EQ(window->meter().Log().back().position, row.meter);
        EXPECT_EQ(platform::shell::IdleTimerResetCount() - awake, row.armed ? 1u : 0u);
        EXPECT_EQ(AlarmThreadId() != thread, row.alarm);
        if (AlarmThreadId() != thread) {
            ++alarms;
            ASSERT_TRUE(AlarmCalls::Get().WaitForCount(alarms));
            WaitForAlarmThreadEnd();
        }
    }
    EXPECT_EQ(AlarmCalls::Get().Count(), alarms);
}

TEST_F(SoundLevelDetectorTest, TheAlarmThreadStopsCaptureThenCallsTheStoredNumberFromTheMainWindow) {
    Hear("silence");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(1));
    g_settings.phoneNumber.Set(L"+44 20 7946 0000");
    g_session.alarmArmed.store(true);
    Hear("tone 440 100");
    ASSERT_TRUE(AlarmCalls::Get().WaitForCount(1));
    const AlarmCall call = AlarmCalls::Get().Calls().front();
    EXPECT_EQ(call.number, L"+44 20 7946 0000");
    EXPECT_EQ(call.parent, window->Window());
    EXPECT_EQ(call.instance, AfxGetInstanceHandle());
    EXPECT_FALSE(call.deviceOpen);
    EXPECT_NE(call.threadId, window->ThreadId());
}

TEST_F(SoundLevelDetectorTest, OneAlarmThreadAtATimeAndANewOneAfterItEnded) {
    const auto loud = Runs({{255, 1000}});
    g_session.alarmArmed.store(true);
    AlarmCalls::Get().SetHolding(true);

    OnCaptureBuffer(loud.data(), 1000);
    const DWORD first = AlarmThreadId();
    ASSERT_NE(first, 0u);
    ASSERT_TRUE(AlarmCalls::Get().WaitForCount(1));
    g_capture.captureStopping.store(false);

    // The call is under way: qualifying buffers are shown and start nothing.
    for (int i = 0; i < 3; ++i) {
        OnCaptureBuffer(loud.data(), 1000);
        EXPECT_EQ(AlarmThreadId(), first);
    }
    EXPECT_EQ(window->meter().Count(), 4u);

    AlarmCalls::Get().ReleaseAll();
    WaitForAlarmThreadEnd();
    OnCaptureBuffer(loud.data(), 1000);
    EXPECT_NE(AlarmThreadId(), first);
    ASSERT_TRUE(AlarmCalls::Get().WaitForCount(2));
    WaitForAlarmThreadEnd();
    EXPECT_EQ(AlarmCalls::Get().Count(), 2u);
}

TEST_F(SoundLevelDetectorTest,
       FromTheMicrophoneALoudSoundCallsOnceAndAgainAfterTheCallWithASlowWindowThread) {
    window->meter().delayMicroseconds = 2000;
    g_settings.alarmStep = 3;
    AlarmCalls::Get().SetHolding(true);
    Hear("silence");
    StartOnWindowThread();
    g_session.alarmArmed.store(true);
    const std::uint64_t awake = platform::shell::IdleTimerResetCount();
    ASSERT_TRUE(window->WaitForCount(3));
    EXPECT_TRUE(WaitUntil([&] { return platform::shell::IdleTimerResetCount() > awake; }));

    Hear("tone 440 100");
    ASSERT_TRUE(AlarmCalls::Get().WaitForCount(1));
    EXPECT_FALSE(AlarmCalls::Get().Calls()[0].deviceOpen);

    // Capture started again during the call (the settings confirmed meanwhile): loud buffers are shown
    // and start no second call.
    StartOnWindowThread();
    const std::size_t during = window->meter().Count();
    ASSERT_TRUE(window->WaitForCount(during + 4));
    EXPECT_EQ(AlarmCalls::Get().Count(), 1u);
    EXPECT_TRUE(Device().recording);

    // The call ends; the next loud buffer alarms again.
    AlarmCalls::Get().ReleaseAll();
    AlarmCalls::Get().SetHolding(true);
    ASSERT_TRUE(AlarmCalls::Get().WaitForCount(2));
    const auto calls = AlarmCalls::Get().Calls();
    EXPECT_NE(calls[1].threadId, calls[0].threadId);
    EXPECT_FALSE(calls[1].deviceOpen);
    AlarmCalls::Get().ReleaseAll();
}

TEST_F(SoundLevelDetectorTest, FromTheMicrophoneDisarmedTheMeterFollowsAndNothingElseHappens) {
    window->meter().delayMicroseconds = 2000;
    Hear("tone 440 100");
    const std::uint64_t awake = platform::shell::IdleTimerResetCount();
    const DWORD thread = AlarmThreadId();
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(5));
    window->Run([] { StopCapture(); });
    EXPECT_EQ(platform::shell::IdleTimerResetCount(), awake);
    EXPECT_EQ(AlarmThreadId(), thread);
    EXPECT_EQ(AlarmCalls::Get().Count(), 0u);
    EXPECT_EQ(window->meter().Log().back().position, 5);
}

TEST_F(SoundLevelDetectorTest, AMeterWindowThatIsGoneIsLeftAloneAndListeningGoesOn) {
    g_settings.alarmStep = 5;
    Hear("silence");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(2));
    window->Run([&] { DestroyWindow(window->meter().GetSafeHwnd()); });
    // Armed, every buffer keeps the device awake: the buffers go on arriving and being handed back.
    g_session.alarmArmed.store(true);
    const std::uint64_t awake = platform::shell::IdleTimerResetCount();
    EXPECT_TRUE(WaitUntil([&] { return platform::shell::IdleTimerResetCount() >= awake + 3; }));
    EXPECT_TRUE(Device().recording);
}

TEST_F(SoundLevelDetectorTest, AStopThatFailsOnTheAlarmThreadIsShownAsideAndTheCallGoesOutAtOnce) {
    Hear("silence");
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(1));
    g_session.alarmArmed.store(true);
    FailNext(platform::wave::WaveCall::Stop, MMSYSERR_INVALHANDLE);
    Hear("tone 440 100");

    // The call does not wait for the box.
    ASSERT_TRUE(AlarmCalls::Get().WaitForCount(1));
    const auto box = WaitForBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, L"Microphone error");
    EXPECT_EQ(box->text, L"Specified device handle is invalid");
    const AlarmCall call = AlarmCalls::Get().Calls()[0];
    EXPECT_TRUE(call.deviceOpen); // the stop ended at its failed step
    EXPECT_NE(box->threadId, window->ThreadId());
    EXPECT_NE(box->threadId, call.threadId);
    Answer(*box);
}

} // namespace
} // namespace audiotest
