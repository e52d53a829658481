// Line faults against the real program, one row each: start-up errors, a line without a usable device,
// a line out of service, calls that are refused, fail or never progress. Every row runs the same course:
// the fault is on the screen (the status command names the line) before and after Run for as long as
// the line cannot call, an alarm while it lasts ends without leaving the monitor deaf, the monitor
// recovers by itself once the fault clears, a loud room then still places a call that connects, and the
// program quits cleanly. No row may end armed on a line that cannot call without saying so.
//
// The same over SIP, against the test peers on 127.0.0.1: a far end that is not there, a far end that
// dies in the middle of a call, and a registrar that goes away and comes back.
#include "MonitorDriver.h"

#include "tests/sippeer/BaresipPeer.h"
#include "tests/sippeer/LocalPorts.h"
#include "tests/sippeer/SippPeer.h"
#include "tests/sippeer/SippScenarios.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <thread>

namespace {

using namespace lwe2e;

// Waits until the status lists no line indicator. (Other indicators may stay: during a session on a
// machine without logind, the sleep indicator.)
bool LineIndicatorGone(Monitor& m) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    while (m.Do("status").Text().find("line: ") != std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The test profile's clock four times faster again: the countdown takes under a second, a 90-second
// call timeout a little over two.
const std::string kFastClock = "device.clock_factor=40";

void PressBox(Monitor& m, const std::string& caption, const std::string& button = "ok") {
    ASSERT_TRUE(m.Wait("msgbox " + Word(caption)));
    m.Do("msgbox press " + button);
}

// The boxes of a telephony start-up that failed: what the line set-up showed, answered with the button
// given, then "Phone initialization error".
std::function<void(Monitor&)> StartupBoxes(std::vector<std::pair<std::string, std::string>> before) {
    return [before](Monitor& m) {
        for (const auto& [caption, button] : before) {
            PressBox(m, caption, button);
        }
        PressBox(m, "Initialization error");
        m.Wait("nomsgbox");
    };
}

// An alarm on a line that cannot be opened: the notice comes, no call is asked for.
void NoticeThatTheLineCannotOpen(Monitor& m) {
    PressBox(m, "Error");
    EXPECT_EQ(m.Answer("line calls"), "no calls");
}

// An alarm whose call ends by itself: the simulated exchange's record of it says how.
std::function<void(Monitor&)> CallEnds(const std::string& record) {
    return [record](Monitor& m) { EXPECT_TRUE(m.Wait("device \"line calls\" contains " + Word(record))); };
}

// ... by a disconnection with the mode given (LINEDISCONNECTMODE_<mode>).
std::function<void(Monitor&)> EndsDisconnected(const std::string& mode) {
    return CallEnds("ending=LINECALLSTATE_DISCONNECTED/LINEDISCONNECTMODE_" + mode);
}

struct LineFault {
    const char* name;
    std::vector<std::string> settings;   // profile keys of the simulated line
    std::function<void(Monitor&)> start; // answers what start-up shows
    std::function<void(Monitor&)> fault; // brings the fault on after start-up (or nothing)
    const char* indicator;               // what `status` says while the line cannot call ("" never)
    std::function<void(Monitor&)> alarm; // what an alarm comes to while the fault lasts
    std::function<void(Monitor&)> clear; // ends the fault (nothing: it clears by itself or never)
    bool recovers;                       // a later alarm places a call that connects
};

void PrintTo(const LineFault& row, std::ostream* out) {
    *out << row.name;
}

class FaultLineTest : public ::testing::TestWithParam<LineFault> {};

TEST_P(FaultLineTest, VisibleRecoversCallsAndQuits) {
    const LineFault& row = GetParam();
    DataRoot data;
    data.Write("phonenumber.txt", "5551234");
    data.Write("sound.txt", "\x03");
    std::vector<std::string> settings = row.settings;
    settings.push_back(kFastClock);
    Monitor m(data, settings, LULLWATCH_TEST_PROFILE, /*waitForMainWindow=*/!row.start);
    if (row.start) {
        row.start(m);
        m.FindMainWindow();
    }
    ASSERT_TRUE(m.started()) << m.Stderr();
    const std::string main = m.main();
    if (row.fault) {
        row.fault(m);
    }
    const std::string lineDown =
        std::string("device status contains ") + Word(std::string("line: ") + row.indicator);
    if (*row.indicator != '\0') {
        EXPECT_TRUE(m.Wait(lineDown)) << m.Answer("status");
    }

    // Armed: the screen still says that the line cannot call.
    m.Do("click " + main + " id=1000");
    m.WaitText(1000, "Stop - 0 sec");
    m.WaitText(1000, "Stop");
    if (*row.indicator != '\0') {
        EXPECT_TRUE(m.Wait(lineDown, 0)) << m.Answer("status");
    }

    // An alarm while the fault lasts ends, and the monitor listens again.
    m.Do("sound tone 440 60");
    ASSERT_TRUE(m.WaitForLineCall("lineOpen", 1).has_value());
    m.Do("sound silence");
    row.alarm(m);
    m.Wait("nomsgbox");
    EXPECT_TRUE(m.Wait("device \"sound state\" contains open"));
    EXPECT_EQ(m.Control(1000).text, "Stop");

    if (row.recovers) {
        if (row.clear) {
            row.clear(m);
        }
        m.Do("line script answer-then-hangup 60");
        EXPECT_TRUE(LineIndicatorGone(m)) << m.Do("status").Text();
        m.Do("line clear");
        m.Do("sound tone 440 60");
        EXPECT_TRUE(m.WaitForLineCall("lineMakeCall", 1).has_value());
        EXPECT_TRUE(m.Wait("text foreground 1001 is Connected"));
    }
    EXPECT_EQ(m.Quit(), 0);
}

// A silent far end: the call window stays up with the number until the connect timeout ends the call.
void SilentCallEndsAtTheTimeout(Monitor& m) {
    EXPECT_TRUE(m.Wait("text foreground 1009 is 5551234"));
    EXPECT_TRUE(m.Wait("device \"line calls\" contains end=deallocated"));
    EXPECT_NE(m.Stderr().find("not connected after 90 s: ended as unanswered"), std::string::npos)
        << m.Stderr();
}

// A far end that never hangs up: a connected call is not timed out (120 device seconds on it is still
// up); "Hang Up" ends it.
void ConnectedCallEndsWithHangUp(Monitor& m) {
    EXPECT_TRUE(m.Wait("text foreground 1001 is Connected"));
    EXPECT_FALSE(m.Wait("device \"line calls\" contains end=deallocated", 3000, /*expectTimeout=*/true));
    EXPECT_TRUE(m.Wait("text foreground 1001 is Connected", 0));
    m.Do("click foreground id=2");
    EXPECT_TRUE(m.Wait("device \"line calls\" contains end=dropped"));
}

std::function<void(Monitor&)> Command(const std::string& command) {
    return [command](Monitor& m) { m.Do(command); };
}

const auto kReinitUpToWarning = StartupBoxes({{"Warning", "ok"}});
const auto kNewVoiceDevice = Command("line event create");

// One row per fault, in the columns of LineFault.
// clang-format off
const LineFault kRows[] = {
    {"StartupError", {"line.init.error=nomem"}, StartupBoxes({}), nullptr,
     "No line; lineInitialize: LINEERR_NOMEM", NoticeThatTheLineCannotOpen, nullptr, false},
    {"Reinit", {"line.init.reinit=always"}, kReinitUpToWarning, nullptr,
     "No line; lineInitialize: LINEERR_REINIT", NoticeThatTheLineCannotOpen, nullptr, false},
    {"ReinitClearingAfter40s", {"line.init.reinit=40000"}, kReinitUpToWarning, nullptr,
     "No line; lineInitialize: LINEERR_REINIT", NoticeThatTheLineCannotOpen, nullptr, true},
    {"NoLineDevice", {"line.devices=0"}, StartupBoxes({{"Message", "ok"}}), nullptr,
     "No line; no line device", NoticeThatTheLineCannotOpen, kNewVoiceDevice, true},
    {"LineCannotBeOpened", {"line.device.0.media=data"}, nullptr, nullptr,
     "No line; no line device carries voice", NoticeThatTheLineCannotOpen, kNewVoiceDevice, true},
    {"ReplyFailure", {"line.call-script=fail-reply"}, nullptr, nullptr, "", CallEnds("end=failed"),
     nullptr, true},
    {"Busy", {"line.call-script=busy"}, nullptr, nullptr, "", CallEnds("ending=LINECALLSTATE_BUSY"),
     nullptr, true},
    {"Reject", {"line.call-script=reject"}, nullptr, nullptr, "", EndsDisconnected("REJECT"), nullptr,
     true},
    {"Unreachable", {"line.call-script=unreachable"}, nullptr, nullptr, "",
     EndsDisconnected("UNREACHABLE"), nullptr, true},
    {"NoAnswer", {"line.call-script=no-answer 30"}, nullptr, nullptr, "",
     EndsDisconnected("NOANSWER"), nullptr, true},
    {"SilentFarEnd", {"line.call-script=silent"}, nullptr, nullptr, "", SilentCallEndsAtTheTimeout,
     nullptr, true},
    {"FarEndNeverHangsUp", {"line.call-script=0:reply 300:ringback 600:connected"}, nullptr, nullptr, "",
     ConnectedCallEndsWithHangUp, nullptr, true},
    {"OutOfServiceAndBack", {}, nullptr, Command("line event linedevstate outofservice"),
     "Line out of service; LINEDEVSTATE_OUTOFSERVICE", CallEnds("end=refused"),
     Command("line event linedevstate inservice"), true},
};

// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, FaultLineTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<LineFault>& info) {
                             return std::string(info.param.name);
                         });

// ---- Over SIP ----

using sippeer::SipTransport;
using sippeer::Within;

std::string SipPort(int port) {
    return "line.dial=sip:{number}@127.0.0.1:" + std::to_string(port);
}

// Starts a session and waits until it is armed.
void Arm(Monitor& m) {
    m.Do("click " + m.main() + " id=1000");
    m.WaitText(1000, "Stop - 0 sec");
    m.WaitText(1000, "Stop");
}

// A loud moment calls; once the call is asked for the room is quiet again. The call's journal number.
std::uint64_t LoudMoment(Monitor& m, std::uint64_t from) {
    m.Do("sound tone 440 60");
    const auto call = m.WaitForLineCall("lineMakeCall", from);
    m.Do("sound silence");
    return call ? call->first : from;
}

// The call ends by itself (the line is closed) and the monitor listens again.
std::uint64_t CallEndsAndListeningResumes(Monitor& m, std::uint64_t call) {
    const auto closed = m.WaitForLineCall("lineClose", call);
    EXPECT_TRUE(closed.has_value());
    EXPECT_TRUE(m.Wait("device \"sound state\" contains open"));
    return closed ? closed->first + 1 : call + 1;
}

// A far end in the far end's place, answering at once and hanging up a second later (before the monitor would
// end a call that brings no sound).
void AnsweringPeer(sippeer::SippPeer& peer, int port) {
    ASSERT_TRUE(peer.Start(sippeer::uas::Answer(1000), SipTransport::Tcp, port)) << peer.Error();
    ASSERT_TRUE(peer.WaitReady(Within(std::chrono::milliseconds(kPatienceMs)))) << peer.Describe();
}

// The far end answers the alarm call and hangs up: sipp's scenario passes only when the monitor took the
// answer (its ACK) and the far end's hang-up; then the monitor listens again.
void CallIsAnswered(Monitor& m, sippeer::SippPeer& peer, std::uint64_t call) {
    CallEndsAndListeningResumes(m, call);
    EXPECT_EQ(peer.Wait(Within(std::chrono::milliseconds(kPatienceMs))), sippeer::SippPeer::kPassed)
        << peer.Describe();
}

TEST(FaultLineSip, FarEndAbsentEndsTheCallAndAFarEndThatComesIsCalled) {
    const auto ports = sippeer::FreePorts(1);
    ASSERT_EQ(ports.size(), 1u);
    DataRoot data;
    data.Write("phonenumber.txt", "callee");
    Monitor m(data, {"device.clock_factor=20", SipPort(ports[0])}, LULLWATCH_SIP_TEST_PROFILE);
    ASSERT_TRUE(m.started()) << m.Stderr();
    Arm(m);
    std::uint64_t next = CallEndsAndListeningResumes(m, LoudMoment(m, 1));

    sippeer::SippPeer peer;
    AnsweringPeer(peer, ports[0]);
    CallIsAnswered(m, peer, LoudMoment(m, next));
    EXPECT_EQ(m.Quit(), 0);
}

TEST(FaultLineSip, FarEndKilledMidCallEndsTheCallAndTheNextFarEndIsCalled) {
    sippeer::BaresipPeer baresip;
    ASSERT_TRUE(baresip.Start()) << baresip.Error();
    ASSERT_TRUE(baresip.WaitReady(Within(std::chrono::milliseconds(kPatienceMs)))) << baresip.Describe();
    const int port = baresip.SipPort();
    DataRoot data;
    data.Write("phonenumber.txt", "callee");
    Monitor m(data, {"device.clock_factor=20", SipPort(port), "line.rtp_timeout=2"},
              LULLWATCH_SIP_TEST_PROFILE);
    ASSERT_TRUE(m.started()) << m.Stderr();
    Arm(m);
    std::uint64_t next = LoudMoment(m, 1);
    ASSERT_TRUE(m.Wait("text foreground 1001 is Connected")) << baresip.Describe();
    baresip.Kill(); // no BYE: the call ends when no more sound comes
    next = CallEndsAndListeningResumes(m, next);

    sippeer::SippPeer peer;
    AnsweringPeer(peer, port);
    CallIsAnswered(m, peer, LoudMoment(m, next));
    EXPECT_EQ(m.Quit(), 0);
}

TEST(FaultLineSip, RegistrarLostIsShownUntilItIsBackAndThenTheAlarmCalls) {
    constexpr const char* kRealm = "lullwatch";
    sippeer::SippPeer registrar;
    ASSERT_TRUE(registrar.Start(sippeer::uas::Registrar("monitor", "s3cret", kRealm), SipTransport::Tcp))
        << registrar.Error();
    ASSERT_TRUE(registrar.WaitReady(Within(std::chrono::milliseconds(kPatienceMs)))) << registrar.Describe();
    sippeer::BaresipPeer baresip;
    sippeer::BaresipOptions options;
    options.toneSeconds = 4;
    ASSERT_TRUE(baresip.Start(options)) << baresip.Error();
    ASSERT_TRUE(baresip.WaitReady(Within(std::chrono::milliseconds(kPatienceMs)))) << baresip.Describe();

    DataRoot data;
    data.Write("phonenumber.txt", "callee");
    const auto passwordFile = data.path() / "sip-password";
    std::ofstream(passwordFile) << "s3cret\n";
    ASSERT_EQ(chmod(passwordFile.c_str(), 0600), 0);
    Monitor m(data,
              {"device.clock_factor=20", SipPort(baresip.SipPort()),
               "line.registrar=sip:127.0.0.1:" + std::to_string(registrar.Port()), "line.register_interval=2",
               "line.password_file=" + passwordFile.string()},
              LULLWATCH_SIP_TEST_PROFILE);
    ASSERT_TRUE(m.started()) << m.Stderr();
    ASSERT_TRUE(m.Wait("device \"sip status\" contains registration=registered")) << registrar.Describe();
    EXPECT_EQ(m.Answer("status"), "all well");

    registrar.Kill();
    EXPECT_TRUE(m.Wait("device status contains \"line: Not registered; registrar sip:127.0.0.1:\""))
        << m.Answer("status");
    Arm(m);
    EXPECT_TRUE(m.Wait("device status contains \"line: Not registered\"", 0)) << "armed, and still shown";

    sippeer::SippPeer back;
    ASSERT_TRUE(
        back.Start(sippeer::uas::Registrar("monitor", "s3cret", kRealm), SipTransport::Tcp, registrar.Port()))
        << back.Error();
    ASSERT_TRUE(back.WaitReady(Within(std::chrono::milliseconds(kPatienceMs)))) << back.Describe();
    EXPECT_TRUE(LineIndicatorGone(m)) << back.Describe();

    const std::uint64_t call = LoudMoment(m, 1);
    EXPECT_TRUE(baresip.WaitForEvent("CALL_ESTABLISHED", Within(std::chrono::milliseconds(kPatienceMs))));
    CallEndsAndListeningResumes(m, call);
    EXPECT_EQ(m.Quit(), 0);
}

} // namespace
