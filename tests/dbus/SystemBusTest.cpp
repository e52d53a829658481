// The shared system-bus connection: its thread runs every user's work, replies and signals; work keeps
// its order; no bus and a lost bus are reported, and the next work connects afresh.
#include "platform/dbus/SystemBus.h"
#include "platform/dbus/BusError.h"
#include "tests/dbus/PrivateSystemBus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::dbus::SystemBus;

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds within = 10s) {
    const auto deadline = sippeer::Within(within);
    while (!condition()) {
        if (sippeer::MillisecondsLeft(deadline) == 0) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class SystemBusTest : public ::testing::Test {
protected:
    void TearDown() override { SystemBus::Shutdown(); }
};

TEST_F(SystemBusTest, RepliesAndSignalsArriveOnTheBusThread) {
    dbustest::PrivateSystemBus bus;
    ASSERT_TRUE(bus.ok()) << bus.error();

    struct Seen {
        std::thread::id busThread;
        std::atomic<std::thread::id> replyThread;
        std::atomic<std::thread::id> signalThread;
        sd_bus_slot* call = nullptr;
        sd_bus_slot* match = nullptr;
    } seen;
    SystemBus::Get().Run([&seen](sd_bus* b) {
        ASSERT_NE(b, nullptr);
        seen.busThread = std::this_thread::get_id();
        auto onReply = [](sd_bus_message* m, void* data, sd_bus_error*) {
            EXPECT_EQ(platform::dbus::ReplyError(m), "");
            static_cast<Seen*>(data)->replyThread.store(std::this_thread::get_id());
            return 0;
        };
        auto onSignal = [](sd_bus_message*, void* data, sd_bus_error*) {
            static_cast<Seen*>(data)->signalThread.store(std::this_thread::get_id());
            return 0;
        };
        ASSERT_GE(sd_bus_call_method_async(b, &seen.call, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                           "org.freedesktop.DBus", "GetId", onReply, &seen, ""),
                  0);
        ASSERT_GE(sd_bus_add_match(b, &seen.match,
                                   "type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged',"
                                   "arg0='org.lullwatch.Probe'",
                                   onSignal, &seen),
                  0);
    });
    ASSERT_GE(sd_bus_request_name(bus.Connection(), "org.lullwatch.Probe", 0), 0);

    EXPECT_TRUE(WaitUntil([&] { return seen.replyThread.load() != std::thread::id(); }));
    EXPECT_TRUE(WaitUntil([&] { return seen.signalThread.load() != std::thread::id(); }));
    EXPECT_EQ(seen.replyThread.load(), seen.busThread);
    EXPECT_EQ(seen.signalThread.load(), seen.busThread);
    EXPECT_EQ(SystemBus::Get().ConnectError(), "");
    SystemBus::Get().Run([&seen](sd_bus*) {
        sd_bus_slot_unref(seen.call);
        sd_bus_slot_unref(seen.match);
    });
}

TEST_F(SystemBusTest, WorkFromManyThreadsKeepsEachThreadsOrder) {
    constexpr int kThreads = 4;
    constexpr int kEach = 200;
    std::vector<int> last(kThreads, -1); // touched on the bus thread only
    std::atomic<int> outOfOrder{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                SystemBus::Get().Post([&, t, i](sd_bus*) {
                    if (last[t] != i - 1) {
                        outOfOrder.fetch_add(1);
                    }
                    last[t] = i;
                });
            }
        });
    }
    for (auto& p : posters) {
        p.join();
    }
    SystemBus::Get().Run([](sd_bus*) {});
    EXPECT_EQ(outOfOrder.load(), 0);
    EXPECT_EQ(last, std::vector<int>(kThreads, kEach - 1));
}

TEST_F(SystemBusTest, NoBusGivesNullAndAReasonThenConnectsWhenThereIsOne) {
    sippeer::TempFolder empty("lullwatch-nobus-");
    const std::string nowhere = "unix:path=" + (empty.path() / "none").string();
    setenv("DBUS_SYSTEM_BUS_ADDRESS", nowhere.c_str(), 1);
    sd_bus* seen = reinterpret_cast<sd_bus*>(1);
    SystemBus::Get().Run([&seen](sd_bus* b) { seen = b; });
    EXPECT_EQ(seen, nullptr);
    EXPECT_NE(SystemBus::Get().ConnectError().find(nowhere), std::string::npos)
        << SystemBus::Get().ConnectError();

    dbustest::PrivateSystemBus bus;
    ASSERT_TRUE(bus.ok()) << bus.error();
    SystemBus::Get().Run([&seen](sd_bus* b) { seen = b; });
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(SystemBus::Get().ConnectError(), "");
}

TEST_F(SystemBusTest, ALostBusFailsPendingCallsAndIsReported) {
    auto bus = std::make_unique<dbustest::PrivateSystemBus>();
    ASSERT_TRUE(bus->ok()) << bus->error();
    // A name whose owner never answers: the call stays pending until the bus goes.
    ASSERT_GE(sd_bus_request_name(bus->Connection(), "org.lullwatch.Silent", 0), 0);

    struct Pending {
        sd_bus_slot* slot = nullptr;
        std::atomic<bool> failed{false};
    } pending;
    SystemBus::Get().Run([&pending](sd_bus* b) {
        ASSERT_NE(b, nullptr);
        auto onReply = [](sd_bus_message* m, void* data, sd_bus_error*) {
            static_cast<Pending*>(data)->failed.store(!platform::dbus::ReplyError(m).empty());
            return 0;
        };
        ASSERT_GE(sd_bus_call_method_async(b, &pending.slot, "org.lullwatch.Silent", "/",
                                           "org.lullwatch.Silent", "Wait", onReply, &pending, ""),
                  0);
    });
    bus.reset();

    EXPECT_TRUE(WaitUntil([&] { return pending.failed.load(); }));
    EXPECT_TRUE(WaitUntil([] { return !SystemBus::Get().ConnectError().empty(); }));
    sd_bus* seen = reinterpret_cast<sd_bus*>(1);
    SystemBus::Get().Run([&](sd_bus* b) {
        seen = b;
        sd_bus_slot_unref(pending.slot);
    });
    EXPECT_EQ(seen, nullptr);
}

TEST_F(SystemBusTest, StandInsComeUpOnThePrivateBus) {
    dbustest::PrivateSystemBus bus;
    ASSERT_TRUE(bus.ok()) << bus.error();
    ASSERT_TRUE(bus.StartMock("logind", "org.freedesktop.login1")) << bus.error();
    EXPECT_TRUE(bus.HasOwner("org.freedesktop.login1"));
    EXPECT_TRUE(bus.StopMock("org.freedesktop.login1"));
    EXPECT_FALSE(bus.HasOwner("org.freedesktop.login1"));
}

} // namespace
