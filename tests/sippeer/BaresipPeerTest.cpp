// BaresipPeer against real callers: a second baresip peer (for audio in both directions) and sipp (for
// exact status codes). Each test starts its own peers on free ports.
#include "tests/sippeer/BaresipPeer.h"
#include "tests/sippeer/SippClientScenarios.h"
#include "tests/sippeer/SippPeer.h"
#include "tests/sippeer/SippScenarios.h"
#include "tests/sippeer/ToneCheck.h"

#include <gtest/gtest.h>

#include <functional>

namespace sippeer {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 15s;

// Starts a peer and waits until it is ready; the test fails (with baresip's log) when it is not.
void StartPeer(BaresipPeer& peer, const BaresipOptions& options) {
    ASSERT_TRUE(peer.Start(options)) << peer.Error();
    ASSERT_TRUE(peer.WaitReady(Within(kPatience))) << peer.Error();
}

// Runs a sipp caller with `scenario` against `peer` over `transport` and returns its exit code.
int RunCaller(const BaresipPeer& peer, const std::string& scenario, SipTransport transport,
              const std::function<void()>& during = {}) {
    SippPeer caller;
    if (!caller.StartClient(scenario, "127.0.0.1:" + std::to_string(peer.SipPort()), transport)) {
        ADD_FAILURE() << caller.Error();
        return -1;
    }
    if (during) {
        during();
    }
    const auto code = caller.Wait(Within(kPatience));
    EXPECT_TRUE(code.has_value()) << caller.Describe();
    if (code != SippPeer::kPassed) {
        ADD_FAILURE() << caller.Describe() << "\n" << peer.Describe();
    }
    return code.value_or(-1);
}

TEST(BaresipPeerTest, AnsweredCallCarriesEachSidesToneAndIsRecorded) {
    BaresipPeer callee, caller;
    StartPeer(callee, {.toneHz = 1000, .toneSeconds = 1.5});
    StartPeer(caller, {.toneHz = 440, .toneSeconds = 10});
    ASSERT_TRUE(caller.Dial(callee.AutoUri()));

    const auto established = callee.WaitForEvent("CALL_ESTABLISHED", Within(kPatience));
    ASSERT_TRUE(established) << callee.Describe();
    EXPECT_EQ(established->direction, "incoming");
    EXPECT_EQ(established->account, callee.AutoUri());
    // The callee's tone runs out after 1.5 s and it hangs up; the caller sees the BYE.
    const auto closed = callee.WaitForEvent("CALL_CLOSED", Within(kPatience));
    ASSERT_TRUE(closed) << callee.Describe();
    EXPECT_EQ(closed->param, "end of file");
    EXPECT_TRUE(caller.WaitForEvent("CALL_CLOSED", Within(kPatience))) << caller.Describe();

    const auto heard = callee.Recordings();
    ASSERT_EQ(heard.size(), 1u) << callee.Describe();
    EXPECT_TRUE(HasTone(heard[0], 440, 1.0)) << AnalyzeTone(heard[0], 440).Describe();
    EXPECT_FALSE(HasTone(heard[0], 1000, 0.2)) << AnalyzeTone(heard[0], 1000).Describe();
    const auto callerHeard = caller.Recordings();
    ASSERT_EQ(callerHeard.size(), 1u) << caller.Describe();
    EXPECT_TRUE(HasTone(callerHeard[0], 1000, 1.0)) << AnalyzeTone(callerHeard[0], 1000).Describe();
    const auto sent = callee.SentRecordings();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(HasTone(sent[0], 1000, 1.0)) << AnalyzeTone(sent[0], 1000).Describe();
    EXPECT_EQ(callee.ActiveCalls(), 0);
}

TEST(BaresipPeerTest, ManualAccountRingsUntilHangupRejectsWithBusy) {
    BaresipPeer callee;
    StartPeer(callee, {});
    RunCaller(callee, uac::Call("manual", 486), SipTransport::Udp, [&] {
        const auto incoming = callee.WaitForEvent("CALL_INCOMING", Within(kPatience));
        ASSERT_TRUE(incoming) << callee.Describe();
        EXPECT_EQ(incoming->account, callee.ManualUri());
        EXPECT_EQ(callee.ActiveCalls(), 1);
        EXPECT_TRUE(callee.Hangup());
    });
    EXPECT_TRUE(callee.WaitForEvent("CALL_CLOSED", Within(kPatience)));
}

TEST(BaresipPeerTest, ManualAccountAnswersOnAccept) {
    BaresipPeer callee;
    StartPeer(callee, {});
    RunCaller(callee, uac::Call("manual", 200, 200), SipTransport::Udp, [&] {
        ASSERT_TRUE(callee.WaitForEvent("CALL_INCOMING", Within(kPatience))) << callee.Describe();
        EXPECT_TRUE(callee.Accept());
    });
    EXPECT_TRUE(callee.WaitForEvent("CALL_ESTABLISHED", Within(kPatience))) << callee.Describe();
    EXPECT_TRUE(callee.WaitForEvent("CALL_CLOSED", Within(kPatience))) << callee.Describe();
}

TEST(BaresipPeerTest, AnswersOverTcpAndRejectsUnknownUsers) {
    BaresipPeer callee;
    StartPeer(callee, {});
    EXPECT_EQ(RunCaller(callee, uac::Call("callee", 200, 100), SipTransport::Tcp), SippPeer::kPassed);
    EXPECT_EQ(RunCaller(callee, uac::Call("nobody", 404), SipTransport::Udp), SippPeer::kPassed);
}

TEST(BaresipPeerTest, HangupEndsAnEstablishedCall) {
    BaresipPeer callee, caller;
    StartPeer(callee, {});
    StartPeer(caller, {});
    ASSERT_TRUE(caller.Dial(callee.AutoUri() + ";transport=tcp"));
    ASSERT_TRUE(callee.WaitForEvent("CALL_ESTABLISHED", Within(kPatience))) << callee.Describe();
    EXPECT_EQ(callee.ActiveCalls(), 1);
    EXPECT_TRUE(callee.Hangup());
    const auto closed = caller.WaitForEvent("CALL_CLOSED", Within(kPatience));
    ASSERT_TRUE(closed) << caller.Describe();
    EXPECT_EQ(closed->param, "Connection reset by peer");
    const auto own = callee.WaitForEvent("CALL_CLOSED", Within(kPatience));
    ASSERT_TRUE(own) << callee.Describe();
    EXPECT_EQ(own->param, "Connection reset by user");
}

TEST(BaresipPeerTest, StopEndsTheCallWithByeAndKillVanishes) {
    BaresipPeer callee, caller;
    StartPeer(callee, {});
    StartPeer(caller, {});
    ASSERT_TRUE(caller.Dial(callee.AutoUri()));
    ASSERT_TRUE(caller.WaitForEvent("CALL_ESTABLISHED", Within(kPatience))) << caller.Describe();
    EXPECT_TRUE(callee.Stop(Within(kPatience)).has_value());
    EXPECT_FALSE(callee.Running());
    EXPECT_TRUE(caller.WaitForEvent("CALL_CLOSED", Within(kPatience))) << caller.Describe();

    caller.Kill();
    EXPECT_FALSE(caller.Running());
    EXPECT_FALSE(caller.Dial(callee.AutoUri()));
}

TEST(BaresipPeerTest, CallerSeesTheFarEndsStatus) {
    SippPeer busy;
    ASSERT_TRUE(busy.Start(uas::Respond(486, "Busy Here", 300)));
    ASSERT_TRUE(busy.WaitReady(Within(kPatience))) << busy.Error();
    BaresipPeer caller;
    StartPeer(caller, {});
    ASSERT_TRUE(caller.Dial(busy.Uri("someone")));
    EXPECT_TRUE(caller.WaitForEvent("CALL_RINGING", Within(kPatience))) << caller.Describe();
    const auto closed = caller.WaitForEvent("CALL_CLOSED", Within(kPatience));
    ASSERT_TRUE(closed) << caller.Describe();
    EXPECT_EQ(closed->param, "486 Busy Here");
    EXPECT_EQ(busy.Wait(Within(kPatience)), SippPeer::kPassed) << busy.Describe();
    EXPECT_EQ(busy.ReceivedRequests("INVITE").size(), 1u);
}

TEST(BaresipPeerTest, FarEndHangsUpAfterAnswering) {
    for (const auto transport : {SipTransport::Udp, SipTransport::Tcp}) {
        SippPeer far;
        ASSERT_TRUE(far.Start(uas::Answer(200), transport));
        ASSERT_TRUE(far.WaitReady(Within(kPatience))) << far.Error();
        BaresipPeer caller;
        StartPeer(caller, {});
        ASSERT_TRUE(caller.Dial(far.Uri("someone")));
        EXPECT_TRUE(caller.WaitForEvent("CALL_ESTABLISHED", Within(kPatience))) << caller.Describe();
        const auto closed = caller.WaitForEvent("CALL_CLOSED", Within(kPatience));
        ASSERT_TRUE(closed) << caller.Describe();
        EXPECT_EQ(closed->param, "Connection reset by peer");
        EXPECT_EQ(far.Wait(Within(kPatience)), SippPeer::kPassed) << far.Describe();
    }
}

} // namespace
} // namespace sippeer
