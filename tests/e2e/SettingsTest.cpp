// The Advanced settings dialog on the running monitor: Cancel leaves everything, a noise length longer
// than the averaging period is refused, OK writes the three files and restarts capture after a pause
// during which the window stays responsive.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

namespace {

using namespace lwe2e;

const std::string kDialog = "\"Advanced settings\"";
// The pause after OK lasts 10 device seconds: 5 real seconds at this speed, time enough to use the window
// meanwhile on a slow machine.
const std::vector<std::string> kSlowClock = {"device.clock_factor=2"};

void OpenSettings(Monitor& monitor) {
    monitor.Do("menu Settings");
    monitor.Wait("window " + kDialog);
}

std::vector<int> Positions(Monitor& monitor) {
    auto controls = monitor.Controls(kDialog);
    return {controls[1021].pos.value_or(-1), controls[1020].pos.value_or(-1),
            controls[1023].pos.value_or(-1)};
}

TEST(MonitorSettings, CancelRefusalAndConfirmation) {
    DataRoot data;
    Monitor monitor(data, kSlowClock);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();

    // Cancel: the moved slider is forgotten.
    OpenSettings(monitor);
    EXPECT_EQ(Positions(monitor), (std::vector<int>{1, 1, 0}));
    monitor.Do("click " + kDialog + " id=1023");
    monitor.Do("key end");
    EXPECT_EQ(Positions(monitor)[2], 250);
    monitor.Do("click " + kDialog + " id=2");
    monitor.Wait("nowindow " + kDialog);
    EXPECT_FALSE(std::filesystem::exists(data.SettingsFolder()));
    EXPECT_EQ(monitor.Answer("sound state").rfind("open", 0), 0u);
    OpenSettings(monitor);
    EXPECT_EQ(Positions(monitor), (std::vector<int>{1, 1, 0}));

    // 250 ms of noise against 1/8 s of averaging: refused, and the dialog stays as it was.
    monitor.Do("click " + kDialog + " id=1023");
    monitor.Do("key end");
    monitor.Do("click " + kDialog + " id=1");
    monitor.Wait("msgbox \"Settings error\"");
    const auto box = monitor.Do("msgbox");
    ASSERT_GE(box.lines.size(), 2u);
    EXPECT_EQ(box.lines[1], "text \"Noise must be less than period of sound averaging\"");
    monitor.Do("msgbox press ok");
    monitor.Wait("nomsgbox");
    monitor.Wait("window " + kDialog);
    EXPECT_EQ(Positions(monitor), (std::vector<int>{1, 1, 250}));
    EXPECT_FALSE(std::filesystem::exists(data.SettingsFolder()));

    // 1/4 s of averaging takes 250 ms of noise: accepted, saved, and capture restarts after the pause.
    monitor.Do("click " + kDialog + " id=1021");
    monitor.Do("key home");
    monitor.Do("key right");
    EXPECT_EQ(Positions(monitor), (std::vector<int>{2, 1, 250}));
    monitor.Do("click " + kDialog + " id=1");
    monitor.Wait("nowindow " + kDialog);
    EXPECT_EQ(data.Read("LullwatchAverage.txt"), "2");
    EXPECT_EQ(data.Read("LullwatchSensityvity.txt"), "1");
    EXPECT_EQ(data.Read("LullwatchDiapason.txt"), "250");
    monitor.Wait("device \"sound state\" is closed");

    // The window answers during the pause, and no capture runs meanwhile.
    monitor.Do("menu About");
    monitor.Wait("window \"About Lullwatch\"");
    EXPECT_EQ(monitor.Answer("sound state"), "closed");
    monitor.Do("click \"About Lullwatch\" id=1");
    monitor.Wait("nowindow \"About Lullwatch\"");

    // Then capture comes back with a buffer of the new period: 2 x 1000 bytes.
    monitor.Wait("device \"sound state\" contains \"of 2000 bytes\"");
}

} // namespace
