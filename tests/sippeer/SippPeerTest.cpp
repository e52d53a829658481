// The sipp far ends against sipp callers: every scenario in both outcomes its tests rely on, over UDP
// and TCP.
#include "tests/sippeer/SippPeer.h"
#include "tests/sippeer/DigestCheck.h"
#include "tests/sippeer/SippClientScenarios.h"
#include "tests/sippeer/SippScenarios.h"

#include <gtest/gtest.h>

namespace sippeer {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 15s;

struct Outcome {
    int farEnd = -1;
    int caller = -1;
};

// Runs `farEnd` as the called side and `caller` against it; both exit codes.
Outcome Exchange(SippPeer& far, const std::string& farEnd, const std::string& caller,
                 SipTransport transport) {
    Outcome outcome;
    if (!far.Start(farEnd, transport) || !far.WaitReady(Within(kPatience))) {
        ADD_FAILURE() << far.Error();
        return outcome;
    }
    SippPeer client;
    if (!client.StartClient(caller, "127.0.0.1:" + std::to_string(far.Port()), transport)) {
        ADD_FAILURE() << client.Error();
        return outcome;
    }
    outcome.caller = client.Wait(Within(kPatience)).value_or(-1);
    outcome.farEnd = far.Wait(Within(kPatience)).value_or(-1);
    if (outcome.caller != SippPeer::kPassed) {
        ADD_FAILURE() << "caller: " << client.Describe() << "\nfar end: " << far.Describe();
    }
    return outcome;
}

class SippTransportTest : public ::testing::TestWithParam<SipTransport> {};

TEST_P(SippTransportTest, RespondsWithTheChosenStatus) {
    for (const auto& [code, reason] : {std::pair{486, "Busy Here"}, {603, "Decline"}}) {
        SippPeer far;
        const auto outcome = Exchange(far, uas::Respond(code, reason), uac::Call("x", code), GetParam());
        EXPECT_EQ(outcome.farEnd, SippPeer::kPassed) << far.Describe();
        ASSERT_EQ(far.ReceivedRequests("INVITE").size(), 1u);
        EXPECT_EQ(far.ReceivedRequests("ACK").size(), 1u);
    }
}

TEST_P(SippTransportTest, RingsUntilCancelled) {
    SippPeer far;
    const auto outcome = Exchange(far, uas::RingUntilCancel(), uac::CallAndCancel("x"), GetParam());
    EXPECT_EQ(outcome.farEnd, SippPeer::kPassed) << far.Describe();
}

TEST_P(SippTransportTest, AnswersAndWaitsForTheCallersBye) {
    SippPeer far;
    const auto outcome = Exchange(far, uas::Answer(), uac::Call("x", 200, 50), GetParam());
    EXPECT_EQ(outcome.farEnd, SippPeer::kPassed) << far.Describe();
    EXPECT_EQ(far.ReceivedRequests("BYE").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Transports, SippTransportTest,
                         ::testing::Values(SipTransport::Udp, SipTransport::Tcp),
                         [](const auto& info) { return info.param == SipTransport::Tcp ? "Tcp" : "Udp"; });

TEST(SippPeerTest, CallerDetectsAMissingReply) {
    // The far end answers 486 where the caller expects 200: the caller's scenario fails.
    SippPeer far, client;
    ASSERT_TRUE(far.Start(uas::Respond(486, "Busy Here")) && far.WaitReady(Within(kPatience))) << far.Error();
    ASSERT_TRUE(client.StartClient(uac::Call("x", 200), "127.0.0.1:" + std::to_string(far.Port())));
    EXPECT_EQ(client.Wait(Within(kPatience)), SippPeer::kCallFailed) << client.Describe();
}

struct AuthCase {
    const char* name;
    uas::Challenge challenge;
    const char* password; // what the caller answers with; the far end expects "secret"
    int answer;           // the far end's final answer
    int farEnd;           // its exit code
};

class SippChallengeTest : public ::testing::TestWithParam<AuthCase> {};

TEST_P(SippChallengeTest, AnswersOnlyRightCredentials) {
    const auto& c = GetParam();
    const int challengeCode = c.challenge == uas::Challenge::Proxy407 ? 407 : 401;
    SippPeer far;
    const auto outcome = Exchange(far, uas::ChallengeThenAnswer("alice", "secret", "lullwatch", c.challenge),
                                  uac::CallWithCredentials("x", challengeCode, "alice", c.password, c.answer),
                                  SipTransport::Udp);
    EXPECT_EQ(outcome.farEnd, c.farEnd) << far.Describe();
    EXPECT_EQ(far.CredentialsValid("alice", "secret"), std::string(c.password) == "secret") << far.Describe();
    if (c.answer == 403) {
        EXPECT_NE(far.Errors().find("credentials did not verify"), std::string::npos) << far.Describe();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Credentials, SippChallengeTest,
    ::testing::Values(AuthCase{"Www401Right", uas::Challenge::Www401, "secret", 200, SippPeer::kPassed},
                      AuthCase{"Www401Wrong", uas::Challenge::Www401, "wrong", 403, SippPeer::kCallFailed},
                      // sipp cannot check Proxy-Authorization itself: CredentialsValid tells.
                      AuthCase{"Proxy407Right", uas::Challenge::Proxy407, "secret", 200, SippPeer::kPassed},
                      AuthCase{"Proxy407Wrong", uas::Challenge::Proxy407, "wrong", 200, SippPeer::kPassed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SippRegistrarTest, RegistersRightCredentialsOnly) {
    SippPeer good, bad;
    auto outcome = Exchange(good, uas::Registrar("alice", "secret", "lullwatch", false),
                            uac::Register("alice", "secret", 200), SipTransport::Udp);
    EXPECT_EQ(outcome.farEnd, SippPeer::kPassed) << good.Describe();
    EXPECT_TRUE(good.CredentialsValid("alice", "secret"));
    ASSERT_EQ(good.ReceivedRequests("REGISTER").size(), 2u);

    outcome = Exchange(bad, uas::Registrar("alice", "secret", "lullwatch", false),
                       uac::Register("alice", "nope", 403), SipTransport::Tcp);
    EXPECT_EQ(outcome.farEnd, SippPeer::kCallFailed) << bad.Describe();
}

TEST(SippRegistrarTest, KeepsAnsweringUntilStopped) {
    SippPeer registrar;
    ASSERT_TRUE(registrar.Start(uas::Registrar("alice", "secret", "lullwatch")));
    ASSERT_TRUE(registrar.WaitReady(Within(kPatience))) << registrar.Error();
    SippPeer client;
    ASSERT_TRUE(client.StartClient(uac::Register("alice", "secret", 200, 2),
                                   "127.0.0.1:" + std::to_string(registrar.Port())));
    EXPECT_EQ(client.Wait(Within(kPatience)), SippPeer::kPassed) << client.Describe() << registrar.Describe();
    EXPECT_FALSE(registrar.Wait(Within(200ms))) << "the registrar should still wait for refreshes";
    EXPECT_TRUE(registrar.Stop().has_value());
    const auto registers = registrar.ReceivedRequests("REGISTER");
    ASSERT_EQ(registers.size(), 4u) << registrar.Describe();
    EXPECT_NE(registers[3].find("expires=0"), std::string::npos) << registers[3];
    EXPECT_FALSE(registrar.Running());
}

TEST(DigestCheckTest, ChecksTheResponseWithAndWithoutQop) {
    // RFC 2617's own example (qop=auth) and one without qop computed the same way.
    const std::string rfc =
        "Digest username=\"Mufasa\", realm=\"testrealm@host.com\", "
        "nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\", uri=\"/dir/index.html\", qop=auth, "
        "nc=00000001, cnonce=\"0a4f113b\", response=\"6629fae49393a05397450978507c4ef1\", "
        "opaque=\"5ccc069c403ebaf9f0171e9517f40e41\"";
    EXPECT_TRUE(DigestValid("GET", rfc, "Mufasa", "Circle Of Life"));
    EXPECT_FALSE(DigestValid("GET", rfc, "Mufasa", "circle of life"));
    EXPECT_FALSE(DigestValid("POST", rfc, "Mufasa", "Circle Of Life"));
    EXPECT_FALSE(DigestValid("GET", rfc, "Simba", "Circle Of Life"));
    EXPECT_EQ(DigestParameter(rfc, "nonce"), "dcd98b7102dd2f0e8b11d0f600bfb0c093");
    EXPECT_EQ(DigestParameter(rfc, "nc"), "00000001");
    EXPECT_EQ(DigestParameter(rfc, "qop"), "auth");
}

} // namespace
} // namespace sippeer
