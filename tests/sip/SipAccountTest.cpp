// The account side of the SIP service against sipp on 127.0.0.1: final answers a softphone cannot be made
// to give, digest authentication of the call, and the registration with its loss putting the line out of
// service.
#include "SipTestSupport.h"

#include "tests/sippeer/SippPeer.h"
#include "tests/sippeer/SippScenarios.h"

namespace lullwatch::test {
namespace {

using sippeer::SippPeer;
using sippeer::SipTransport;
using sippeer::Within;
namespace uas = sippeer::uas;

constexpr const char* kRealm = "lullwatch";

class SipAccountTest : public SipLineTest {
protected:
    void StartPeer(SippPeer& peer, const std::string& scenario, SipTransport transport = SipTransport::Udp) {
        ASSERT_TRUE(peer.Start(scenario, transport)) << peer.Error();
        ASSERT_TRUE(peer.WaitReady(Within(kDeadline))) << peer.Describe();
    }
    static std::wstring Number(const std::string& uri) { return std::wstring(uri.begin(), uri.end()); }
};

TEST_F(SipAccountTest, FinalAnswersBecomeTheirDisconnectModes) {
    struct Row {
        int code;
        const char* reason;
        DWORD mode;
    };
    const Row rows[] = {
        {603, "Decline", LINEDISCONNECTMODE_REJECT},
        {600, "Busy Everywhere", LINEDISCONNECTMODE_BUSY},
        {480, "Temporarily Unavailable", LINEDISCONNECTMODE_NOANSWER},
        {484, "Address Incomplete", LINEDISCONNECTMODE_BADADDRESS},
        {488, "Not Acceptable Here", LINEDISCONNECTMODE_INCOMPATIBLE},
        {503, "Service Unavailable", LINEDISCONNECTMODE_UNREACHABLE},
        {302, "Moved Temporarily", LINEDISCONNECTMODE_FORWARDED},
    };
    StartService();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        SippPeer peer;
        StartPeer(peer, uas::Respond(row.code, row.reason));
        Recorder::Instance().Reset();
        Call(Number(peer.Uri()));
        ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED));
        EXPECT_EQ(DisconnectMode(), row.mode);
        EXPECT_EQ(peer.Wait(Within(kDeadline)), SippPeer::kPassed) << peer.Describe();
        Release();
        Reopen();
    }
}

TEST_F(SipAccountTest, AnAnswerWithoutACommonSoundFormatIsHungUpAsIncompatible) {
    // The far end answers PCMU whatever was offered; the account offers PCMA only.
    SippPeer peer;
    StartPeer(peer, uas::Answer());
    StartService({{"codecs", "PCMA"}});
    Call(Number(peer.Uri()));
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED));
    EXPECT_EQ(DisconnectMode(), LINEDISCONNECTMODE_INCOMPATIBLE);
    // The answered call was ended with a BYE, which the far end expects.
    EXPECT_EQ(peer.Wait(Within(kDeadline)), SippPeer::kPassed) << peer.Describe();
    EXPECT_EQ(peer.ReceivedRequests("BYE").size(), 1u);
    Release();
}

TEST_F(SipAccountTest, RingingCallIsCancelledByHangUp) {
    SippPeer peer;
    StartPeer(peer, uas::RingUntilCancel());
    StartService();
    Call(Number(peer.Uri()));
    ASSERT_TRUE(WaitForState(LINECALLSTATE_RINGBACK));
    EXPECT_GT(lineDrop(call_, nullptr, 0), 0);
    EXPECT_EQ(peer.Wait(Within(kDeadline)), SippPeer::kPassed) << peer.Describe();
    EXPECT_EQ(peer.ReceivedRequests("CANCEL").size(), 1u);
    Release();
}

TEST_F(SipAccountTest, ChallengedCallsAnswerWithTheAccountsCredentials) {
    for (const auto challenge : {uas::Challenge::Www401, uas::Challenge::Proxy407}) {
        SCOPED_TRACE(challenge == uas::Challenge::Www401 ? "401" : "407");
        SippPeer peer;
        StartPeer(peer, uas::ChallengeThenAnswer("m-auth", "s3cret", kRealm, challenge));
        StartService({{"auth_user", "m-auth"}}, "s3cret");
        Call(Number(peer.Uri()));
        ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED)) << peer.Describe();
        EXPECT_TRUE(peer.CredentialsValid("m-auth", "s3cret"));
        EXPECT_GT(lineDrop(call_, nullptr, 0), 0);
        EXPECT_EQ(peer.Wait(Within(kDeadline)), SippPeer::kPassed) << peer.Describe();
        Release();
        StopService();
        Recorder::Instance().Reset();
    }
}

TEST_F(SipAccountTest, WrongOrMissingCredentialsEndTheCall) {
    for (const std::string password : {"wrong", ""}) {
        SCOPED_TRACE(password);
        SippPeer peer;
        StartPeer(peer, uas::ChallengeThenAnswer("monitor", "s3cret", kRealm, uas::Challenge::Www401));
        StartService({}, password);
        Call(Number(peer.Uri()));
        ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED)) << peer.Describe();
        // A refused answer (403) or, without a password, the challenge itself ends the call.
        EXPECT_EQ(DisconnectMode(),
                  password.empty() ? LINEDISCONNECTMODE_UNAVAIL : LINEDISCONNECTMODE_REJECT);
        Release();
        StopService();
        peer.Kill();
        Recorder::Instance().Reset();
    }
}

TEST_F(SipAccountTest, AFailedRegistrationKeepsTheRegistrarsAnswer) {
    SippPeer registrar;
    StartPeer(registrar, uas::Registrar("monitor", "s3cret", kRealm), SipTransport::Tcp);
    StartService({{"registrar", "sip:127.0.0.1:" + std::to_string(registrar.Port())}, {"transport", "tcp"}},
                 "wrong");
    ASSERT_TRUE(WaitForFigures(*service_, [](const auto& f) {
        return f.registration == platform::tapi::sipline::SipLineService::Registration::Failed;
    })) << registrar.Describe();
    EXPECT_EQ(service_->Measure().registrationProblem, "403 Forbidden");
}

TEST_F(SipAccountTest, RegistrationRunsInTheBackgroundAndItsLossPutsTheLineOutOfServiceUntilItReturns) {
    SippPeer registrar;
    StartPeer(registrar, uas::Registrar("monitor", "s3cret", kRealm), SipTransport::Tcp);
    StartService({{"registrar", "sip:127.0.0.1:" + std::to_string(registrar.Port())},
                  {"transport", "tcp"},
                  {"register_interval", "2"}},
                 "s3cret");
    ASSERT_TRUE(WaitForFigures(*service_, [](const auto& f) {
        return f.registration == platform::tapi::sipline::SipLineService::Registration::Registered;
    })) << registrar.Describe();
    EXPECT_TRUE(registrar.CredentialsValid("monitor", "s3cret"));
    // Registering is no news to the line.
    EXPECT_FALSE(Recorder::Instance().WaitFor(
        [](const Received& r) { return r.message == LINE_LINEDEVSTATE; }, 0, std::chrono::milliseconds(0)));

    registrar.Kill();
    const auto lost = Recorder::Instance().WaitFor([](const Received& r) {
        return r.message == LINE_LINEDEVSTATE && r.param1 == LINEDEVSTATE_OUTOFSERVICE;
    });
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->device, line_);
    EXPECT_NE(service_->Measure().registrationProblem, ""); // the transport's error

    // The registrar is back where it was: the next attempt registers and the line is in service again.
    SippPeer back;
    ASSERT_TRUE(back.Start(uas::Registrar("monitor", "s3cret", kRealm), SipTransport::Tcp, registrar.Port()))
        << back.Error();
    ASSERT_TRUE(back.WaitReady(Within(kDeadline))) << back.Describe();
    const auto returned = Recorder::Instance().WaitFor([](const Received& r) {
        return r.message == LINE_LINEDEVSTATE && r.param1 == LINEDEVSTATE_INSERVICE;
    });
    ASSERT_TRUE(returned) << back.Describe();
    EXPECT_EQ(returned->device, line_);
}

} // namespace
} // namespace lullwatch::test
