// The backends that pull in large libraries are modules the real program loads when its profile needs
// them: the SDL window and a recording load into it and run; a module that cannot be found is one clear
// line naming it, handled as that backend failing to start (a window falls back to headless where the
// profile allows it, else the start ends with the backend's error).
#include "MonitorDriver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>

namespace {

using namespace lwe2e;
using platform::automation::AutomationClient;
using testing::HasSubstr;

// SDL and the libraries under it (D-Bus, X11) leave allocations behind at exit, in code whose stacks
// cannot be unwound to be suppressed: no leak check for runs that open SDL.
std::string NoLeakCheck() {
    const char* asan = std::getenv("ASAN_OPTIONS");
    return std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":detect_leaks=0";
}

const std::string kRecording[] = {"sound.source=recording", "sound.recording=sounds/demo-room.wav"};

TEST(BackendModule, TheWindowAndARecordingLoadIntoTheProgramAndRun) {
    if (access("/usr/bin/xvfb-run", X_OK) != 0) {
        GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
    }
    AutomationClient::Options options{LULLWATCH_MONITOR_BINARY, LULLWATCH_TEST_PROFILE};
    options.settings = {"screen.frontend=sdl", kRecording[0], kRecording[1], "device.data_root=temporary"};
    options.launcher = {"/usr/bin/xvfb-run", "-a"};
    options.environment = {NoLeakCheck()};
    std::string error;
    auto client = AutomationClient::Start(options, &error);
    ASSERT_TRUE(client) << error;
    ASSERT_TRUE(client->WaitFor("window Lullwatch", kPatienceMs)) << client->Stderr();
    EXPECT_EQ(client->Command("screen").status, "240x320 portrait display=on frontend=sdl");
    EXPECT_THAT(client->Command("sound level").status, HasSubstr("demo-room.wav"));
    EXPECT_EQ(client->Quit(), 0) << client->Stderr();
}

struct MissingModule {
    const char* name;
    std::vector<std::string> settings;
    const char* profile;
    int exitCode; // -1: starts and runs
    const char* said;
};

void PrintTo(const MissingModule& c, std::ostream* out) {
    *out << c.name;
}

class BackendModuleMissing : public testing::TestWithParam<MissingModule> {};

TEST_P(BackendModuleMissing, IsOneLineNamingItAndTheBackendFailsAsItWouldToStart) {
    const MissingModule& c = GetParam();
    const std::filesystem::path empty = std::filesystem::path(testing::TempDir()) / "no-modules";
    std::filesystem::create_directories(empty);
    AutomationClient::Options options{LULLWATCH_MONITOR_BINARY, c.profile};
    options.settings = c.settings;
    options.settings.push_back("device.data_root=temporary");
    options.environment = {"LULLWATCH_MODULE_DIR=" + empty.string(), "DISPLAY=:97", NoLeakCheck()};
    std::string error;
    auto client = AutomationClient::Start(options, &error);
    ASSERT_TRUE(client) << error;
    if (c.exitCode < 0) {
        EXPECT_TRUE(client->WaitFor("window Lullwatch", kPatienceMs)) << client->Stderr();
        EXPECT_THAT(client->Command("screen").status, HasSubstr("frontend=headless"));
        EXPECT_EQ(client->Quit(), 0);
    } else {
        EXPECT_EQ(client->WaitForExit(kPatienceMs), c.exitCode);
    }
    const std::string expected = std::string(c.said) + empty.string();
    EXPECT_THAT(client->Stderr(), HasSubstr(expected)) << client->Stderr();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, BackendModuleMissing, testing::Values(
    MissingModule{"WindowWhereTheProfileAllowsHeadless", {"screen.frontend=auto"}, LULLWATCH_TEST_PROFILE, -1,
                  "lullwatch: cannot load the module lullwatch-sdl.so: "},
    MissingModule{"WindowAskedFor", {"screen.frontend=sdl"}, LULLWATCH_TEST_PROFILE, 2,
                  "lullwatch: cannot load the module lullwatch-sdl.so: "},
    MissingModule{"Recording", {kRecording[0], kRecording[1]}, LULLWATCH_TEST_PROFILE, 1,
                  "lullwatch: sound: cannot load the module lullwatch-recording.so: "},
    MissingModule{"SipLine", {}, LULLWATCH_SIP_TEST_PROFILE, 1,
                  "lullwatch: line: cannot load the module lullwatch-sip.so: "}),
    [](const testing::TestParamInfo<MissingModule>& info) { return info.param.name; });
// clang-format on

} // namespace
