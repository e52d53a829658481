// The microphone's indicator as the wave calls leave it: raised by a call that should get the device
// recording and fails, or by a device that fails while it records; cleared when a device starts; left
// alone by deliberate stops and by calls that do not concern the device in use.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "WaveTestSupport.h"
#include "platform/status/Indicators.h"
#include "platform/wave/SoundCommand.h"

namespace {

using namespace wavetest;
using platform::status::Indicator;
using platform::wave::WaveService;

constexpr UINT kHdr = sizeof(WAVEHDR);

// The microphone's detail, or "" when its indicator is down.
std::string Microphone() {
    for (const auto& raised : platform::status::Current()) {
        if (raised.which == Indicator::Microphone) {
            return raised.detail.empty() ? "(no detail)" : raised.detail;
        }
    }
    return "";
}

class MicrophoneIndicatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        Configure({{"generator", "tone 1000 30"}});
        platform::status::Clear(Indicator::Microphone);
    }

    void TearDown() override {
        WaveService::Instance().Faults().ClearAll();
        waveInSetErrorProc(nullptr, 0);
        if (device_ != nullptr) {
            waveInReset(device_);
            waveInUnprepareHeader(device_, &buffer_->header, kHdr);
            waveInClose(device_);
        }
        platform::wave::Shutdown();
        platform::status::Clear(Indicator::Microphone);
    }

    void Fail(const std::string& rule) {
        const auto result = platform::wave::RunSoundCommand(platform::automation::SplitWords("fail " + rule));
        ASSERT_TRUE(result.ok) << result.text;
    }

    MMRESULT Open() {
        const WAVEFORMATEX f = Format8k();
        return waveInOpen(&device_, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&CallbackLog::Proc),
                          log_.Instance(), CALLBACK_FUNCTION);
    }

    // Open, prepare, queue and start, stopping at the first failure.
    MMRESULT OpenAndStart() {
        MMRESULT rc = Open();
        if (rc == MMSYSERR_NOERROR) {
            rc = waveInPrepareHeader(device_, &buffer_->header, kHdr);
        }
        if (rc == MMSYSERR_NOERROR) {
            rc = waveInAddBuffer(device_, &buffer_->header, kHdr);
        }
        return rc == MMSYSERR_NOERROR ? waveInStart(device_) : rc;
    }

    // A buffer of its own for each device: the WIM_DATA of a closed device's buffer may still be on its
    // way to the callback when the next device opens.
    Buffer* NewBuffer() {
        buffers_.push_back(std::make_unique<Buffer>(8000));
        buffer_ = buffers_.back().get();
        return buffer_;
    }

    HWAVEIN device_ = nullptr;
    CallbackLog log_;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    Buffer* buffer_ = NewBuffer();
};

TEST_F(MicrophoneIndicatorTest, AStartThatFailsRaisesItWithTheCallAndTheNextStartClearsIt) {
    struct Case {
        const char* rule;
        const char* detail;
    };
    for (const Case& c : {Case{"open 4 once", "waveInOpen: MMSYSERR_ALLOCATED"},
                          Case{"prepare nomem once", "waveInPrepareHeader: MMSYSERR_NOMEM"},
                          Case{"add 34 once", "waveInAddBuffer: WAVERR_UNPREPARED"},
                          Case{"start nodriver once", "waveInStart: MMSYSERR_NODRIVER"}}) {
        SCOPED_TRACE(c.rule);
        Fail(c.rule);
        EXPECT_NE(OpenAndStart(), MMSYSERR_NOERROR);
        EXPECT_EQ(Microphone(), c.detail);
        if (device_ != nullptr) {
            // Closing what the failed start left open is deliberate: still deaf, still shown.
            waveInReset(device_);
            waveInUnprepareHeader(device_, &buffer_->header, kHdr);
            ASSERT_EQ(waveInClose(device_), MMSYSERR_NOERROR);
            EXPECT_EQ(Microphone(), c.detail);
        }
        NewBuffer();
        ASSERT_EQ(OpenAndStart(), MMSYSERR_NOERROR);
        EXPECT_EQ(Microphone(), "");
        waveInReset(device_);
        waveInUnprepareHeader(device_, &buffer_->header, kHdr);
        ASSERT_EQ(waveInClose(device_), MMSYSERR_NOERROR);
        device_ = nullptr;
        NewBuffer();
    }
}

TEST_F(MicrophoneIndicatorTest, ADeliberateStopAndFailedStopCallsLeaveItDown) {
    ASSERT_EQ(OpenAndStart(), MMSYSERR_NOERROR);
    Fail("stop 1 once");
    EXPECT_EQ(waveInStop(device_), MMSYSERR_ERROR);
    Fail("close 1 once");
    EXPECT_EQ(waveInClose(device_), MMSYSERR_ERROR);
    EXPECT_EQ(waveInStop(device_), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInReset(device_), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInUnprepareHeader(device_, &buffer_->header, kHdr), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInClose(device_), MMSYSERR_NOERROR);
    device_ = nullptr;
    EXPECT_EQ(Microphone(), "");
}

TEST_F(MicrophoneIndicatorTest, ADeviceLostWhileRecordingRaisesItOnceWithItsCause) {
    waveInSetErrorProc(&CallbackLog::ErrorProc, log_.Instance());
    ASSERT_EQ(OpenAndStart(), MMSYSERR_NOERROR);
    Fail("device nodriver once");
    ASSERT_TRUE(log_.WaitFor(1, kErrorEvent));
    EXPECT_EQ(Microphone().rfind("device lost: MMSYSERR_NODRIVER", 0), 0u) << Microphone();
    // Handing the returned buffer back to the failed device changes nothing: its loss is the news.
    EXPECT_EQ(waveInAddBuffer(device_, &buffer_->header, kHdr), MMSYSERR_NODRIVER);
    EXPECT_EQ(Microphone().rfind("device lost", 0), 0u) << Microphone();
}

TEST_F(MicrophoneIndicatorTest, ACallOnAStaleHandleWhileADeviceRecordsLeavesItDown) {
    ASSERT_EQ(OpenAndStart(), MMSYSERR_NOERROR);
    const auto stale = reinterpret_cast<HWAVEIN>(0x1234);
    EXPECT_EQ(waveInAddBuffer(stale, &buffer_->header, kHdr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInStart(stale), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(Microphone(), "");
    // A hand-back the open device refuses is news.
    Fail("add nomem once");
    EXPECT_EQ(waveInAddBuffer(device_, &buffer_->header, kHdr), MMSYSERR_NOMEM);
    EXPECT_EQ(Microphone(), "waveInAddBuffer: MMSYSERR_NOMEM");
}

} // namespace
