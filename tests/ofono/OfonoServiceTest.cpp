// The oFono service against python3-dbusmock's ofono template: every row of the call-state table, Hang
// Up in every state, lineClose and the end of the service mid-call, the modem's service state, a modem
// that comes later, refused destinations and Dial errors.
#include "OfonoTestSupport.h"

#include <gmock/gmock.h>

namespace lullwatch::test {
namespace {

using testing::HasSubstr;

// What the test does to the stand-in's call: a State, a DisconnectReason, or the call's removal.
struct Step {
    enum Kind { State, Reason, Removed } kind;
    const char* text = "";
};

struct MappingRow {
    const char* name;
    std::vector<Step> steps;
    std::vector<DWORD> states; // after DIALING, which Dial's answer gives
    DWORD mode;
};

TEST_F(OfonoLineTest, CallStatesFollowTheMappingTable) {
    const MappingRow rows[] = {
        {"answered, far end hangs up",
         {{Step::State, "dialing"},
          {Step::State, "alerting"},
          {Step::State, "active"},
          {Step::Reason, "remote"},
          {Step::State, "disconnected"}},
         {LINECALLSTATE_RINGBACK, LINECALLSTATE_CONNECTED, LINECALLSTATE_DISCONNECTED},
         LINEDISCONNECTMODE_NORMAL},
        {"refused while ringing",
         {{Step::State, "alerting"}, {Step::Reason, "remote"}, {Step::State, "disconnected"}},
         {LINECALLSTATE_RINGBACK, LINECALLSTATE_DISCONNECTED},
         LINEDISCONNECTMODE_REJECT},
        {"network ends an unanswered call",
         {{Step::Reason, "network"}, {Step::State, "disconnected"}},
         {LINECALLSTATE_DISCONNECTED},
         LINEDISCONNECTMODE_UNAVAIL},
        {"network drops a connected call",
         {{Step::State, "active"}, {Step::Reason, "network"}, {Step::State, "disconnected"}},
         {LINECALLSTATE_CONNECTED, LINECALLSTATE_DISCONNECTED},
         LINEDISCONNECTMODE_UNREACHABLE},
        {"held, then ended here",
         {{Step::State, "active"},
          {Step::State, "held"},
          {Step::Reason, "local"},
          {Step::State, "disconnected"}},
         {LINECALLSTATE_CONNECTED, LINECALLSTATE_ONHOLD, LINECALLSTATE_DISCONNECTED},
         LINEDISCONNECTMODE_NORMAL},
        {"removed without a state or reason",
         {{Step::State, "alerting"}, {Step::Removed}},
         {LINECALLSTATE_RINGBACK, LINECALLSTATE_DISCONNECTED},
         LINEDISCONNECTMODE_UNKNOWN},
    };
    StartService();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (line_ == 0) {
            ASSERT_EQ(lineOpen(app_, 0, &line_, 0x00020000, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
        }
        const LONG request = Call(L"+4930123456");
        EXPECT_EQ(ReplyTo(request), 0);
        ASSERT_TRUE(WaitForState(LINECALLSTATE_DIALING));
        const std::string path = CallPath();
        ASSERT_FALSE(path.empty());
        for (const Step& step : row.steps) {
            if (step.kind == Step::State) {
                SetCallState(path, step.text);
            } else if (step.kind == Step::Reason) {
                SetDisconnectReason(path, step.text);
            } else {
                RemoveCall(path);
            }
        }
        ASSERT_TRUE(WaitForState(LINECALLSTATE_DISCONNECTED, row.mode));
        std::vector<DWORD> expected = {LINECALLSTATE_DIALING};
        expected.insert(expected.end(), row.states.begin(), row.states.end());
        EXPECT_EQ(States(), expected);
        Release();
        if (!CallsOnModem().empty()) {
            RemoveCall(path); // the stand-in keeps a disconnected call until it is hung up
        }
        ASSERT_TRUE(WaitForCallsOnModem(0));
    }
}

TEST_F(OfonoLineTest, HangUpInEveryStateHangsUpTheModemsCall) {
    StartService();
    for (const char* state : {"dialing", "alerting", "active", "held"}) {
        SCOPED_TRACE(state);
        if (line_ == 0) {
            ASSERT_EQ(lineOpen(app_, 0, &line_, 0x00020000, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
        }
        Call(L"5550100");
        ASSERT_TRUE(WaitForState(LINECALLSTATE_DIALING));
        const std::string path = CallPath();
        SetCallState(path, state);
        const DWORD mapped = std::string(state) == "dialing"    ? LINECALLSTATE_DIALING
                             : std::string(state) == "alerting" ? LINECALLSTATE_RINGBACK
                             : std::string(state) == "active"   ? LINECALLSTATE_CONNECTED
                                                                : LINECALLSTATE_ONHOLD;
        ASSERT_TRUE(WaitForState(mapped));
        const LONG drop = lineDrop(call_, nullptr, 0);
        ASSERT_GT(drop, 0);
        EXPECT_EQ(ReplyTo(drop), 0);
        EXPECT_TRUE(WaitForCallsOnModem(0));
        EXPECT_EQ(States().back(), LINECALLSTATE_IDLE);
        EXPECT_EQ(lineDeallocateCall(call_), 0);
        EXPECT_EQ(lineClose(line_), 0);
        line_ = 0;
    }
}

TEST_F(OfonoLineTest, LineCloseAndTheServicesEndHangUpMidCall) {
    StartService();
    Call(L"5550100");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DIALING));
    SetCallState(CallPath(), "active");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    EXPECT_EQ(lineClose(line_), 0);
    line_ = 0;
    EXPECT_TRUE(WaitForCallsOnModem(0));

    ASSERT_EQ(lineOpen(app_, 0, &line_, 0x00020000, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
    Call(L"5550100");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DIALING));
    SetCallState(CallPath(), "alerting");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_RINGBACK));
    StopService();
    EXPECT_TRUE(WaitForCallsOnModem(0));
}

TEST_F(OfonoLineTest, OfflineOrUnregisteredModemPutsTheLineOutOfService) {
    struct Row {
        const char* name;
        const char* interface;
        const char* property;
        const char* out; // the value that takes the line out of service ("false"/"true" for Online)
        const char* back;
    };
    const Row rows[] = {
        {"modem offline", "org.ofono.Modem", "Online", "false", "true"},
        {"not registered", "org.ofono.NetworkRegistration", "Status", "unregistered", "registered"},
        {"searching, then roaming", "org.ofono.NetworkRegistration", "Status", "searching", "roaming"},
    };
    auto set = [this](const Row& row, const char* value) {
        if (std::string(row.property) == "Online") {
            SetModemProperty(row.interface, row.property, std::string(value) == "true");
        } else {
            SetModemProperty(row.interface, row.property, value);
        }
    };
    StartService();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::size_t from = Recorder::Instance().Count();
        set(row, row.out);
        ASSERT_TRUE(WaitForDeviceState(LINEDEVSTATE_OUTOFSERVICE, from));
        // A call asked for now is refused as unavailable, and nothing is dialled.
        const LONG request = Call(L"5550100");
        EXPECT_EQ(ReplyTo(request), LINEERR_CALLUNAVAIL);
        EXPECT_TRUE(CallsOnModem().empty());
        EXPECT_EQ(lineDeallocateCall(call_), 0);

        from = Recorder::Instance().Count();
        set(row, row.back);
        ASSERT_TRUE(WaitForDeviceState(LINEDEVSTATE_INSERVICE, from));
    }

    // Going out of service mid-call is reported while the call is up (the program then ends it).
    Call(L"5550100");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_DIALING));
    SetCallState(CallPath(), "active");
    ASSERT_TRUE(WaitForState(LINECALLSTATE_CONNECTED));
    const std::size_t from = Recorder::Instance().Count();
    SetModemProperty("org.ofono.Modem", "Online", false);
    EXPECT_TRUE(WaitForDeviceState(LINEDEVSTATE_OUTOFSERVICE, from));
    Release();
    EXPECT_TRUE(WaitForCallsOnModem(0));
}

TEST_F(OfonoLineTest, AModemThatComesLaterIsANewLineDevice) {
    StartService();
    sd_bus_error e = SD_BUS_ERROR_NULL;
    ASSERT_GE(sd_bus_call_method(bus_.Connection(), "org.ofono", "/", "org.freedesktop.DBus.Mock", "AddModem",
                                 &e, nullptr, "sa{sv}", "ril_1", 0),
              0);
    sd_bus_error_free(&e);
    const auto created = Recorder::Instance().WaitForMessage(LINE_CREATE);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->param1, 1u);
    EXPECT_EQ(service_->DeviceCount(), 2u);
}

TEST_F(OfonoLineTest, EmergencyNumbersAndMalformedDialTextAreNeverDialled) {
    StartService();
    // 911 is built in; 13373 is only on the stand-in's EmergencyNumbers list.
    for (const wchar_t* number : {L"911", L"13373", L"112", L"555-0100", L"5550100p1", L"call me", L""}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(number)));
        HCALL call = 0;
        EXPECT_EQ(lineMakeCall(line_, &call, number, 0, nullptr), LINEERR_INVALADDRESS);
    }
    EXPECT_TRUE(CallsOnModem().empty());
}

TEST_F(OfonoLineTest, DialErrorsAnswerTheRequestAndAreNamed) {
    struct Row {
        const char* error;
        LONG result;
    };
    const Row rows[] = {
        {"org.ofono.Error.InvalidFormat", LINEERR_INVALADDRESS},
        {"org.ofono.Error.NotAvailable", LINEERR_CALLUNAVAIL},
        {"org.ofono.Error.Failed", LINEERR_OPERATIONFAILED},
    };
    StartService();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.error);
        const std::string code =
            std::string("raise dbus.exceptions.DBusException('no', name='") + row.error + "')";
        sd_bus_error e = SD_BUS_ERROR_NULL;
        ASSERT_GE(sd_bus_call_method(bus_.Connection(), "org.ofono", kModemPath, "org.freedesktop.DBus.Mock",
                                     "AddMethod", &e, nullptr, "sssss", "org.ofono.VoiceCallManager", "Dial",
                                     "ss", "o", code.c_str()),
                  0);
        sd_bus_error_free(&e);
        testing::internal::CaptureStderr();
        const LONG request = Call(L"5550100");
        EXPECT_EQ(ReplyTo(request), row.result);
        EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(row.error));
        EXPECT_EQ(lineDeallocateCall(call_), 0);
    }
}

} // namespace
} // namespace lullwatch::test
