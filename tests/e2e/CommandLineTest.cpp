// The monitor's command line: profiles found by name, the profile taken when none is named, and the
// profile mistakes that stop the start with exit code 2 before the device starts.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using platform::automation::AutomationClient;
namespace fsys = std::filesystem;

const std::string kTestProfile = LULLWATCH_TEST_PROFILE;

// A folder of the test's own to stand for $XDG_CONFIG_HOME.
struct ConfigHome {
    ConfigHome() : path(fsys::path(::testing::TempDir()) / ("lw-config-" + std::to_string(getpid()))) {
        fsys::create_directories(path / "lullwatch/profiles");
    }
    ~ConfigHome() { fsys::remove_all(path); }
    fsys::path path;
};

std::unique_ptr<AutomationClient> Start(const std::string& profile, std::vector<std::string> settings,
                                        const ConfigHome& config) {
    AutomationClient::Options options{LULLWATCH_MONITOR_BINARY, profile};
    options.settings = std::move(settings);
    options.environment = {"XDG_CONFIG_HOME=" + config.path.string()};
    std::string error;
    auto client = AutomationClient::Start(options, &error);
    EXPECT_TRUE(client) << error;
    return client;
}

TEST(MonitorCommandLine, ANameIsTheUsersProfileFirstAndNoNameIsTheSourceTreesDemo) {
    const ConfigHome config;
    const fsys::path own = config.path / "lullwatch/profiles/nursery.ini";
    fsys::copy_file(kTestProfile, own);
    const struct {
        std::string profile;
        std::vector<std::string> settings;
        std::string said;
    } cases[] = {
        {"nursery", {}, "lullwatch: profile " + own.string() + "\n"},
        {"",
         {"screen.frontend=headless", "automation.channel=stdio", "device.data_root=temporary"},
         "lullwatch: no --profile given: the demo profile of the source tree\n"},
    };
    for (const auto& c : cases) {
        auto client = Start(c.profile, c.settings, config);
        ASSERT_TRUE(client);
        EXPECT_TRUE(client->WaitFor("window Lullwatch", lwe2e::kPatienceMs)) << client->Stderr();
        EXPECT_EQ(client->Quit(), 0) << client->Stderr();
        EXPECT_NE(client->Stderr().find(c.said), std::string::npos) << client->Stderr();
    }
}

TEST(MonitorCommandLine, ProfileMistakesEndTheStartWithCodeTwoAndSayWhere) {
    const ConfigHome config;
    const std::string profiles = fsys::path(kTestProfile).parent_path().string();
    const struct {
        std::string profile;
        std::vector<std::string> settings;
        std::string said;
    } cases[] = {
        {kTestProfile,
         {"sound.source=recording", "sound.recording=sounds/none.wav"},
         "lullwatch: " + kTestProfile + ", section [sound], key recording: " + profiles +
             "/sounds/none.wav does not exist\n"},
        {"nursery",
         {},
         "lullwatch: no profile named nursery; looked for\n  " + config.path.string() +
             "/lullwatch/profiles/nursery.ini\n  " + profiles + "/nursery.ini\n"},
    };
    for (const auto& c : cases) {
        auto client = Start(c.profile, c.settings, config);
        ASSERT_TRUE(client);
        EXPECT_EQ(client->WaitForExit(lwe2e::kPatienceMs), 2);
        EXPECT_EQ(client->Stderr(), c.said);
    }
}

} // namespace
