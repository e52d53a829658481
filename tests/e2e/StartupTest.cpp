// The monitor's start: what the main window shows with and without stored settings, the live meter, the
// soft-key menu, the About box and the phone-number field: its length, and the characters it refuses.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

namespace {

using namespace lwe2e;

constexpr int kStepIds[] = {1004, 1005, 1006, 1007, 1008}; // steps 5 (top) to 1 (bottom)

TEST(MonitorStart, FirstStartShowsStepOneAnEmptyNumberAndALiveMeter) {
    DataRoot data;
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    auto controls = monitor.Controls(monitor.main());
    for (const int id : kStepIds) {
        EXPECT_EQ(controls[id].checked, id == 1008) << "step button " << id;
        EXPECT_TRUE(controls[id].enabled);
    }
    EXPECT_EQ(controls[1003].text, "");
    EXPECT_EQ(controls[1000].text, "Run");
    EXPECT_EQ(controls[1002].pos, 0);

    // The meter follows the microphone from the start, with no session.
    monitor.Do("sound tone 440 60");
    monitor.Wait("pos " + monitor.main() + " 1002 is 5");
    monitor.Do("sound silence");
    monitor.Wait("pos " + monitor.main() + " 1002 is 0");

    const auto menu = monitor.Do("menu");
    const std::vector<std::string> expected = {"left \"OK\" id=1", "right \"Menu\" popup",
                                               "item \"About\" id=32775", "item \"Settings\" id=32779",
                                               "item \"Display Off\" id=32780"};
    EXPECT_EQ(menu.lines, expected);

    // Nothing is written until a session starts or the settings are confirmed.
    EXPECT_EQ(monitor.Quit(), 0);
    EXPECT_FALSE(std::filesystem::exists(data.SettingsFolder()));
}

struct StoredCase {
    const char* name;
    std::string stepFile;
    std::string numberFile;
    int checkedId;
    std::string shownNumber;
};

void PrintTo(const StoredCase& c, std::ostream* os) {
    *os << c.name;
}

const StoredCase kStoredCases[] = {
    {"StepThreeAndShortNumber", "\x03", std::string("5551234\0", 8), 1006, "5551234"},
    {"TopStepAndFullLengthNumber", "\x05", "012345678901234567890123456789", 1004,
     "012345678901234567890123456789"},
    {"DigitCharacterIsNoStep", "3", "+44 20 7946 0000", 1008, "+44 20 7946 0000"},
    {"StepOutOfRange", "\x06", std::string("112\0garbage", 11), 1008, "112"},
};

class StoredSettingsTest : public testing::TestWithParam<StoredCase> {};

TEST_P(StoredSettingsTest, StoredStepAndNumberAreShown) {
    const StoredCase& c = GetParam();
    DataRoot data;
    data.Write("sound.txt", c.stepFile);
    data.Write("phonenumber.txt", c.numberFile);
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    auto controls = monitor.Controls(monitor.main());
    for (const int id : kStepIds) {
        EXPECT_EQ(controls[id].checked, id == c.checkedId) << "step button " << id;
    }
    EXPECT_EQ(controls[1003].text, c.shownNumber);
}

INSTANTIATE_TEST_SUITE_P(Files, StoredSettingsTest, testing::ValuesIn(kStoredCases),
                         [](const testing::TestParamInfo<StoredCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(MonitorStart, AboutBoxOpensFromTheMenuAndCloses) {
    DataRoot data;
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    monitor.Do("menu About");
    monitor.Wait("window \"About Lullwatch\"");
    bool versionShown = false;
    for (const auto& [id, control] : monitor.Controls("\"About Lullwatch\"")) {
        versionShown = versionShown || control.text == "Lullwatch v1.3";
    }
    EXPECT_TRUE(versionShown);
    monitor.Do("click \"About Lullwatch\" id=1");
    monitor.Wait("nowindow \"About Lullwatch\"");
    EXPECT_EQ(monitor.Control(1000).text, "Run");
}

TEST(MonitorStart, PhoneNumberFieldTakesWhatTheStoreKeeps) {
    DataRoot data;
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    monitor.Do("click " + monitor.main() + " id=1003");
    monitor.Do("type 01234567890123456789012345678901234"); // 35 digits
    const std::string thirty = "012345678901234567890123456789";
    monitor.Wait("text " + monitor.main() + " 1003 is " + thirty);
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Stop - 28 sec");
    // What the field shows is what is stored (30 characters, no NUL) and what an alarm would dial.
    EXPECT_EQ(data.Read("phonenumber.txt"), thirty);
    EXPECT_EQ(data.Read("sound.txt"), "\x01");
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Run");
}

TEST(MonitorStart, PhoneNumberFieldRefusesWhatTheNumberFileCannotHold) {
    DataRoot data;
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    monitor.Do("click " + monitor.main() + " id=1003");
    monitor.Do("type 12é€ł34"); // ł is not in Windows-1252, the number file's code page
    monitor.Wait("text " + monitor.main() + " 1003 is 12é€34");
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Stop - 28 sec");
    EXPECT_EQ(data.Read("phonenumber.txt"), std::string("12\xE9\x80"
                                                        "34\0",
                                                        7));
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Run");
}

} // namespace
