// Calls through the SIP service to a real far end, baresip on 127.0.0.1: the call states in order, the
// room's sound at the far end, each way a call can end, emergency numbers never sent, and nothing left
// behind.
#include "SipTestSupport.h"

#include "tests/sippeer/BaresipPeer.h"
#include "tests/sippeer/LocalPorts.h"
#include "tests/sippeer/ToneCheck.h"

namespace lullwatch::test {
namespace {

using sippeer::Within;

class SipCallTest : public SipLineTest {
protected:
    void StartPeer(sippeer::BaresipOptions options = {}) {
        ASSERT_TRUE(peer_.Start(options)) << peer_.Error();
        ASSERT_TRUE(peer_.WaitReady(Within(kDeadline))) << peer_.Describe();
    }
    // The account's dial pattern reaches the peer: the number is the user part.
    std::map<std::string, std::string> PeerKeys(const std::string& transport = "udp") {
        return {{"dial", "sip:{number}@127.0.0.1:" + std::to_string(peer_.SipPort())},
                {"transport", transport}};
    }
    std::wstring PeerNumber(const std::string& user) { return std::wstring(user.begin(), user.end()); }

    void TearDown() override {
        SipLineTest::TearDown();
        if (HasFailure()) {
            std::cerr << peer_.Describe() << "\n";
        }
    }

    sippeer::BaresipPeer peer_;
};

TEST_F(SipCallTest, AnsweredCallCarriesTheRoomUntilTheFarEndHangsUp) {
    for (const std::string transport : {"udp", "tcp"}) {
        SCOPED_TRACE(transport);
        StartPeer();
        StartService(PeerKeys(transport));
        const LONG request = Call(L"callee");
        EXPECT_EQ(ReplyTo(request), 0);
        ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
        ASSERT_TRUE(peer_.WaitForEvent("CALL_ESTABLISHED", Within(kDeadline)));
        // Two seconds of the room, then the far end hangs up.
        ASSERT_TRUE(WaitForFigures(*service_, [](const auto& f) { return f.packetsSent >= 100; }));
        EXPECT_GT(service_->Measure().packetsReceived, 0u);
        ASSERT_TRUE(peer_.Hangup());
        ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL));

        // Dialing first, connected before disconnected, each state once.
        const std::vector<DWORD> states = States();
        ASSERT_FALSE(states.empty());
        EXPECT_EQ(states.front(), LINECALLSTATE_DIALING);
        EXPECT_EQ(states.back(), LINECALLSTATE_DISCONNECTED);
        for (DWORD state : {LINECALLSTATE_DIALING, LINECALLSTATE_CONNECTED, LINECALLSTATE_DISCONNECTED}) {
            EXPECT_EQ(std::count(states.begin(), states.end(), state), 1) << std::hex << state;
        }
        Release();
        EXPECT_TRUE(WaitForFigures(*service_, [](const auto& f) { return f.calls == 0; }));

        const auto heard = peer_.Recordings();
        ASSERT_FALSE(heard.empty());
        EXPECT_TRUE(sippeer::HasTone(heard.back(), kRoomToneHz))
            << sippeer::ToneRatio(heard.back(), kRoomToneHz);
        StopService();
        peer_.Stop();
        Recorder::Instance().Reset();
    }
}

TEST_F(SipCallTest, HangingUpSendsCancelWhileRingingAndByeOnceConnected) {
    StartPeer();
    StartService(PeerKeys("tcp"));
    Call(L"manual");
    ASSERT_TRUE(peer_.WaitForEvent("CALL_INCOMING", Within(kDeadline)));
    ASSERT_TRUE(WaitForState(LINECALLSTATE_RINGBACK));
    EXPECT_EQ(lineDrop(call_, nullptr, 0) > 0, true);
    ASSERT_TRUE(peer_.WaitForEvent("CALL_CLOSED", Within(kDeadline)));
    EXPECT_EQ(lineDeallocateCall(call_), 0);

    Call(L"callee");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    ASSERT_TRUE(peer_.WaitForEvent("CALL_ESTABLISHED", Within(kDeadline)));
    EXPECT_GT(lineDrop(call_, nullptr, 0), 0);
    const auto closed = peer_.WaitForEvent("CALL_CLOSED", Within(kDeadline));
    ASSERT_TRUE(closed);
    EXPECT_EQ(peer_.ActiveCalls(), 0);
    Release();
    EXPECT_TRUE(WaitForFigures(*service_, [](const auto& f) { return f.calls == 0; }));
}

TEST_F(SipCallTest, TheFarEndsRefusalsBecomeTheirDisconnectModes) {
    StartPeer();
    StartService(PeerKeys("tcp"));
    // Busy: the far end rings, then turns the call down.
    Call(L"manual");
    ASSERT_TRUE(peer_.WaitForEvent("CALL_INCOMING", Within(kDeadline)));
    ASSERT_TRUE(peer_.Hangup());
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED));
    EXPECT_EQ(DisconnectMode(), LINEDISCONNECTMODE_BUSY);
    Release();
    Reopen();

    // No such user.
    Call(L"nobody");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED));
    EXPECT_EQ(DisconnectMode(), LINEDISCONNECTMODE_BADADDRESS);
    Release();
}

TEST_F(SipCallTest, EmergencyNumbersAreRefusedBeforeAnythingIsSent) {
    StartPeer();
    StartService(PeerKeys("tcp"));
    for (const wchar_t* number :
         {L"112", L"9-1-1", L"*31#999", L"sip:112@127.0.0.1", L"sips:000@example.org"}) {
        HCALL call = 0;
        EXPECT_EQ(lineMakeCall(line_, &call, number, 0, nullptr), LINEERR_INVALADDRESS);
        EXPECT_EQ(call, 0u);
    }
    EXPECT_EQ(service_->Measure().calls, 0u);
    // The same account still calls an ordinary number at the far end.
    Call(PeerNumber("callee"));
    EXPECT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    Release();
}

TEST_F(SipCallTest, NothingListeningIsUnreachable) {
    const int port = sippeer::FreePorts(1).front();
    // TCP learns at once that nobody listens.
    StartService({{"dial", "sip:{number}@127.0.0.1:" + std::to_string(port)}, {"transport", "tcp"}});
    Call(L"callee");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED));
    EXPECT_EQ(DisconnectMode(), LINEDISCONNECTMODE_UNREACHABLE);
    Release();
    StopService();

    // UDP hears nothing back; the profile's response timeout ends the wait.
    Recorder::Instance().Reset();
    StartService({{"dial", "sip:{number}@127.0.0.1:" + std::to_string(port)}, {"response_timeout", "0.5"}});
    Call(L"callee");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED));
    EXPECT_EQ(DisconnectMode(), LINEDISCONNECTMODE_UNREACHABLE);
    Release();
}

TEST_F(SipCallTest, UnansweredCallGivesUpAsNoAnswer) {
    StartPeer();
    auto keys = PeerKeys("tcp");
    keys["no_answer_timeout"] = "1";
    StartService(keys);
    Call(L"manual");
    ASSERT_TRUE(peer_.WaitForEvent("CALL_INCOMING", Within(kDeadline)));
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED));
    EXPECT_EQ(DisconnectMode(), LINEDISCONNECTMODE_NOANSWER);
    // The far end stops ringing: the call was cancelled.
    EXPECT_TRUE(peer_.WaitForEvent("CALL_CLOSED", Within(kDeadline)));
    Release();
}

TEST_F(SipCallTest, AFarEndThatVanishesMidCallEndsTheCallAsUnreachable) {
    StartPeer();
    auto keys = PeerKeys("udp");
    keys["rtp_timeout"] = "1";
    StartService(keys);
    Call(L"callee");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    ASSERT_TRUE(WaitForFigures(*service_, [](const auto& f) { return f.packetsReceived > 0; }));
    peer_.Kill();
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED));
    EXPECT_EQ(DisconnectMode(), LINEDISCONNECTMODE_UNREACHABLE);
    Release();
}

TEST_F(SipCallTest, DialledTextIsEscapedOrRefused) {
    StartPeer();
    StartService(PeerKeys("tcp"));
    // Characters that may not stand in a user part reach the far end escaped: it finds no such user,
    // which it could only say of a well-formed request.
    Call(L"call ee#<>\"");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED));
    EXPECT_EQ(DisconnectMode(), LINEDISCONNECTMODE_BADADDRESS);
    Release();

    // Text that cannot make an address fails the request itself; nothing is sent.
    for (const std::wstring& number :
         {std::wstring(L"sip:callee@"), std::wstring(L"sip:a b@127.0.0.1"), std::wstring(L"12\n34")}) {
        Reopen();
        const LONG request = Call(number);
        EXPECT_EQ(ReplyTo(request), LINEERR_INVALADDRESS);
        Release();
    }
    EXPECT_FALSE(peer_.WaitForEvent("CALL_INCOMING", Within(std::chrono::milliseconds(0))));

    // A full address typed as the number is called as it stands.
    Reopen();
    const std::string direct = peer_.AutoUri() + ";transport=tcp";
    Call(std::wstring(direct.begin(), direct.end()));
    ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    Release();
}

TEST_F(SipCallTest, ClosingAndStoppingLeaveNoCallBehind) {
    StartPeer();
    StartService(PeerKeys("udp"));
    Call(L"callee");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    ASSERT_TRUE(peer_.WaitForEvent("CALL_ESTABLISHED", Within(kDeadline)));
    // lineClose alone hangs the call up.
    EXPECT_EQ(lineClose(line_), 0);
    line_ = 0;
    ASSERT_TRUE(peer_.WaitForEvent("CALL_CLOSED", Within(kDeadline)));
    EXPECT_TRUE(WaitForFigures(*service_, [](const auto& f) { return f.calls == 0; }));

    // Stopping the service in the middle of a call hangs up too.
    Reopen();
    Call(L"callee");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    ASSERT_TRUE(peer_.WaitForEvent("CALL_ESTABLISHED", Within(kDeadline)));
    StopService();
    ASSERT_TRUE(peer_.WaitForEvent("CALL_CLOSED", Within(kDeadline)));
}

} // namespace
} // namespace lullwatch::test
