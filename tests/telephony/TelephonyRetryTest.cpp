// Starting telephony again after a start-up that left no usable line: one quiet attempt at a time, never
// while a call is being placed, and attempts spaced from 1 s doubling to 30 s.
#include "TelephonyTestSupport.h"

#include "platform/win/Clock.h"
#include "telephony/LineSetup.h"
#include "telephony/TelephonyRetry.h"

namespace lullwatch::test {
namespace {

using platform::Clock;

class TelephonyRetryTest : public TelephonyTest {};

TEST_F(TelephonyRetryTest, AttemptsBackOffFromOneSecondToThirty) {
    std::vector<UINT> intervals;
    UINT interval = 0;
    for (int i = 0; i < 8; ++i) {
        interval = NextTelephonyRetryMs(interval);
        intervals.push_back(interval);
    }
    EXPECT_EQ(intervals, (std::vector<UINT>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
}

TEST_F(TelephonyRetryTest, ReinitThatClearsIsPickedUpByALaterAttempt) {
    Install({{"init.reinit", "40000"}});
    EXPECT_EQ(TelephonyRestart(instance_), LINEERR_REINIT);
    EXPECT_FALSE(TelephonyUsable());
    Clock::SetFactor(1000.0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    LONG result = LINEERR_REINIT;
    while (result != 0 && std::chrono::steady_clock::now() < deadline) {
        result = TelephonyRestart(instance_);
    }
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(TelephonyUsable());
}

TEST_F(TelephonyRetryTest, VoiceDeviceThatAppearsLaterIsChosenByTheNextAttempt) {
    StartTelephony({{"device.0.media", "data"}});
    EXPECT_FALSE(TelephonyUsable());
    EXPECT_EQ(TelephonyRestart(instance_), LINEERR_NODEVICE);
    std::string error;
    ASSERT_TRUE(line_->Inject({LINE_CREATE, 1, std::nullopt, std::nullopt, std::nullopt}, &error)) << error;
    EXPECT_EQ(TelephonyRestart(instance_), 0);
    EXPECT_TRUE(TelephonyUsable());
    {
        std::lock_guard lock(g_telephony.lock);
        EXPECT_EQ(g_telephony.currentDeviceId, 1u);
    }
    // Every attempt first ends the use that the one before left.
    EXPECT_EQ(JournalFunctions({"lineInitialize", "lineShutdown"}),
              (std::vector<std::string>{"lineInitialize", "lineShutdown", "lineInitialize", "lineShutdown",
                                        "lineInitialize"}));
}

TEST_F(TelephonyRetryTest, NoAttemptWhileACallIsBeingPlaced) {
    StartTelephony({{"call-script", "silent"}});
    PlaceCall();
    const HWND window = WaitForCallWindow();
    const std::uint64_t from = platform::tapi::Journal().NextSeq();
    EXPECT_EQ(TelephonyRestart(instance_), LINEERR_INUSE);
    EXPECT_EQ(JournalFunctions({}, from), std::vector<std::string>{});
    HangUp(window);
    ASSERT_TRUE(WaitForCallOver());
}

} // namespace
} // namespace lullwatch::test
