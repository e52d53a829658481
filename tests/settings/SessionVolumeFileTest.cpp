// The session's volume file: what a session writes is what the next start reads back, a damaged file
// gives no volume, and what interrupted writes leave in the settings folder goes at start.
#include "DataRootTest.h"

#include "settings/SessionVolumeFile.h"

namespace {

using SessionVolumeFileTest = DataRootTest;

TEST_F(SessionVolumeFileTest, AVolumeIsKeptAsTextAndRemoved) {
    for (const DWORD volume : {0x00000000u, 0xFFFFFFFFu, 0x12AB34CDu}) {
        ASSERT_TRUE(SaveSessionVolume(volume));
        DWORD read = 7;
        EXPECT_TRUE(LoadSessionVolume(read));
        EXPECT_EQ(read, volume);
    }
    EXPECT_EQ(ReadFile("session-volume.txt"), "0x12AB34CD");
    RemoveSessionVolume();
    EXPECT_FALSE(SessionVolumeFileExists());
    RemoveSessionVolume(); // harmless when there is none
}

TEST_F(SessionVolumeFileTest, ADamagedFileGivesNoVolume) {
    for (const char* text : {"", "0x1234", "12345678AB", "0x1234567G", "0x123456789", "0x-1234567"}) {
        WriteFile("session-volume.txt", text);
        DWORD read = 7;
        EXPECT_FALSE(LoadSessionVolume(read)) << text;
        EXPECT_EQ(read, 7u) << text;
        EXPECT_TRUE(SessionVolumeFileExists());
    }
}

TEST_F(SessionVolumeFileTest, TemporariesOfInterruptedWritesGoAndNothingElse) {
    WriteOldValues();
    WriteFile(".phonenumber.txt.tmp", "555");
    WriteFile(".session-volume.txt.tmp", "0x");
    WriteFile("notes.tmp", "kept: not hidden");
    RemoveInterruptedWrites();
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"LullwatchAverage.txt", "LullwatchDiapason.txt",
                                                         "LullwatchSensityvity.txt", "notes.tmp",
                                                         "phonenumber.txt", "sound.txt"}));
    EXPECT_TRUE(LoadsOldValues());
}

} // namespace
