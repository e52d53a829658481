// The output volume word through the API and the automation command, with the in-memory volume.
#include <gtest/gtest.h>

#include "WaveTestSupport.h"
#include "platform/wave/SoundCommand.h"

namespace {

using namespace wavetest;
using platform::wave::RunSoundCommand;

TEST(Volume, StartsAtTheProfilesWordAndKeepsWhatIsSet) {
    Configure({{"volume_initial", "0x8000C000"}});
    DWORD v = 0;
    ASSERT_EQ(waveOutGetVolume(WAVE_MAPPER, &v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, 0x8000C000u);
    for (DWORD word : {0x00000000u, 0xFFFFFFFFu, 0x1234ABCDu}) {
        ASSERT_EQ(waveOutSetVolume(WAVE_MAPPER, word), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutGetVolume(WAVE_MAPPER, &v), MMSYSERR_NOERROR);
        EXPECT_EQ(v, word);
    }
}

TEST(Volume, TheDefaultIsFull) {
    Configure({});
    DWORD v = 0;
    ASSERT_EQ(waveOutGetVolume(WAVE_MAPPER, &v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, 0xFFFFFFFFu);
}

TEST(Volume, DeviceNamesAndArguments) {
    Configure({{"volume_initial", "7"}});
    DWORD v = 0;
    // WAVE_MAPPER as a handle, in either width, and device 0.
    EXPECT_EQ(waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<std::uintptr_t>(WAVE_MAPPER)), &v),
              MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<std::uintptr_t>(-1)), &v),
              MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutGetVolume(static_cast<HWAVEOUT>(nullptr), &v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, 7u);
    EXPECT_EQ(waveOutGetVolume(2u, &v), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutSetVolume(reinterpret_cast<HWAVEOUT>(0x55), 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutGetVolume(WAVE_MAPPER, nullptr), MMSYSERR_INVALPARAM);
}

TEST(Volume, TheAutomationChannelReadsAndSetsTheWord) {
    Configure({});
    ASSERT_EQ(waveOutSetVolume(WAVE_MAPPER, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(RunSoundCommand({"volume"}).text, "0x00000000");
    EXPECT_EQ(RunSoundCommand({"volume", "0xFFFF"}).text, "0x0000FFFF");
    DWORD v = 0;
    ASSERT_EQ(waveOutGetVolume(WAVE_MAPPER, &v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, 0xFFFFu);
}

TEST(Volume, InjectedFaults) {
    Configure({{"fail", "getvolume 1 once; setvolume nodriver"}});
    DWORD v = 0;
    EXPECT_EQ(waveOutGetVolume(WAVE_MAPPER, &v), MMSYSERR_ERROR);
    EXPECT_EQ(waveOutGetVolume(WAVE_MAPPER, &v), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutSetVolume(WAVE_MAPPER, 0), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveOutGetVolume(WAVE_MAPPER, &v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, 0xFFFFFFFFu) << "a failed set changes nothing";
}

} // namespace
