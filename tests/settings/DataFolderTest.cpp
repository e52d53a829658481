// The settings folder: where it lies, when it is made, and what happens when it is missing or unwritable.
#include "DataRootTest.h"

#include "platform/fs/AppDataRoot.h"
#include "platform/fs/FileApi.h"
#include "platform/fs/NativePath.h"
#include "settings/SettingsStore.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace {

using namespace std::string_literals;

class DataFolderTest : public DataRootTest {};

TEST(AppDataRootTest, DefaultsToXdgDataHomeThenHome) {
    const std::string savedXdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_DATA_HOME", "/data/home/", 1);
    setenv("HOME", "/home/user", 1);
    EXPECT_EQ(platform::fs::AppDataRoot(), L"/data/home");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(platform::fs::AppDataRoot(), L"/home/user/.local/share");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(platform::fs::AppDataRoot(), L"/home/user/.local/share");
    platform::fs::SetAppDataRoot(L"/elsewhere//");
    EXPECT_EQ(platform::fs::AppDataRoot(), L"/elsewhere");
    platform::fs::SetAppDataRoot(L"");
    savedXdg.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    savedHome.empty() ? unsetenv("HOME") : setenv("HOME", savedHome.c_str(), 1);
}

struct PathCase {
    std::wstring device;
    std::string native;
};

TEST(NativePathTest, ConvertsSeparatorsAndUtf8BothWays) {
    const PathCase cases[] = {
        {L"\\a\\b.txt", "/a/b.txt"},
        {L"/tmp/B\u00FCcher", "/tmp/B\xC3\xBC"
                              "cher"},
        {L"/\u20AC/\U0001F600", "/\xE2\x82\xAC/\xF0\x9F\x98\x80"},
        {L"/bad\xDCFF\xDC80", "/bad\xFF\x80"}, // bytes that are not UTF-8 survive
    };
    for (const auto& row : cases) {
        EXPECT_EQ(platform::fs::ToNativePath(row.device), row.native);
    }
    EXPECT_EQ(platform::fs::FromNativePath("/bad\xFF\x80/\xC3\xBC"), L"/bad\xDCFF\xDC80/\u00FC");
    EXPECT_EQ(platform::fs::FromNativePath("\xC0\xAF"), L"\xDCC0\xDCAF"); // an overlong '/' is not a '/'
    EXPECT_EQ(platform::fs::ToNativePath(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST_F(DataFolderTest, TheApplicationDataFolderIsMadeWhenMissing) {
    const std::string nested = Root() + "/a/b";
    platform::fs::SetAppDataRoot(platform::fs::FromNativePath(nested + "/"));
    WCHAR path[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_APPDATA, FALSE));
    EXPECT_EQ(std::wstring(path), platform::fs::FromNativePath(nested));
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, 0x0005, FALSE));
}

TEST_F(DataFolderTest, CreateDirectoryMakesOneLevel) {
    const std::wstring root = platform::fs::FromNativePath(Root());
    EXPECT_TRUE(CreateDirectoryW((root + L"\\one").c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryW((root + L"\\one").c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryW((root + L"\\two\\three").c_str(), nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(Root() + "/one"));
}

TEST_F(DataFolderTest, FirstStartLoadsDefaultsAndCreatesNothing) {
    MonitorSettings settings;
    LoadTuningValues(settings);
    std::wstring number;
    LoadPhoneNumber(number);
    EXPECT_EQ(settings.averagingPeriod, 1);
    EXPECT_EQ(settings.sensitivityFactor, 1);
    EXPECT_EQ(settings.noiseLength, 0);
    EXPECT_EQ(LoadAlarmStep(), 1);
    EXPECT_EQ(number, L"");
    EXPECT_FALSE(std::filesystem::exists(Folder()));
}

TEST_F(DataFolderTest, OnlyTheTuningSaveAndEnsureDataFolderMakeTheFolder) {
    SavePhoneNumber(L"0999");
    SaveAlarmStep(4);
    EXPECT_FALSE(std::filesystem::exists(Folder()));
    EnsureDataFolder();
    EnsureDataFolder();
    EXPECT_TRUE(std::filesystem::is_directory(Folder()));
    SaveNewValues();
    EXPECT_EQ(FolderEntries().size(), 5u);
}

TEST_F(DataFolderTest, AFileWhereTheFolderShouldBeStopsEverySave) {
    std::ofstream(Folder()) << "not a folder";
    SaveNewValues();
    EXPECT_EQ(std::filesystem::file_size(Folder()), 12u);
    EXPECT_EQ(LoadAlarmStep(), 1);
}

TEST_F(DataFolderTest, AnUnwritableFolderKeepsEveryOldFile) {
    WriteOldValues();
    ASSERT_EQ(chmod(Folder().c_str(), 0555), 0);
    const auto saveAndLoad = [] {
        SaveNewValues();
        return LoadsOldValues() ? 0 : 1;
    };
    EXPECT_EQ(RunInChild(saveAndLoad, true), 0);
    EXPECT_TRUE(LoadsOldValues());
}

TEST_F(DataFolderTest, AnUnwritableFileIsSkippedAndTheOthersAreWritten) {
    WriteOldValues();
    // Writable for the unprivileged child, but for one file.
    ASSERT_EQ(chmod(Folder().c_str(), 0777), 0);
    for (const auto& name : FolderEntries()) {
        ASSERT_EQ(chmod((Folder() + "/" + name).c_str(), 0666), 0);
    }
    ASSERT_EQ(chmod((Folder() + "/LullwatchSensityvity.txt").c_str(), 0444), 0);
    const auto save = [] {
        SaveNewValues();
        return 0;
    };
    EXPECT_EQ(RunInChild(save, true), 0);
    EXPECT_EQ(ReadFile("LullwatchAverage.txt"), "40");
    EXPECT_EQ(ReadFile("LullwatchSensityvity.txt"), "13");
    EXPECT_EQ(ReadFile("LullwatchDiapason.txt"), "250");
}

} // namespace
