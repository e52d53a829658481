// Calls through the line API over the ModemManager service: every row of the call state table, Hang Up
// in every state, lineClose mid-call, D-Bus errors, emergency numbers and dial text that never reach
// ModemManager.
#include "ModemTestSupport.h"

#include "platform/status/Indicators.h"
#include "platform/tapi/DialRules.h"
#include "platform/win/Utf8.h"

namespace lullwatch::test {
namespace {

using StateList = std::vector<std::pair<DWORD, DWORD>>;

class ModemCallTest : public ModemLineTest {
protected:
    void StartWithScript(const std::string& script) {
        Start();
        Control("SetScript", "os", kFirstModem, script.c_str());
    }
};

TEST_F(ModemCallTest, CallStatesFollowModemManagerRowByRow) {
    struct Row {
        const char* script;
        StateList states;
    };
    const Row rows[] = {
        {"50:ringing-out 100:active 150:terminated/terminated",
         {{LINECALLSTATE_DIALING, 0},
          {LINECALLSTATE_RINGBACK, 0},
          {LINECALLSTATE_CONNECTED, 0},
          {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL},
          {LINECALLSTATE_IDLE, 0}}},
        {"50:ringing-out 100:terminated/refused-or-busy",
         {{LINECALLSTATE_DIALING, 0},
          {LINECALLSTATE_RINGBACK, 0},
          {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_BUSY},
          {LINECALLSTATE_IDLE, 0}}},
        {"50:terminated/error",
         {{LINECALLSTATE_DIALING, 0},
          {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNAVAIL},
          {LINECALLSTATE_IDLE, 0}}},
        {"50:active 100:terminated/audio-setup-failed",
         {{LINECALLSTATE_DIALING, 0},
          {LINECALLSTATE_CONNECTED, 0},
          {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_INCOMPATIBLE},
          {LINECALLSTATE_IDLE, 0}}},
        {"50:active 100:terminated/transferred",
         {{LINECALLSTATE_DIALING, 0},
          {LINECALLSTATE_CONNECTED, 0},
          {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_FORWARDED},
          {LINECALLSTATE_IDLE, 0}}},
        {"50:active 100:held 150:terminated/unknown",
         {{LINECALLSTATE_DIALING, 0},
          {LINECALLSTATE_CONNECTED, 0},
          {LINECALLSTATE_ONHOLD, 0},
          {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNKNOWN},
          {LINECALLSTATE_IDLE, 0}}},
    };
    Start();
    std::size_t calls = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.script);
        Control("SetScript", "os", kFirstModem, row.script);
        const LONG request = Call();
        ASSERT_GT(request, 0);
        EXPECT_EQ(ReplyTo(request), 0);
        ASSERT_TRUE(WaitForState(LINECALLSTATE_IDLE));
        EXPECT_EQ(States(), row.states);
        ASSERT_EQ(lineDeallocateCall(call_), 0);
        ++calls;
        EXPECT_EQ(MethodCalls(kFirstModem, "DeleteCall", calls), calls);
    }
    EXPECT_EQ(MethodArguments(kFirstModem, "CreateCall").size(), std::size(rows));
    EXPECT_NE(bus_->Logs().find("CreateCall {\"number\": \"+441632960123\"}"), std::string::npos)
        << bus_->Logs();
}

TEST_F(ModemCallTest, HangUpInEveryStateGoesIdleAndDeletesTheCall) {
    struct Row {
        const char* script;
        DWORD reached;
    };
    const Row rows[] = {
        {"", LINECALLSTATE_DIALING},
        {"50:ringing-out", LINECALLSTATE_RINGBACK},
        {"50:active", LINECALLSTATE_CONNECTED},
        {"50:active 100:held", LINECALLSTATE_ONHOLD},
    };
    Start();
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].script);
        Control("SetScript", "os", kFirstModem, rows[i].script);
        ASSERT_GT(Call(), 0);
        ASSERT_TRUE(WaitForState(rows[i].reached));
        const LONG drop = lineDrop(call_, nullptr, 0);
        ASSERT_GT(drop, 0);
        EXPECT_EQ(ReplyTo(drop), 0);
        ASSERT_TRUE(WaitForState(LINECALLSTATE_IDLE));
        EXPECT_EQ(States().back(), (std::pair<DWORD, DWORD>{LINECALLSTATE_IDLE, 0}));
        for (const auto& [state, mode] : States()) {
            EXPECT_NE(state, LINECALLSTATE_DISCONNECTED) << "our own hang-up is no disconnection";
        }
        ASSERT_EQ(lineDeallocateCall(call_), 0);
        EXPECT_EQ(MethodCalls(kFirstModem, "DeleteCall", i + 1), i + 1);
    }
}

TEST_F(ModemCallTest, LineCloseAndStopHangUpWhatIsStillUp) {
    StartWithScript("50:active");
    ASSERT_GT(Call(), 0);
    ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    ASSERT_EQ(lineClose(line_), 0);
    EXPECT_EQ(LoggedCalls("Hangup", 1), 1u);
    EXPECT_EQ(MethodCalls(kFirstModem, "DeleteCall", 1), 1u);

    ASSERT_EQ(lineOpen(app_, 0, &line_, TAPI_VERSION2_0, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
    ASSERT_GT(Call(), 0);
    ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    service_->Stop(); // the host's end, with the call still up
    EXPECT_EQ(LoggedCalls("Hangup", 0), 2u) << "the hang-up is answered before Stop returns";
    EXPECT_EQ(MethodCalls(kFirstModem, "DeleteCall", 0), 2u);
}

TEST_F(ModemCallTest, BusErrorsAnswerTheRequestWithALineError) {
    struct Row {
        const char* script;
        LONG result;
    };
    const Row rows[] = {
        {"create-error org.freedesktop.ModemManager1.Error.Core.Unauthorized", LINEERR_CALLUNAVAIL},
        {"create-error org.freedesktop.ModemManager1.Error.Core.InvalidArgs", LINEERR_INVALADDRESS},
        {"start-error org.freedesktop.ModemManager1.Error.MobileEquipment.NoNetwork",
         LINEERR_OPERATIONFAILED},
    };
    Start();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.script);
        Control("SetScript", "os", kFirstModem, row.script);
        const LONG request = Call();
        ASSERT_GT(request, 0);
        EXPECT_EQ(ReplyTo(request), row.result);
        ASSERT_EQ(lineDeallocateCall(call_), 0);
    }
}

TEST_F(ModemCallTest, EmergencyNumbersAndBadDialTextNeverReachModemManager) {
    Start();
    // The SIM's own emergency numbers count too.
    ASSERT_TRUE(WaitUntil([] { return platform::tapi::IsEmergencyNumber(L"17"); }));
    for (const wchar_t* number :
         {L"112", L"911", L"*31#999", L"15", L"0123,45", L"0123 456", L"12;ATH", L""}) {
        SCOPED_TRACE(platform::ToUtf8(number));
        HCALL call = 0;
        EXPECT_EQ(lineMakeCall(line_, &call, number, 0, nullptr), LINEERR_INVALADDRESS);
        EXPECT_EQ(call, 0u);
    }
    const LONG request = Call(L"+441632960123");
    ASSERT_GT(request, 0);
    EXPECT_EQ(ReplyTo(request), 0);
    EXPECT_EQ(MethodArguments(kFirstModem, "CreateCall").size(), 1u);
    platform::status::Clear(platform::status::Indicator::Line);
}

} // namespace
} // namespace lullwatch::test
