// A real ALSA microphone that goes away and comes back: the monitor of a private PulseAudio server's null
// sink is captured through ALSA's pulse plugin; the sink's module is unloaded in the middle of the
// capture and loaded again. The loss is shown (its box and the microphone's indicator), capture resumes
// by itself once the sink is back, and the indicator clears.
#include <gtest/gtest.h>

#include "AudioTestSupport.h"
#include "PulseServer.h"
#include "audio/SoundCapture.h"

namespace audiotest {
namespace {

constexpr char kSinkModule[] = "module-null-sink";
const std::vector<std::string> kSinkArguments{"sink_name=lw", "rate=8000", "channels=1", "format=u8",
                                              "norewinds=1"};

class CaptureAlsaRecoveryTest : public CaptureFixture {
protected:
    void SetUp() override {
        if (wavetest::PulseServer::Find("pulseaudio").empty()) {
            GTEST_SKIP() << "pulseaudio is not installed";
        }
        std::string error;
        ASSERT_TRUE(server_.Start(&error)) << error;
        CaptureFixture::SetUp();
        wavetest::Configure({{"source", "alsa"}, {"alsa_device", "pulse:lw.monitor"}});
    }

    void TearDown() override {
        if (window) {
            CaptureFixture::TearDown();
        }
        server_.Kill();
    }

    // Runs pactl with `arguments`; fails the test when it fails.
    void Pactl(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "pactl");
        std::string output;
        EXPECT_TRUE(server_.Run(arguments, &output)) << output << server_.Log();
    }

    wavetest::PulseServer server_;
};

TEST_F(CaptureAlsaRecoveryTest, ASinkUnloadedMidCaptureIsShownAndCaptureResumesWhenItIsBack) {
    StartOnWindowThread();
    ASSERT_TRUE(window->WaitForCount(2)) << "no sound from the monitor";

    MicrophoneLog microphone;
    Pactl({"unload-module", kSinkModule});
    const auto box = WaitForBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, L"Microphone error");
    EXPECT_TRUE(WaitUntil([&] {
        const auto changes = microphone.Changes();
        return !changes.empty() && !changes.back().empty();
    })) << "the lost device was not shown";

    std::vector<std::string> load{"load-module", kSinkModule};
    load.insert(load.end(), kSinkArguments.begin(), kSinkArguments.end());
    Pactl(load);
    const std::size_t before = window->meter().Count();
    EXPECT_TRUE(window->WaitForCount(before + 2)) << "capture did not resume";
    EXPECT_TRUE(Device().recording);
    EXPECT_TRUE(WaitUntil([&] { return microphone.Changes().back().empty(); }))
        << ::testing::PrintToString(microphone.Changes());
    Answer(*box);
}

} // namespace
} // namespace audiotest
