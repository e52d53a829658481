// Injected faults: a failing call fails with the chosen code and changes nothing; a failing device
// returns its buffers, refuses to record, still closes, and tells the failure hook.
#include <gtest/gtest.h>

#include <algorithm>

#include "WaveTestSupport.h"
#include "platform/wave/SoundCommand.h"

namespace {

using namespace wavetest;
using platform::wave::RunSoundCommand;
using platform::wave::WaveService;

constexpr UINT kHdr = sizeof(WAVEHDR);

class WaveFaultTest : public ::testing::Test {
protected:
    void SetUp() override { Configure({{"generator", "tone 1000 30"}}); }

    void TearDown() override {
        WaveService::Instance().Faults().ClearAll();
        waveInSetErrorProc(nullptr, 0);
        if (device_ != nullptr) {
            waveInReset(device_);
            waveInClose(device_);
        }
        platform::wave::Shutdown();
    }

    MMRESULT Open() {
        const WAVEFORMATEX f = Format8k();
        return waveInOpen(&device_, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&CallbackLog::Proc),
                          log_.Instance(), CALLBACK_FUNCTION);
    }

    void Sound(const std::string& line) {
        const auto result = RunSoundCommand(platform::automation::SplitWords(line));
        ASSERT_TRUE(result.ok) << line << ": " << result.text;
    }

    HWAVEIN device_ = nullptr;
    CallbackLog log_;
};

// Each call, made to fail once through the automation command, fails with the code and leaves the
// device as it was; the same call then succeeds.
TEST_F(WaveFaultTest, EachCallFailsOnceWithTheChosenCode) {
    Buffer b(40000);
    struct Step {
        const char* rule;
        std::function<MMRESULT()> call;
        MMRESULT code;
    };
    const Step steps[] = {
        {"open MMSYSERR_ALLOCATED once", [&] { return Open(); }, MMSYSERR_ALLOCATED},
        {"prepare nomem once", [&] { return waveInPrepareHeader(device_, &b.header, kHdr); }, MMSYSERR_NOMEM},
        {"waveInAddBuffer 34 once", [&] { return waveInAddBuffer(device_, &b.header, kHdr); },
         WAVERR_UNPREPARED},
        {"start 0x6 once", [&] { return waveInStart(device_); }, MMSYSERR_NODRIVER},
        {"stop 1 once", [&] { return waveInStop(device_); }, MMSYSERR_ERROR},
        {"reset INVALHANDLE once", [&] { return waveInReset(device_); }, MMSYSERR_INVALHANDLE},
        {"unprepare 33 once", [&] { return waveInUnprepareHeader(device_, &b.header, kHdr); },
         WAVERR_STILLPLAYING},
        {"close 99 once", [&] { return waveInClose(device_); }, 99},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.rule);
        Sound(std::string("fail ") + step.rule);
        const auto before = WaveService::Instance().State();
        const DWORD flagsBefore = b.header.dwFlags;
        EXPECT_EQ(step.call(), step.code);
        const auto after = WaveService::Instance().State();
        EXPECT_EQ(after.open, before.open);
        EXPECT_EQ(after.queued, before.queued);
        EXPECT_EQ(b.header.dwFlags, flagsBefore);
        EXPECT_EQ(step.call(), MMSYSERR_NOERROR) << "a once rule is used up";
    }
    device_ = nullptr;
    EXPECT_TRUE(log_.WaitFor(1, WIM_CLOSE));
}

TEST_F(WaveFaultTest, AnAlwaysRuleHoldsUntilClearedACountedOneThatManyCalls) {
    Sound("fail open 4 2");
    EXPECT_EQ(Open(), MMSYSERR_ALLOCATED);
    EXPECT_EQ(RunSoundCommand({"fail"}).text, "open MMSYSERR_ALLOCATED once");
    EXPECT_EQ(Open(), MMSYSERR_ALLOCATED);
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInClose(device_), MMSYSERR_NOERROR);

    Sound("fail open 4");
    EXPECT_EQ(Open(), MMSYSERR_ALLOCATED);
    EXPECT_EQ(Open(), MMSYSERR_ALLOCATED);
    Sound("fail clear open");
    EXPECT_EQ(RunSoundCommand({"fail"}).text, "none");
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
}

TEST_F(WaveFaultTest, RulesFromTheProfile) {
    Configure({{"fail", "open WAVERR_BADFORMAT once; start nodriver"}});
    EXPECT_EQ(RunSoundCommand({"fail"}).text, "open WAVERR_BADFORMAT once\nstart MMSYSERR_NODRIVER always");
    EXPECT_EQ(Open(), WAVERR_BADFORMAT);
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInStart(device_), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveInStart(device_), MMSYSERR_NODRIVER);
}

TEST_F(WaveFaultTest, AFailedDeviceReturnsItsBuffersAndReportsOnce) {
    waveInSetErrorProc(&CallbackLog::ErrorProc, log_.Instance());
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    Buffer a(40000), b(40000);
    for (Buffer* x : {&a, &b}) {
        ASSERT_EQ(waveInPrepareHeader(device_, &x->header, kHdr), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(device_, &x->header, kHdr), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveInStart(device_), MMSYSERR_NOERROR);
    ASSERT_TRUE(WaitUntil([] { return WaveService::Instance().State().headRecorded > 0; }));
    Sound("fail device nodriver once");
    ASSERT_TRUE(log_.WaitFor(1, kErrorEvent));

    const auto events = log_.Events();
    ASSERT_EQ(log_.Messages(), (std::vector<UINT>{WIM_OPEN, WIM_DATA, WIM_DATA, kErrorEvent}));
    EXPECT_EQ(events[1].header, &a.header);
    EXPECT_GT(events[1].bytes, 0u) << "what was recorded comes back";
    EXPECT_EQ(events[2].header, &b.header);
    EXPECT_EQ(events[3].bytes, MMSYSERR_NODRIVER);
    EXPECT_EQ(events[3].device, device_);
    EXPECT_TRUE(WaveService::Instance().State().failed);

    EXPECT_EQ(waveInAddBuffer(device_, &a.header, kHdr), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveInPrepareHeader(device_, &a.header, kHdr), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveInStart(device_), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveInStop(device_), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInReset(device_), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInUnprepareHeader(device_, &a.header, kHdr), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInUnprepareHeader(device_, &b.header, kHdr), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInClose(device_), MMSYSERR_NOERROR);
    device_ = nullptr;
    ASSERT_TRUE(log_.WaitFor(1, WIM_CLOSE));
    // The callback thread delivers in order, so after WIM_CLOSE every report has arrived.
    const auto all = log_.Messages();
    EXPECT_EQ(std::count(all.begin(), all.end(), kErrorEvent), 1) << "reported once";

    // The next open records again.
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    EXPECT_FALSE(WaveService::Instance().State().failed);
}

} // namespace
