// Starting and stopping a monitoring session: the empty-number refusal, and Stop during the countdown.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

namespace {

using namespace lwe2e;

// The test profile's memory volume before anything changes it.
constexpr const char* kStartVolume = "0xFFFFFFFF";

TEST(MonitorSession, RunWithAnEmptyNumberShowsTheBoxOnceAndChangesNothing) {
    DataRoot data;
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.Wait("msgbox \"Phone number\"");
    const auto box = monitor.Do("msgbox");
    ASSERT_GE(box.lines.size(), 2u);
    EXPECT_EQ(box.lines[0], "caption \"Phone number\"");
    EXPECT_EQ(box.lines[1], "text \"Enter phone number\"");
    monitor.Do("msgbox press ok");
    monitor.Wait("nomsgbox");
    // Five more device seconds: the countdown is over, so no second box comes.
    EXPECT_FALSE(monitor.Wait("msgbox", 500, /*expectTimeout=*/true));

    auto controls = monitor.Controls(monitor.main());
    EXPECT_EQ(controls[1000].text, "Run");
    EXPECT_TRUE(controls[1003].enabled);
    EXPECT_TRUE(controls[1008].enabled);
    EXPECT_EQ(monitor.Answer("sound volume"), kStartVolume);
    EXPECT_FALSE(std::filesystem::exists(data.SettingsFolder()));
}

TEST(MonitorSession, StopDuringTheCountdownUnlocksRestoresAndDisarms) {
    DataRoot data;
    data.Write("phonenumber.txt", "5551234");
    Monitor monitor(data);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Stop - 10 sec");
    EXPECT_EQ(monitor.Answer("sound volume"), "0x00000000");
    EXPECT_FALSE(monitor.Control(1003).enabled);
    EXPECT_FALSE(monitor.Control(1004).enabled);

    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Run");
    auto controls = monitor.Controls(monitor.main());
    EXPECT_TRUE(controls[1003].enabled);
    for (int id = 1004; id <= 1008; ++id) {
        EXPECT_TRUE(controls[id].enabled) << id;
    }
    EXPECT_EQ(monitor.Answer("sound volume"), kStartVolume);

    // The loud room moves the meter, and well past the time the countdown would have needed, no call.
    monitor.Do("sound tone 440 60");
    monitor.Wait("pos " + monitor.main() + " 1002 is 5");
    EXPECT_FALSE(monitor.Wait("device \"line calls\" contains placed", 1500, /*expectTimeout=*/true));
    EXPECT_EQ(monitor.Control(1000).text, "Run");
}

} // namespace
