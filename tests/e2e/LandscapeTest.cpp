// Every window of the monitor in both orientations: each control can be clicked with the pointer (the
// full-screen windows scroll what lies below the work area into view) and the click does what it does
// upright; a click where nothing is answers an error.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace lwe2e;

struct Orientation {
    const char* name;
    const char* size; // what `screen` answers
};
const Orientation kOrientations[] = {{"portrait", "240x320"}, {"landscape", "320x240"}};

std::vector<std::string> Settings(const Orientation& o, std::vector<std::string> more = {}) {
    more.push_back(std::string("screen.orientation=") + o.name);
    return more;
}

// Clicks every visible, enabled control of `window` but those in `last` and `skip`, then those in `last`
// in order; each click must be answered ok.
void ClickEvery(Monitor& monitor, const std::string& window, const std::vector<int>& last,
                const std::vector<int>& skip = {}) {
    const auto listed = [](const std::vector<int>& ids, int id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    };
    for (const auto& [id, control] : monitor.Controls(window)) {
        if (control.visible && control.enabled && !listed(last, id) && !listed(skip, id)) {
            EXPECT_TRUE(monitor.Try("click " + window + " id=" + std::to_string(id)).ok)
                << window << " control " << id;
        }
    }
    for (const int id : last) {
        const auto reply = monitor.Try("click " + window + " id=" + std::to_string(id));
        EXPECT_TRUE(reply.ok) << window << " control " << id << ": " << reply.Text();
    }
}

class MonitorOrientation : public testing::TestWithParam<Orientation> {};

TEST_P(MonitorOrientation, MainWindowAboutSettingsAndMessageBox) {
    const Orientation o = GetParam();
    DataRoot data;
    Monitor monitor(data, Settings(o));
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    EXPECT_EQ(monitor.Answer("screen").rfind(o.size, 0), 0u);
    const std::string main = monitor.main();

    // Step 1 (the lowest button) and the number field take their clicks.
    ClickEvery(monitor, main, {1008, 1003});
    EXPECT_EQ(monitor.Control(1008).checked, true);
    monitor.Do("type 555");
    EXPECT_TRUE(monitor.WaitText(1003, "555"));
    monitor.Do("key backspace 3");
    EXPECT_TRUE(monitor.WaitText(1003, ""));

    // Run with no number: the message box's button is reached and answers it.
    monitor.Do("click " + main + " id=1000");
    monitor.Wait("msgbox \"Phone number\"");
    monitor.Do("msgbox press ok");
    monitor.Wait("nomsgbox");

    // About: every control, OK last.
    monitor.Do("menu About");
    monitor.Wait("window \"About Lullwatch\"");
    ClickEvery(monitor, "\"About Lullwatch\"", {1});
    monitor.Wait("nowindow \"About Lullwatch\"");

    // Advanced settings: every control, Cancel last; then a longer averaging period, saved with Ok.
    monitor.Do("menu Settings");
    monitor.Wait("window \"Advanced settings\"");
    ClickEvery(monitor, "\"Advanced settings\"", {2}, {1});
    monitor.Wait("nowindow \"Advanced settings\"");
    EXPECT_FALSE(data.Exists("LullwatchAverage.txt"));
    monitor.Do("menu Settings");
    monitor.Wait("window \"Advanced settings\"");
    monitor.Do("click \"Advanced settings\" id=1021");
    monitor.Do("key home");
    monitor.Do("key right");
    EXPECT_EQ(monitor.Controls("\"Advanced settings\"")[1021].pos, 2);
    monitor.Do("click \"Advanced settings\" id=1");
    monitor.Wait("nowindow \"Advanced settings\"");
    EXPECT_EQ(data.Read("LullwatchAverage.txt"), "2");

    // Nothing takes a click on the soft-key bar's middle or off the screen.
    const auto [width, height] = std::pair{o.size[0] == '2' ? 240 : 320, o.size[0] == '2' ? 320 : 240};
    EXPECT_FALSE(monitor.Try("click " + std::to_string(width / 2) + " " + std::to_string(height - 2)).ok);
    EXPECT_FALSE(monitor.Try("click " + std::to_string(width + 10) + " 100").ok);
    EXPECT_EQ(monitor.Quit(), 0);
}

TEST_P(MonitorOrientation, RunAndTheCallWindow) {
    const Orientation o = GetParam();
    DataRoot data;
    data.Write("phonenumber.txt", "5551234");
    data.Write("sound.txt", "\x03");
    Monitor monitor(data, Settings(o, {"device.clock_factor=20", "line.call-script=answer-then-hangup 600"}));
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    const std::string main = monitor.main();

    monitor.Do("click " + main + " id=1000");
    monitor.WaitText(1000, "Stop - 28 sec");
    monitor.WaitText(1000, "Stop - 0 sec");
    monitor.Do("sound tone 440 60");
    monitor.Wait("text foreground 1001 is Connected");

    // Every control of the call window, Hang Up last: the call ends and listening resumes.
    ClickEvery(monitor, "foreground", {2});
    monitor.Wait("text foreground 1000 is Stop");
    EXPECT_EQ(monitor.Quit(), 0);
}

INSTANTIATE_TEST_SUITE_P(Both, MonitorOrientation, testing::ValuesIn(kOrientations),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
