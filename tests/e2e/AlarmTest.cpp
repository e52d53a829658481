// The alarm from end to end: a session counts down and arms, a loud room places the call to the stored
// number with its progress window, the far end hangs up, listening resumes and the next loud moment calls
// again; and the same with the display switched off.
#include "MonitorDriver.h"

#include <gtest/gtest.h>

namespace {

using namespace lwe2e;

// Twice the test profile's speed: the 31-second countdown takes about 1.5 s.
const std::vector<std::string> kFastClock = {"device.clock_factor=20"};

TEST(MonitorAlarm, LoudRoomCallsOnlyOnceArmedAndAgainAfterTheCall) {
    DataRoot data;
    data.Write("phonenumber.txt", std::string("5551234\0", 8));
    data.Write("sound.txt", "\x03");
    Monitor monitor(data, kFastClock);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    const std::string main = monitor.main();
    EXPECT_EQ(monitor.Control(1006).checked, true);

    monitor.Do("click " + main + " id=1000");
    monitor.WaitText(1000, "Stop - 28 sec");

    // Loud during the countdown: the meter moves, nothing is called.
    monitor.Do("sound tone 440 60");
    monitor.Wait("pos " + main + " 1002 is 5");
    monitor.WaitText(1000, "Stop - 20 sec");
    EXPECT_EQ(monitor.Answer("line calls"), "no calls");

    // The 31st tick arms the alarm, and the next loud buffer calls the stored number.
    monitor.WaitText(1000, "Stop - 0 sec");
    const auto call = monitor.WaitForLineCall("lineMakeCall", 1);
    ASSERT_TRUE(call.has_value());
    EXPECT_NE(call->second.find("dest=\"5551234\""), std::string::npos) << call->second;
    EXPECT_EQ(monitor.Control(1000).text, "Stop");

    // The call window shows the number and the call's progress until the far end hangs up.
    monitor.Wait("text foreground 1009 is 5551234");
    monitor.Wait("text foreground 1001 is \"Ring back\"");
    monitor.Wait("text foreground 1001 is Connected");
    ASSERT_TRUE(monitor.WaitForLineCall("lineClose", call->first).has_value());
    monitor.Wait("text foreground 1000 is Stop");

    // Capture resumes after the pause; the room is still loud and the session still armed: a second call.
    monitor.Wait("device \"sound state\" contains open");
    const auto second = monitor.WaitForLineCall("lineMakeCall", call->first + 1);
    ASSERT_TRUE(second.has_value());
    EXPECT_NE(second->second.find("dest=\"5551234\""), std::string::npos) << second->second;
    monitor.Wait("text foreground 1001 is Connected");

    // Ending the program in the middle of a call hangs up and ends cleanly.
    EXPECT_EQ(monitor.Quit(), 0);
}

TEST(MonitorAlarm, DisplayOffWhileArmedStillCalls) {
    DataRoot data;
    data.Write("phonenumber.txt", "5551234");
    Monitor monitor(data, kFastClock);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    const std::string main = monitor.main();
    monitor.Do("click " + main + " id=1000");
    monitor.WaitText(1000, "Stop - 0 sec");
    monitor.WaitText(1000, "Stop");

    monitor.Do("menu Display Off");                       // the rest of the line is the item
    monitor.Wait("device \"sound state\" contains open"); // capture goes on
    ASSERT_TRUE(monitor.Wait("idle"));
    EXPECT_EQ(monitor.Answer("display"), "off");

    monitor.Do("sound tone 440 60");
    const auto call = monitor.WaitForLineCall("lineMakeCall", 1);
    ASSERT_TRUE(call.has_value());
    EXPECT_NE(call->second.find("dest=\"5551234\""), std::string::npos);
    monitor.Wait("text foreground 1001 is Connected");
    EXPECT_EQ(monitor.Answer("display"), "off");
}

} // namespace
