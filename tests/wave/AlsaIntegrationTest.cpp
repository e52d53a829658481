// The ALSA backends for real, without sound hardware: a private PulseAudio server with a null sink
// stands in for the sound card. What is played into the sink must be captured byte for byte from its
// monitor, and the sink's volume must follow the volume word.
#include <gtest/gtest.h>

#include <algorithm>

#include "PulseServer.h"
#include "WaveTestSupport.h"

namespace {

using namespace wavetest;
using platform::wave::WaveService;

class AlsaIntegrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (PulseServer::Find("pulseaudio").empty()) {
            GTEST_SKIP() << "pulseaudio is not installed";
        }
        std::string error;
        ASSERT_TRUE(server_.Start(&error)) << error;
    }

    void TearDown() override {
        recorder_.reset();
        waveInSetErrorProc(nullptr, 0);
        server_.Kill();
    }

    // Records the monitor of the sink into `count` cycling buffers of `bytes`.
    void OpenMonitor(std::size_t count = 4, std::size_t bytes = 800) {
        Configure({{"source", "alsa"}, {"alsa_device", "pulse:lw.monitor"}});
        recorder_ = std::make_unique<Recorder>(log_);
        recorder_->Start(count, bytes);
    }

    // 20 s of noise played into the sink reach one cycling buffer of `bytes` whole: `buffers` of them
    // (one more when the noise does not begin on a buffer's edge) hold it end to end.
    void ExpectEveryByte(std::size_t bytes, std::size_t buffers) {
        OpenMonitor(1, bytes);
        ASSERT_TRUE(log_.WaitFor(1, WIM_DATA)) << "no sound from the monitor";
        const std::vector<BYTE> played = NoiseBytes(20 * 8000, 5);
        std::string error;
        ASSERT_TRUE(server_.Play(played, &error)) << error;
        EXPECT_TRUE(WaitUntil([&] { return Cover(log_.Events(), played).found; }))
            << "the played bytes were not captured unchanged and whole";
        EXPECT_EQ(WaveService::Instance().State().dropped, 0u);
        recorder_->StopAndClose();
        const Coverage got = Cover(log_.Events(), played);
        EXPECT_GE(got.buffers, buffers);
        EXPECT_LE(got.buffers, buffers + 1);
    }

    std::vector<BYTE> Captured() const {
        std::vector<BYTE> all;
        for (const auto& e : log_.Events()) {
            all.insert(all.end(), e.data.begin(), e.data.end());
        }
        return all;
    }

    PulseServer server_;
    CallbackLog log_;
    std::unique_ptr<Recorder> recorder_;
};

TEST_F(AlsaIntegrationTest, CapturedBytesAreThePlayedBytes) {
    OpenMonitor();
    ASSERT_TRUE(log_.WaitFor(1, WIM_DATA)) << "no sound from the monitor";

    const std::vector<BYTE> played = NoiseBytes(8000, 99); // no stretch of it appears by chance
    std::string error;
    ASSERT_TRUE(server_.Play(played, &error)) << error;

    const bool found = WaitUntil([&] {
        const auto all = Captured();
        return std::search(all.begin(), all.end(), played.begin(), played.end()) != all.end();
    });
    EXPECT_TRUE(found) << "the played bytes were not captured unchanged";
    recorder_->StopAndClose();
}

TEST_F(AlsaIntegrationTest, OneCyclingBufferGetsEveryPlayedByteAtAveraging1) {
    ExpectEveryByte(1000, 160);
}

TEST_F(AlsaIntegrationTest, OneCyclingBufferGetsEveryPlayedByteAtAveraging8) {
    ExpectEveryByte(8000, 20);
}

TEST_F(AlsaIntegrationTest, AServerThatGoesAwayIsReported) {
    waveInSetErrorProc(&CallbackLog::ErrorProc, log_.Instance());
    OpenMonitor();
    ASSERT_TRUE(log_.WaitFor(1, WIM_DATA)) << "no sound from the monitor";
    server_.Kill();

    ASSERT_TRUE(log_.WaitFor(1, kErrorEvent)) << "the lost device was not reported";
    const auto events = log_.Events();
    const auto error =
        std::find_if(events.begin(), events.end(), [](const Event& e) { return e.message == kErrorEvent; });
    EXPECT_TRUE(error->bytes == MMSYSERR_NODRIVER || error->bytes == MMSYSERR_ERROR) << error->bytes;
    EXPECT_EQ(WaveService::Instance().State().queued, 0u) << "every buffer came back";
    EXPECT_EQ(waveInStart(recorder_->Device()), MMSYSERR_NODRIVER);
    recorder_->StopAndClose(); // reset, unprepare and close still succeed
}

TEST_F(AlsaIntegrationTest, OpeningAMissingDeviceFails) {
    Configure({{"source", "alsa"}, {"alsa_device", "no_such_alsa_device"}});
    const WAVEFORMATEX f = Format8k();
    HWAVEIN h = nullptr;
    EXPECT_EQ(waveInOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_FALSE(WaveService::Instance().State().open);
}

TEST_F(AlsaIntegrationTest, TheMixerVolumeFollowsTheVolumeWord) {
    Configure({{"volume", "alsa"}, {"mixer_card", "pulse"}, {"mixer_control", "Master"}});
    struct Case {
        DWORD word;
        const char* percent; // as pactl shows the sink's volume
    };
    for (const Case& c : {Case{0x00000000, " 0%"}, Case{0x80008000, " 50%"}, Case{0xFFFFFFFF, " 100%"}}) {
        SCOPED_TRACE(c.percent);
        ASSERT_EQ(waveOutSetVolume(WAVE_MAPPER, c.word), MMSYSERR_NOERROR);
        DWORD back = 0;
        ASSERT_EQ(waveOutGetVolume(WAVE_MAPPER, &back), MMSYSERR_NOERROR);
        EXPECT_EQ(back, c.word) << "a word set is read back unchanged";
        std::string shown;
        ASSERT_TRUE(server_.Run({"pactl", "get-sink-volume", "lw"}, &shown)) << shown;
        EXPECT_NE(shown.find(c.percent), std::string::npos) << shown;
    }
    // A mono control: the left half sets it and both halves report it.
    ASSERT_EQ(waveOutSetVolume(WAVE_MAPPER, 0x0000FFFF), MMSYSERR_NOERROR);
    DWORD back = 0;
    ASSERT_EQ(waveOutGetVolume(WAVE_MAPPER, &back), MMSYSERR_NOERROR);
    EXPECT_EQ(back, 0xFFFFFFFFu);

    Configure({{"volume", "alsa"}, {"mixer_card", "pulse"}, {"mixer_control", "NoSuchControl"}});
    EXPECT_EQ(waveOutGetVolume(WAVE_MAPPER, &back), MMSYSERR_NODRIVER);
}

} // namespace
