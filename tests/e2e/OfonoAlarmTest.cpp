// The alarm over oFono: the real program on the oFono test profile, with dbusmock's ofono template on a
// private system bus as the phone's modem. A loud room while armed dials the stored number; the call
// window follows the states the test gives the call; the far end hangs up, listening resumes, the next
// loud sound dials again, and quitting mid-call hangs up.
#include "MonitorDriver.h"

#include "tests/dbus/OfonoStandIn.h"
#include "tests/dbus/PrivateSystemBus.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

using namespace lwe2e;
using namespace std::chrono_literals;

constexpr const char* kNumber = "5550100";

bool WaitUntil(const std::function<bool()>& condition) {
    const auto deadline = sippeer::Within(std::chrono::milliseconds(kPatienceMs));
    while (!condition()) {
        if (sippeer::MillisecondsLeft(deadline) == 0) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// The modem's call to the stored number, once there is one ("" when none came).
std::string WaitForDialled(sd_bus* bus) {
    std::string path;
    WaitUntil([&] {
        for (const auto& call : dbustest::OfonoCalls(bus)) {
            if (call.number == kNumber) {
                path = call.path;
            }
        }
        return !path.empty();
    });
    return path;
}

TEST(MonitorOfonoAlarm, LoudRoomDialsTheNumberThenListeningResumesAndQuitHangsUp) {
    dbustest::PrivateSystemBus bus;
    ASSERT_TRUE(bus.ok()) << bus.error();
    ASSERT_TRUE(bus.StartMock("ofono", "org.ofono")) << bus.error();
    sd_bus* modem = bus.Connection();

    DataRoot data;
    data.Write("phonenumber.txt", kNumber);
    data.Write("sound.txt", "\x03");
    Monitor monitor(data, {}, LULLWATCH_OFONO_TEST_PROFILE);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    const std::string main = monitor.main();

    monitor.Do("click " + main + " id=1000");
    monitor.WaitText(1000, "Stop - 0 sec");
    monitor.Do("sound tone 440 60");

    std::string call = WaitForDialled(modem);
    ASSERT_FALSE(call.empty()) << monitor.Stderr();
    // "Dialing..." comes with Dial's answer, which may arrive before the call window is up to show it.
    monitor.Wait("text foreground 1009 is " + std::string(kNumber));
    ASSERT_TRUE(dbustest::SetOfonoCallState(modem, call, "alerting"));
    monitor.Wait("text foreground 1001 is \"Ring back\"");
    ASSERT_TRUE(dbustest::SetOfonoCallState(modem, call, "active"));
    monitor.Wait("text foreground 1001 is Connected");

    // The far end hangs up: the window goes and capture resumes, still armed.
    ASSERT_TRUE(dbustest::SetOfonoDisconnectReason(modem, call, "remote"));
    ASSERT_TRUE(dbustest::SetOfonoCallState(modem, call, "disconnected"));
    ASSERT_TRUE(dbustest::RemoveOfonoCall(modem, call));
    monitor.Wait("text foreground 1000 is Stop");
    monitor.Wait("device \"sound state\" contains open");

    // Still loud: it dials again; quitting in the middle of that call hangs it up.
    call = WaitForDialled(modem);
    ASSERT_FALSE(call.empty()) << monitor.Stderr();
    ASSERT_TRUE(dbustest::SetOfonoCallState(modem, call, "active"));
    monitor.Wait("text foreground 1001 is Connected");
    EXPECT_EQ(monitor.Quit(), 0);
    EXPECT_TRUE(WaitUntil([&] { return dbustest::OfonoCalls(modem).empty(); }));
}

} // namespace
