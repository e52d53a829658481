// The alarm over the phone's modem: the monitor runs on the modem test profile against our ModemManager
// stand-in on a system bus of the test's own. A loud room while armed creates and starts a call to the
// stored number, the call window follows it, the far end hangs up, listening resumes, the next loud
// sound calls again, and quitting in the middle of that call hangs it up.
#include "MonitorDriver.h"

#include "tests/dbus/PrivateSystemBus.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace lwe2e;

constexpr const char* kModemManager = "org.freedesktop.ModemManager1";
constexpr const char* kModem = "/org/freedesktop/ModemManager1/Modem/0";

void SetScript(dbustest::PrivateSystemBus& bus, const char* script) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    EXPECT_GE(sd_bus_call_method(bus.Connection(), kModemManager, "/org/freedesktop/ModemManager1",
                                 "org.lullwatch.ModemScript", "SetScript", &error, nullptr, "os", kModem,
                                 script),
              0)
        << (error.message != nullptr ? error.message : "");
    sd_bus_error_free(&error);
}

// How often the stand-in's log shows `line` (waits until it does `atLeast` times).
std::size_t Logged(dbustest::PrivateSystemBus& bus, const std::string& line, std::size_t atLeast) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    std::size_t count = 0;
    while (true) {
        const std::string logs = bus.Logs();
        count = 0;
        for (auto at = logs.find(line); at != std::string::npos; at = logs.find(line, at + 1)) {
            ++count;
        }
        if (count >= atLeast || std::chrono::steady_clock::now() > deadline) {
            return count;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TEST(MonitorModemAlarm, LoudRoomCallsThroughTheModemThenListensAndCallsAgain) {
    dbustest::PrivateSystemBus bus;
    ASSERT_TRUE(bus.ok()) << bus.error();
    ASSERT_TRUE(bus.StartMock(LULLWATCH_MODEM_TEMPLATE, kModemManager)) << bus.error();
    // Rings for a while, is answered, and the far end hangs up.
    SetScript(bus, "100:ringing-out 1500:active 3000:terminated/terminated");

    DataRoot data;
    data.Write("phonenumber.txt", std::string("+441632960123\0", 14));
    data.Write("sound.txt", "\x03");
    Monitor monitor(data, {"device.clock_factor=20"}, LULLWATCH_MODEM_TEST_PROFILE);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    const std::string main = monitor.main();

    monitor.Do("click " + main + " id=1000");
    monitor.WaitText(1000, "Stop - 0 sec");
    monitor.Do("sound tone 440 60");

    EXPECT_EQ(Logged(bus, "CreateCall {\"number\": \"+441632960123\"}", 1), 1u) << bus.Logs();
    monitor.Wait("text foreground 1009 is +441632960123");
    monitor.Wait("text foreground 1001 is \"Ring back\"");
    monitor.Wait("text foreground 1001 is Connected");
    SetScript(bus, "100:active"); // the next call stays up

    // The far end hangs up: the window goes, the call is deleted and capture resumes.
    monitor.Wait("text foreground 1000 is Stop");
    EXPECT_EQ(Logged(bus, " DeleteCall ", 1), 1u);
    monitor.Wait("device \"sound state\" contains open");

    // Still armed, still loud: the monitor calls again; quitting mid-call hangs up.
    EXPECT_EQ(Logged(bus, "CreateCall {", 2), 2u) << monitor.Stderr();
    monitor.Wait("text foreground 1001 is Connected");
    EXPECT_EQ(monitor.Quit(), 0);
    EXPECT_EQ(Logged(bus, " Hangup", 1), 1u) << bus.Logs();
    EXPECT_EQ(Logged(bus, " DeleteCall ", 2), 2u);
}

TEST(MonitorModemAlarm, AnEmergencyNumberIsNeverCalledAndTheScreenSaysWhy) {
    dbustest::PrivateSystemBus bus;
    ASSERT_TRUE(bus.ok()) << bus.error();
    ASSERT_TRUE(bus.StartMock(LULLWATCH_MODEM_TEMPLATE, kModemManager)) << bus.error();

    DataRoot data;
    data.Write("phonenumber.txt", std::string("112\0", 4));
    data.Write("sound.txt", "\x03");
    Monitor monitor(data, {"device.clock_factor=20"}, LULLWATCH_MODEM_TEST_PROFILE);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();

    monitor.Do("click " + monitor.main() + " id=1000");
    monitor.WaitText(1000, "Stop - 0 sec");
    monitor.Do("sound tone 440 60");
    monitor.Wait("device status contains \"Emergency numbers are never called automatically\"");
    EXPECT_EQ(Logged(bus, "CreateCall", 0), 0u);
    EXPECT_EQ(monitor.Quit(), 0);
}

} // namespace
