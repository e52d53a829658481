// The sound section of the device profile.
#include <gtest/gtest.h>

#include "platform/wave/WaveConfig.h"

namespace {

using platform::wave::FaultRule;
using platform::wave::ParseWaveConfig;
using platform::wave::SoundScene;
using platform::wave::WaveCall;
using platform::wave::WaveConfig;

TEST(WaveConfig, DefaultsWithoutKeys) {
    WaveConfig c;
    std::string error;
    ASSERT_TRUE(ParseWaveConfig({}, "", &c, &error)) << error;
    EXPECT_EQ(c.source, WaveConfig::Source::Generator);
    EXPECT_EQ(c.generator.kind, SoundScene::Kind::Silence);
    EXPECT_EQ(c.alsaDevice, "default");
    EXPECT_EQ(c.volume, WaveConfig::Volume::Memory);
    EXPECT_EQ(c.volumeInitial, 0xFFFFFFFFu);
    EXPECT_EQ(c.mixerCard, "default");
    EXPECT_EQ(c.mixerControl, "Master");
    EXPECT_TRUE(c.faults.empty());
}

TEST(WaveConfig, EveryKey) {
    WaveConfig c;
    std::string error;
    ASSERT_TRUE(ParseWaveConfig({{"source", "Recording"},
                                 {"recording", "sounds/room.wav"},
                                 {"loop", "yes"},
                                 {"alsa_device", "pulse:lw.monitor"},
                                 {"volume", "alsa"},
                                 {"volume_initial", "0x8000C000"},
                                 {"mixer_card", "pulse"},
                                 {"mixer_control", "PCM"},
                                 {"noise_seed", "42"},
                                 {"generator", "tone 440.5 64"},
                                 {"fail", "open 4 once; add MMSYSERR_NODRIVER"}},
                                "/profiles", &c, &error))
        << error;
    EXPECT_EQ(c.source, WaveConfig::Source::Recording);
    EXPECT_EQ(c.recordingPath, "/profiles/sounds/room.wav");
    EXPECT_TRUE(c.loop);
    EXPECT_EQ(c.alsaDevice, "pulse:lw.monitor");
    EXPECT_EQ(c.volume, WaveConfig::Volume::Alsa);
    EXPECT_EQ(c.volumeInitial, 0x8000C000u);
    EXPECT_EQ(c.mixerCard, "pulse");
    EXPECT_EQ(c.mixerControl, "PCM");
    EXPECT_EQ(c.noiseSeed, 42u);
    EXPECT_EQ(c.generator.kind, SoundScene::Kind::Tone);
    EXPECT_DOUBLE_EQ(c.generator.hz, 440.5);
    EXPECT_EQ(c.generator.level, 64);
    ASSERT_EQ(c.faults.size(), 2u);
    EXPECT_EQ(c.faults[0].call, WaveCall::Open);
    EXPECT_EQ(c.faults[0].code, 4u);
    EXPECT_EQ(c.faults[0].times, 1u);
    EXPECT_EQ(c.faults[1].call, WaveCall::AddBuffer);
    EXPECT_EQ(c.faults[1].code, 6u);
    EXPECT_EQ(c.faults[1].times, 0u);
}

TEST(WaveConfig, AnAbsolutePathStaysAsItIs) {
    WaveConfig c;
    std::string error;
    ASSERT_TRUE(ParseWaveConfig({{"recording", "/sounds/a.wav"}}, "/profiles", &c, &error)) << error;
    EXPECT_EQ(c.recordingPath, "/sounds/a.wav");
}

struct BadCase {
    std::map<std::string, std::string> keys;
    std::string errorPart; // the error must contain this
};

TEST(WaveConfig, BadValuesAreNamed) {
    const BadCase cases[] = {
        {{{"source", "microphone"}},
         "bad value 'microphone' for key 'source': expected generator, recording or alsa"},
        {{{"generator", "tone 5000 10"}}, "bad tone frequency '5000'"},
        {{{"generator", "tone 440 200"}}, "bad tone level '200' (0..127)"},
        {{{"generator", "noise"}}, "key 'generator'"},
        {{{"generator", "hum 3"}}, "key 'generator'"},
        {{{"loop", "maybe"}}, "bad value 'maybe' for key 'loop': expected yes or no"},
        {{{"volume", "loud"}}, "expected memory or alsa"},
        {{{"volume_initial", "0x1FFFFFFFF"}}, "key 'volume_initial'"},
        {{{"volume_initial", "-1"}}, "key 'volume_initial'"},
        {{{"fail", "open"}}, "key 'fail'"},
        {{{"fail", "jump 4"}}, "unknown call 'jump'"},
        {{{"fail", "open 0"}}, "bad result code '0'"},
        {{{"fail", "open 4 twice"}}, "expected 'once', 'always' or a count"},
        {{{"source", "recording"}}, "needs the key 'recording'"},
        {{{"sorce", "alsa"}}, "unknown key 'sorce'"},
        {{{"alsa_device", ""}}, "key 'alsa_device'"},
    };
    for (const auto& c : cases) {
        WaveConfig config;
        std::string error;
        EXPECT_FALSE(ParseWaveConfig(c.keys, "", &config, &error)) << c.errorPart;
        EXPECT_NE(error.find(c.errorPart), std::string::npos)
            << "error: " << error << "\nwanted: " << c.errorPart;
    }
}

} // namespace
