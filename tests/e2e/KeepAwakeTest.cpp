// The real program keeps the machine awake during a session through the logind stand-in on a private
// system bus: held from the session's start, given back at Stop, at quit and when the process is
// killed; without logind the session runs and the status area says the machine may sleep.
#include "MonitorDriver.h"
#include "tests/dbus/LogindMock.h"
#include "tests/dbus/PrivateSystemBus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

namespace {

using namespace lwe2e;
using namespace std::chrono_literals;

constexpr const char* kMaySleep = "sleep: May sleep";

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

class KeepAwake : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.ok()) << bus_.error();
        data_.Write("phonenumber.txt", "5551234");
    }
    // How many inhibitors the monitor holds now.
    size_t Held() {
        const auto all = dbustest::LogindInhibitors(bus_.Connection());
        return std::count_if(all.begin(), all.end(), [](const auto& i) { return i.who == "Lullwatch"; });
    }
    void PressRun(Monitor& monitor) { monitor.Do("click " + monitor.main() + " id=1000"); }

    dbustest::PrivateSystemBus bus_;
    DataRoot data_;
};

TEST_F(KeepAwake, HeldFromRunUntilStopQuitOrKill) {
    ASSERT_TRUE(bus_.StartMock("logind", "org.freedesktop.login1")) << bus_.error();
    {
        Monitor monitor(data_);
        ASSERT_TRUE(monitor.started()) << monitor.Stderr();
        EXPECT_EQ(Held(), 0u);
        PressRun(monitor);
        EXPECT_TRUE(WaitUntil([&] { return Held() == 1; })) << monitor.Stderr();
        monitor.WaitText(1000, "Stop - 28 sec");
        EXPECT_EQ(monitor.Answer("status"), "all well");

        PressRun(monitor);
        monitor.WaitText(1000, "Run");
        EXPECT_TRUE(WaitUntil([&] { return Held() == 0; }));

        PressRun(monitor);
        EXPECT_TRUE(WaitUntil([&] { return Held() == 1; }));
        EXPECT_EQ(monitor.Quit(), 0);
        EXPECT_TRUE(WaitUntil([&] { return Held() == 0; }));
    }
    Monitor monitor(data_);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    PressRun(monitor);
    EXPECT_TRUE(WaitUntil([&] { return Held() == 1; }));
    monitor.Kill();
    EXPECT_TRUE(WaitUntil([&] { return Held() == 0; }));
}

TEST_F(KeepAwake, WithoutLogindTheSessionRunsAndSaysTheMachineMaySleep) {
    Monitor monitor(data_);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    for (int session = 0; session < 2; ++session) {
        PressRun(monitor);
        monitor.Wait("device status contains " + Word(kMaySleep));
        monitor.WaitText(1000, "Stop - 25 sec");
        PressRun(monitor);
        monitor.WaitText(1000, "Run");
        monitor.Wait("device status is \"all well\"");
    }
    const std::string said = monitor.Stderr();
    size_t lines = 0;
    for (size_t at = said.find("from sleeping"); at != std::string::npos;
         at = said.find("from sleeping", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 1u) << said;
    EXPECT_NE(said.find("org.freedesktop.login1"), std::string::npos) << said;
}

} // namespace
