// Which file a profile name stands for, and which profile the device takes when none is named.
#include "platform/host/ProfileSearch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace platform::host;
namespace fsys = std::filesystem;

class ProfileSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fsys::path(::testing::TempDir()) / ("profile-search-" + std::to_string(getpid()));
        fsys::remove_all(root);
        places.configHome = (root / "config").string();
        places.sourceTree = (root / "src").string();
        places.installedData = (root / "usr/share/lullwatch").string();
        places.soundDevices = (root / "snd").string();
        fsys::create_directories(root / "snd");
    }
    void TearDown() override { fsys::remove_all(root); }
    void Touch(const fsys::path& file) {
        fsys::create_directories(file.parent_path());
        std::ofstream(file) << "[device]\n";
    }
    std::string Find(const std::string& name) {
        std::string file, error;
        return FindProfile(name, places, &file, &error) ? file : "error: " + error;
    }
    fsys::path root;
    ProfilePlaces places;
};

TEST_F(ProfileSearchTest, NamesAreLookedUpUserFirstThenSourceTreeThenInstalled) {
    Touch(root / "usr/share/lullwatch/profiles/demo.ini");
    Touch(root / "usr/share/lullwatch/profiles/desktop.ini");
    Touch(root / "usr/share/lullwatch/profiles/sip.ini");
    Touch(root / "src/profiles/desktop.ini");
    Touch(root / "src/profiles/sip.ini");
    Touch(root / "config/lullwatch/profiles/sip.ini");
    const struct {
        std::string name, expected;
    } cases[] = {
        {"sip", (root / "config/lullwatch/profiles/sip.ini").string()},
        {"desktop", (root / "src/profiles/desktop.ini").string()},
        {"demo", (root / "usr/share/lullwatch/profiles/demo.ini").string()},
        {"dir/own.ini", "dir/own.ini"}, // a path is taken as it is, found or not
        {"/abs/own", "/abs/own"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Find(c.name), c.expected) << c.name;
    }
    places.sourceTree.clear(); // installed: the source tree is not searched
    EXPECT_EQ(Find("desktop"), (root / "usr/share/lullwatch/profiles/desktop.ini").string());
}

TEST_F(ProfileSearchTest, AMissingNameListsEveryFolderLookedIn) {
    EXPECT_EQ(Find("nursery"), "error: no profile named nursery; looked for\n  " + places.configHome +
                                   "/lullwatch/profiles/nursery.ini\n  " + places.sourceTree +
                                   "/profiles/nursery.ini\n  " + places.installedData +
                                   "/profiles/nursery.ini");
}

TEST_F(ProfileSearchTest, DefaultIsDesktopOnlyWhenInstalledWithACaptureDevice) {
    std::string reason;
    EXPECT_EQ(DefaultProfileName(places, &reason), "demo");
    EXPECT_EQ(reason, "no --profile given: the demo profile of the source tree");
    places.sourceTree.clear();
    EXPECT_EQ(DefaultProfileName(places, &reason), "demo");
    EXPECT_EQ(reason, "no --profile given: the demo profile, since no sound capture device is present");
    Touch(root / "snd/pcmC0D0p"); // playback only
    Touch(root / "snd/controlC0");
    EXPECT_EQ(DefaultProfileName(places, &reason), "demo");
    Touch(root / "snd/pcmC0D0c");
    EXPECT_EQ(DefaultProfileName(places, &reason), "desktop");
    EXPECT_EQ(reason, "no --profile given: the desktop profile, since a sound capture device is present");
}

TEST_F(ProfileSearchTest, TheSourceTreeIsFoundThroughTheBuildFoldersCache) {
    Touch(root / "src/profiles/demo.ini");
    fsys::create_directories(root / "build/app");
    std::ofstream(root / "build/CMakeCache.txt")
        << "X:STRING=1\nCMAKE_HOME_DIRECTORY:INTERNAL=" << (root / "src").string() << "\n";
    EXPECT_EQ(SourceTreeOf((root / "build/app").string()), (root / "src").string());
    EXPECT_EQ(SourceTreeOf((root / "usr/bin").string()), "");
}

} // namespace
