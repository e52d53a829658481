// "sound.txt": one raw byte, and what a hand-edited file selects.
#include "DataRootTest.h"

#include "settings/SettingsStore.h"

#include <string_view>

namespace {

using namespace std::string_view_literals;

class AlarmStepFileTest : public DataRootTest {};

TEST_F(AlarmStepFileTest, SaveWritesOneRawByteThatLoadsBack) {
    std::filesystem::create_directories(Folder());
    for (BYTE step = 1; step <= 5; ++step) {
        SaveAlarmStep(step);
        EXPECT_EQ(ReadFile("sound.txt"), std::string(1, static_cast<char>(step)));
        EXPECT_EQ(LoadAlarmStep(), step);
    }
}

struct StepCase {
    std::string_view bytes;
    BYTE expected;
};

const StepCase kSteps[] = {
    {"\x03", 3}, {"\x05", 5}, {"\x01", 1}, {"3", 1}, // the digit character is not a step
    {"\0"sv, 1}, {"\x06", 1}, {"\xFF", 1}, {"", 1},  {"\x04\x02", 4},
};

TEST_F(AlarmStepFileTest, LoadTakesTheFirstByteWhenItIsAStep) {
    for (const auto& row : kSteps) {
        WriteFile("sound.txt", row.bytes);
        EXPECT_EQ(LoadAlarmStep(), row.expected) << "byte count " << row.bytes.size();
    }
}

} // namespace
