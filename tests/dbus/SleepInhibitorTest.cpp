// The session's keep-awake request against the logind stand-in: what is asked for, counting, release,
// and what the user is told when logind is missing or refuses.
#include "platform/shell/SleepInhibitor.h"
#include "platform/dbus/SystemBus.h"
#include "platform/shell/PowerApi.h"
#include "platform/status/Indicators.h"
#include "tests/dbus/LogindMock.h"
#include "tests/dbus/PrivateSystemBus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using platform::dbus::SystemBus;
using platform::status::Indicator;
using testing::HasSubstr;

bool WaitUntil(const std::function<bool()>& condition) {
    const auto deadline = sippeer::Within(10s);
    while (!condition()) {
        if (sippeer::MillisecondsLeft(deadline) == 0) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Waits until everything posted to the bus thread so far has run, and the replies it waits for are in.
void Settle() {
    SystemBus::Get().Run([](sd_bus*) {});
}

class SleepInhibitorTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::shell::ReleaseAllSleepInhibitors();
        SystemBus::Shutdown();
    }
    size_t Held() { return dbustest::LogindInhibitors(bus_.Connection()).size(); }

    dbustest::PrivateSystemBus bus_;
};

TEST_F(SleepInhibitorTest, TakenOnceForCountedRequestsAndDroppedWithTheLast) {
    ASSERT_TRUE(bus_.StartMock("logind", "org.freedesktop.login1")) << bus_.error();

    PowerPolicyNotify(PPN_UNATTENDEDMODE, TRUE);
    ASSERT_TRUE(WaitUntil([&] { return Held() == 1; }));
    const auto held = dbustest::LogindInhibitors(bus_.Connection());
    EXPECT_EQ(held[0].what, "sleep:handle-lid-switch");
    EXPECT_EQ(held[0].who, "Lullwatch");
    EXPECT_EQ(held[0].mode, "block");
    EXPECT_FALSE(held[0].why.empty());

    PowerPolicyNotify(PPN_UNATTENDEDMODE, TRUE);
    PowerPolicyNotify(PPN_UNATTENDEDMODE, FALSE);
    Settle();
    EXPECT_EQ(Held(), 1u);
    PowerPolicyNotify(PPN_UNATTENDEDMODE, FALSE);
    EXPECT_TRUE(WaitUntil([&] { return Held() == 0; }));
    EXPECT_FALSE(platform::status::IsRaised(Indicator::SleepInhibitor));

    // Given back before logind has answered: nothing stays behind.
    PowerPolicyNotify(PPN_UNATTENDEDMODE, TRUE);
    PowerPolicyNotify(PPN_UNATTENDEDMODE, FALSE);
    Settle();
    EXPECT_TRUE(WaitUntil([&] { return Held() == 0; }));

    // The host's shutdown drops what a session still holds.
    PowerPolicyNotify(PPN_UNATTENDEDMODE, TRUE);
    ASSERT_TRUE(WaitUntil([&] { return Held() == 1; }));
    platform::shell::ReleaseAllSleepInhibitors();
    EXPECT_TRUE(WaitUntil([&] { return Held() == 0; }));
}

TEST_F(SleepInhibitorTest, LidSwitchRefusedFallsBackToSleepAlone) {
    ASSERT_TRUE(bus_.StartMock("logind", "org.freedesktop.login1")) << bus_.error();
    ASSERT_TRUE(dbustest::RefuseInhibit(bus_.Connection(), /*lidOnly=*/true));

    testing::internal::CaptureStderr();
    PowerPolicyNotify(PPN_UNATTENDEDMODE, TRUE);
    ASSERT_TRUE(WaitUntil([&] {
        return dbustest::MockMethodCalls(bus_.Connection(), "org.freedesktop.login1",
                                         "/org/freedesktop/login1", "Inhibit")
                   .size() == 2;
    }));
    Settle();
    const std::string said = testing::internal::GetCapturedStderr();
    const auto calls = dbustest::MockMethodCalls(bus_.Connection(), "org.freedesktop.login1",
                                                 "/org/freedesktop/login1", "Inhibit");
    EXPECT_EQ(calls[0],
              (std::vector<std::string>{"sleep:handle-lid-switch", "Lullwatch", calls[0][2], "block"}));
    EXPECT_EQ(calls[1], (std::vector<std::string>{"sleep", "Lullwatch", calls[0][2], "block"}));
    EXPECT_THAT(said, HasSubstr("lid"));
    EXPECT_FALSE(platform::status::IsRaised(Indicator::SleepInhibitor));
}

// Where the machine cannot be kept awake, each session raises the indicator until it ends, and standard
// error hears about it once.
TEST_F(SleepInhibitorTest, MissingOrRefusingLogindIsShownNotFatal) {
    struct Row {
        const char* name;
        std::function<bool(dbustest::PrivateSystemBus&)> setUp;
        const char* detail;
    };
    sippeer::TempFolder nowhere("lullwatch-nobus-");
    const Row rows[] = {
        {"no system bus",
         [&](dbustest::PrivateSystemBus&) {
             setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (nowhere.path() / "none").string()).c_str(),
                    1);
             return true;
         },
         "no system bus"},
        {"no logind", [](dbustest::PrivateSystemBus&) { return true; }, "ServiceUnknown"},
        {"refused",
         [](dbustest::PrivateSystemBus& b) {
             return b.StartMock("logind", "org.freedesktop.login1") &&
                    dbustest::RefuseInhibit(b.Connection(), false);
         },
         "AccessDenied"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        dbustest::PrivateSystemBus bus;
        ASSERT_TRUE(bus.ok()) << bus.error();
        ASSERT_TRUE(row.setUp(bus)) << bus.error();
        testing::internal::CaptureStderr();
        for (int session = 0; session < 2; ++session) {
            PowerPolicyNotify(PPN_UNATTENDEDMODE, TRUE);
            EXPECT_TRUE(WaitUntil([] { return platform::status::IsRaised(Indicator::SleepInhibitor); }));
            const auto raised = platform::status::Current();
            ASSERT_EQ(raised.size(), 1u);
            EXPECT_EQ(raised[0].text, L"May sleep");
            EXPECT_THAT(raised[0].detail, HasSubstr(row.detail));
            PowerPolicyNotify(PPN_UNATTENDEDMODE, FALSE);
            EXPECT_TRUE(WaitUntil([] { return !platform::status::IsRaised(Indicator::SleepInhibitor); }));
        }
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_THAT(said, HasSubstr(row.detail));
        platform::shell::ReleaseAllSleepInhibitors();
        SystemBus::Shutdown();
    }
}

} // namespace
