// The alarm over a real SIP call: the monitor runs on a profile whose line is a SIP account on
// 127.0.0.1, the far end is baresip answering at once. A loud room while armed rings the far end, the far
// end hears the room, hangs up, and the monitor listens again and calls again.
#include "MonitorDriver.h"

#include "tests/sippeer/BaresipPeer.h"
#include "tests/sippeer/ToneCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using namespace lwe2e;
using sippeer::Within;

constexpr double kRoomHz = 440;

TEST(MonitorSipAlarm, LoudRoomRingsTheFarEndWhichHearsTheRoomThenListeningResumes) {
    sippeer::BaresipPeer peer;
    sippeer::BaresipOptions options;
    options.toneSeconds = 3; // the far end hangs up once it has played this much
    ASSERT_TRUE(peer.Start(options)) << peer.Error();
    ASSERT_TRUE(peer.WaitReady(Within(std::chrono::milliseconds(kPatienceMs)))) << peer.Describe();

    DataRoot data;
    data.Write("phonenumber.txt", std::string("callee\0", 7));
    data.Write("sound.txt", "\x03");
    Monitor monitor(
        data,
        {"device.clock_factor=20", "line.dial=sip:{number}@127.0.0.1:" + std::to_string(peer.SipPort())},
        LULLWATCH_SIP_TEST_PROFILE);
    ASSERT_TRUE(monitor.started()) << monitor.Stderr();
    const std::string main = monitor.main();
    EXPECT_NE(monitor.Answer("sip status").find("calls=0"), std::string::npos);

    monitor.Do("click " + main + " id=1000");
    monitor.WaitText(1000, "Stop - 0 sec");
    monitor.Do("sound tone " + std::to_string(static_cast<int>(kRoomHz)) + " 60");

    // The far end rings and answers; the call window follows the call.
    ASSERT_TRUE(peer.WaitForEvent("CALL_ESTABLISHED", Within(std::chrono::milliseconds(kPatienceMs))))
        << peer.Describe() << monitor.Stderr();
    monitor.Wait("text foreground 1009 is callee");
    monitor.Wait("text foreground 1001 is Connected");

    // The far end hangs up after its three seconds; the window goes and capture resumes.
    ASSERT_TRUE(peer.WaitForEvent("CALL_CLOSED", Within(std::chrono::milliseconds(kPatienceMs))));
    monitor.Wait("text foreground 1000 is Stop");
    monitor.Wait("device \"sound state\" contains open");

    // What the far end heard was the room.
    const auto heard = peer.Recordings();
    ASSERT_FALSE(heard.empty()) << peer.Describe();
    EXPECT_TRUE(sippeer::HasTone(heard.front(), kRoomHz)) << sippeer::ToneRatio(heard.front(), kRoomHz);

    // Still armed, still loud: the monitor calls again.
    ASSERT_TRUE(peer.WaitForEvent("CALL_ESTABLISHED", Within(std::chrono::milliseconds(kPatienceMs))))
        << monitor.Stderr();
    EXPECT_EQ(monitor.Quit(), 0);
    // Quitting in the middle of the call hung it up.
    EXPECT_TRUE(peer.WaitForEvent("CALL_CLOSED", Within(std::chrono::milliseconds(kPatienceMs))));
}

TEST(MonitorSipAlarm, APasswordOthersMayReadStopsTheStart) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "lullwatch-sip-e2e-XXXXXX";
    std::string pattern = folder.string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path profile = std::filesystem::path(pattern) / "sip.ini";
    {
        std::ofstream out(profile);
        out << "[screen]\nfrontend = headless\n[automation]\nchannel = stdio\n"
               "[line]\nservice = sip\nuser = monitor\ndomain = 127.0.0.1\npassword = secret\n";
    }
    std::filesystem::permissions(
        profile, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                     std::filesystem::perms::group_read | std::filesystem::perms::others_read);
    platform::automation::AutomationClient::Options options{LULLWATCH_MONITOR_BINARY, profile.string()};
    std::string error;
    auto client = platform::automation::AutomationClient::Start(options, &error);
    if (client) {
        const auto code = client->WaitForExit(kPatienceMs);
        EXPECT_TRUE(code && *code != 0);
        error = client->Stderr();
    }
    EXPECT_NE(error.find("others may read it"), std::string::npos) << error;
    std::filesystem::remove_all(pattern);
}

} // namespace
