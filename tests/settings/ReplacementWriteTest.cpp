// Writes that are cut off (a full medium, a process that ends before Close) never leave a file that loads a
// wrong value where a good one was.
#include "DataRootTest.h"

#include "platform/afx/CFile.h"
#include "platform/fs/NativePath.h"
#include "settings/SettingsStore.h"

#include <sys/stat.h>

namespace {

class ReplacementWriteTest : public DataRootTest {
protected:
    std::wstring DevicePath(const std::string& name) const {
        return platform::fs::FromNativePath(Folder() + "/" + name);
    }
};

constexpr UINT kReplace = CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive;

TEST_F(ReplacementWriteTest, AFullMediumKeepsTheOldFiles) {
    WriteOldValues();
    const std::wstring path = DevicePath("phonenumber.txt");
    // One byte fits: the alarm step is replaced, every longer file fails and stays as it was.
    const auto saveWithFullMedium = [&path] {
        SaveNewValues();
        CFile file;
        if (!file.Open(path.c_str(), kReplace)) {
            return 1;
        }
        const BOOL written = file.Write("0555123", 7);
        const BOOL failed = file.HadError();
        const BOOL committed = file.Close();
        return !written && failed && !committed ? 0 : 2;
    };
    EXPECT_EQ(RunInChild(saveWithFullMedium, false, 1), 0);
    MonitorSettings settings;
    LoadTuningValues(settings);
    std::wstring number;
    LoadPhoneNumber(number);
    EXPECT_EQ(settings.averagingPeriod, 8);
    EXPECT_EQ(settings.sensitivityFactor, 13);
    EXPECT_EQ(settings.noiseLength, 125);
    EXPECT_EQ(number, L"0123456789");
    EXPECT_EQ(LoadAlarmStep(), 5);
    EXPECT_EQ(FolderEntries().size(), 5u) << "no temporary file is left behind";
}

TEST_F(ReplacementWriteTest, AProcessEndingBeforeCloseKeepsTheOldFile) {
    WriteOldValues();
    const std::wstring path = DevicePath("LullwatchAverage.txt");
    const auto writeWithoutClose = [&path] {
        CFile file;
        file.Open(path.c_str(), kReplace);
        file.Write("40", 2);
        _exit(0);
        return 1;
    };
    EXPECT_EQ(RunInChild(writeWithoutClose, false), 0);
    EXPECT_EQ(ReadFile("LullwatchAverage.txt"), "8");

    // What that process left behind does not stand in the way of the next save.
    MonitorSettings settings;
    settings.averagingPeriod = 40;
    SaveTuningValues(settings);
    EXPECT_EQ(ReadFile("LullwatchAverage.txt"), "40");
    EXPECT_EQ(FolderEntries().size(), 5u);
}

TEST_F(ReplacementWriteTest, NewContentAppearsOnlyWhenCloseCommitsIt) {
    WriteFile("sound.txt", "\x02");
    ASSERT_EQ(chmod((Folder() + "/sound.txt").c_str(), 0600), 0);
    const std::wstring path = DevicePath("sound.txt");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), kReplace));
    EXPECT_TRUE(file.Write("\x04", 1));
    EXPECT_EQ(ReadFile("sound.txt"), "\x02");
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadFile("sound.txt"), "\x04");
    struct stat info {};
    ASSERT_EQ(stat((Folder() + "/sound.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the replacement keeps the file's permissions";

    ASSERT_TRUE(file.Open(path.c_str(), kReplace));
    file.Write("\x05", 1);
    file.Abort();
    EXPECT_EQ(ReadFile("sound.txt"), "\x04");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"sound.txt"});
}

TEST_F(ReplacementWriteTest, AFolderDoesNotOpenAsAFile) {
    std::filesystem::create_directories(Folder() + "/sound.txt");
    CFile file;
    EXPECT_FALSE(file.Open(DevicePath("sound.txt").c_str(), CFile::modeRead));
    EXPECT_FALSE(file.Open(DevicePath("sound.txt").c_str(), kReplace));
    EXPECT_EQ(LoadAlarmStep(), 1);
}

} // namespace
