// What must not end a monitoring session or leave the phone muted: stray Enter and Escape keys, a process
// killed in the middle of a session, a file-size limit while the session's files are written, a settings
// folder that cannot be made.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>

namespace {

using namespace lwe2e;

const char* const kSettingsFiles[] = {"LullwatchAverage.txt", "LullwatchSensityvity.txt",
                                      "LullwatchDiapason.txt", "sound.txt", "phonenumber.txt"};
constexpr const char* kVolumeFile = "session-volume.txt";

// Clicks Run and waits until the session has begun: the number field locked, the output muted.
void StartSession(Monitor& monitor) {
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.Wait("state " + monitor.main() + " 1003 disabled");
    monitor.Wait("device \"sound volume\" is 0x00000000");
}

// The hidden temporary files in the settings folder.
std::vector<std::string> Temporaries(const DataRoot& data) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(data.SettingsFolder())) {
        const std::string name = entry.path().filename().string();
        if (name.front() == '.') {
            found.push_back(name);
        }
    }
    return found;
}

// Enter and Escape while counting down and while armed; neither ends the session nor the program.
void PressStrayKeys(Monitor& monitor) {
    for (const char* key : {"enter", "escape", "tab", "enter", "escape"}) {
        monitor.Do(std::string("key ") + key);
    }
    ASSERT_TRUE(monitor.Wait("idle")) << monitor.Stderr();
    EXPECT_FALSE(monitor.Control(1003).enabled);
    EXPECT_EQ(monitor.Answer("sound volume"), "0x00000000");
}

TEST(SessionSafety, EnterAndEscapeDoNothingWhileASessionRunsAndEndTheProgramWithout) {
    DataRoot data;
    data.Write("phonenumber.txt", std::string("5551234\0", 8));
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();

    StartSession(monitor);
    PressStrayKeys(monitor);
    monitor.WaitText(1000, "Stop - 3 sec");
    monitor.WaitText(1000, "Stop");
    PressStrayKeys(monitor);
    EXPECT_EQ(monitor.Control(1000).text, "Stop");

    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Run");
    EXPECT_EQ(monitor.Answer("sound volume"), "0xFFFFFFFF");
    monitor.Do("key escape");
    EXPECT_EQ(monitor.WaitForExit(), 0);
}

TEST(SessionSafety, TheVolumeMutedByARunKilledInASessionIsGivenBackAtTheNextStart) {
    DataRoot data;
    data.Write("phonenumber.txt", std::string("5551234\0", 8));
    std::map<std::string, std::string> settingsBefore;
    {
        Monitor killed(data, {"sound.volume_initial=0x12345678"});
        ASSERT_TRUE(killed.started()) << killed.Stderr();
        StartSession(killed);
        EXPECT_EQ(killed.Answer("sound volume"), "0x00000000");
        EXPECT_TRUE(data.Exists(kVolumeFile));
        for (const char* file : kSettingsFiles) {
            settingsBefore[file] = data.Read(file);
        }
        killed.Kill();
    }

    // The phone as the killed run left it: muted.
    Monitor next(data, {"sound.volume_initial=0"});
    ASSERT_TRUE(next.started()) << next.Stderr();
    EXPECT_EQ(next.Answer("sound volume"), "0x12345678");
    EXPECT_FALSE(data.Exists(kVolumeFile));
    EXPECT_NE(next.Stderr().find("ended during a monitoring session"), std::string::npos) << next.Stderr();
    for (const char* file : kSettingsFiles) {
        EXPECT_EQ(data.Read(file), settingsBefore[file]) << file;
    }

    // A session that ends the usual way takes its file with it.
    StartSession(next);
    EXPECT_TRUE(data.Exists(kVolumeFile));
    next.Do("click " + next.main() + " id=1000");
    next.WaitText(1000, "Run");
    EXPECT_FALSE(data.Exists(kVolumeFile));
    EXPECT_EQ(next.Answer("sound volume"), "0x12345678");
}

TEST(SessionSafety, AFileSizeLimitFailsTheWritesButNotTheProgramAndLeavesNoTemporaryFile) {
    DataRoot data;
    data.Write(".phonenumber.txt.tmp", "55512"); // what an interrupted write left behind
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    EXPECT_TRUE(Temporaries(data).empty());

    const rlimit limit{4, RLIM_INFINITY};
    ASSERT_EQ(prlimit(monitor.pid(), RLIMIT_FSIZE, &limit, nullptr), 0);
    monitor.Do("click " + monitor.main() + " id=1003");
    monitor.Do("type 5551234567");
    StartSession(monitor);
    monitor.WaitText(1000, "Stop - 20 sec");

    EXPECT_TRUE(Temporaries(data).empty());
    EXPECT_FALSE(data.Exists("phonenumber.txt")); // 11 bytes do not fit
    EXPECT_EQ(data.Read("sound.txt"), "\x01");    // one byte does
    EXPECT_EQ(monitor.Answer("sound volume"), "0x00000000");
    EXPECT_EQ(monitor.Quit(), 0);
}

// A file where the settings folder should be: nothing can be stored, yet the session arms and calls the
// number the field shows.
TEST(SessionSafety, ASettingsFolderThatCannotBeMadeStillLetsTheSessionArmAndCall) {
    DataRoot data;
    std::ofstream(data.SettingsFolder()) << "not a folder";
    Monitor monitor(data, {"device.clock_factor=20"});
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    monitor.Do("click " + monitor.main() + " id=1003");
    monitor.Do("type 5551234");
    StartSession(monitor);
    monitor.Do("sound tone 440 60");
    const auto call = monitor.WaitForLineCall("lineMakeCall", 1);
    ASSERT_TRUE(call.has_value()) << monitor.Stderr();
    EXPECT_NE(call->second.find("dest=\"5551234\""), std::string::npos) << call->second;
    EXPECT_TRUE(std::filesystem::is_regular_file(data.SettingsFolder()));
    EXPECT_EQ(monitor.Quit(), 0);
}

} // namespace
