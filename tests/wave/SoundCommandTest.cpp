// The automation command "sound": its answers and what it changes in the simulated room.
#include <gtest/gtest.h>

#include "WaveTestSupport.h"
#include "platform/automation/DeviceCommands.h"
#include "platform/wave/SoundCommand.h"

namespace {

using namespace wavetest;
using platform::automation::SplitWords;
using platform::wave::RunSoundCommand;

struct CommandCase {
    std::string line;
    bool ok;
    std::string answerStart; // the answer must begin with this
};

TEST(SoundCommand, AnswersAndErrors) {
    TempDir dir;
    WriteU8Wav(dir.Path() + "/clip.wav", std::vector<BYTE>(16000, 128));
    Configure({});
    const std::string clip = dir.Path() + "/clip.wav";
    const CommandCase cases[] = {
        {"level", true, "silence; excursion 0"},
        {"", true, "silence; excursion "},
        {"tone 440 64", true, "tone 440 64; excursion "},
        {"level", true, "tone 440 64; excursion "},
        {"noise 20", true, "noise 20; excursion "},
        {"silence", true, "silence; excursion "},
        // The position is read when the answer is written: a slow machine may be a few ms in.
        {"play \"" + clip + "\" loop", true, "play \"" + clip + "\" loop at 0.0"},
        {"play \"" + clip + "\"", true, "play \"" + clip + "\" at 0.0"},
        {"play /nonexistent.wav", false, "sound: cannot read the sound file '/nonexistent.wav'"},
        {"play", false, "sound: expected 'play <file> [loop]'"},
        {"tone 440", false, "sound: expected 'silence'"},
        {"tone 0 10", false, "sound: bad tone frequency '0'"},
        {"noise 128", false, "sound: bad noise level '128' (0..127)"},
        {"fail", true, "none"},
        {"fail add nodriver", true, "add MMSYSERR_NODRIVER always"},
        {"fail waveInOpen 0x4 once", true, "open MMSYSERR_ALLOCATED once\nadd MMSYSERR_NODRIVER always"},
        {"fail clear add", true, "open MMSYSERR_ALLOCATED once"},
        {"fail clear", true, "none"},
        {"fail start 6 3", true, "start MMSYSERR_NODRIVER 3 times"},
        {"fail start 6 0", false, "sound: expected 'once', 'always' or a count, not '0'"},
        {"fail clear", true, "none"},
        {"fail open", false, "sound: expected '<call> <code> [once|always|<n>]'"},
        {"fail clear nothing", false, "sound: unknown call 'nothing'"},
        {"volume", true, "0xFFFFFFFF"},
        {"volume loud", false, "sound: bad volume word 'loud'"},
        {"state", true, "closed"},
        {"whistle", false, "sound: expected level, silence"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto result = RunSoundCommand(SplitWords(c.line));
        EXPECT_EQ(result.ok, c.ok) << result.text;
        EXPECT_EQ(result.text.substr(0, c.answerStart.size()), c.answerStart);
    }
}

TEST(SoundCommand, IsRegisteredWithTheAutomationChannel) {
    Configure({});
    platform::automation::CommandResult result;
    ASSERT_TRUE(platform::automation::RunDeviceCommand("sound", {"tone", "100", "5"}, &result));
    EXPECT_TRUE(result.ok) << result.text;
}

TEST(SoundCommand, SimulatedSoundsAreRefusedWithTheRealMicrophone) {
    Configure({{"source", "alsa"}});
    const auto result = RunSoundCommand({"tone", "440", "64"});
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(RunSoundCommand({"level"}).text, "alsa \"default\" (the real microphone)");
}

// A switch reaches a device that is recording: its next buffers carry the new sound.
TEST(SoundCommand, ASwitchReachesTheRecordingDevice) {
    Configure({});
    CallbackLog log;
    Recorder recorder(log);
    recorder.Start(1, 200);
    ASSERT_TRUE(log.WaitFor(1, WIM_DATA));
    EXPECT_EQ(MeanUpwardExcursion(log.Events()[1].data), 0.0);
    EXPECT_EQ(RunSoundCommand({"state"}).text.substr(0, 14), "open, recordin");

    ASSERT_TRUE(RunSoundCommand({"noise", "100"}).ok);
    const std::size_t seen = log.Events().size();
    // The device reads 1000 bytes at a time and may hold up to one read for the next buffers: eleven
    // buffers of 200 later, the whole buffer was recorded after the switch.
    ASSERT_TRUE(log.WaitFor(seen + 11, WIM_DATA));
    EXPECT_NEAR(MeanUpwardExcursion(log.Events().back().data), 50.0, 6.0);

    recorder.StopAndClose();
}

} // namespace
