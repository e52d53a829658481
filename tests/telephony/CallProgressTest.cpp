// The call window's status as the line events come in: every row of the call-state, disconnect-mode and
// line-device-state tables, replies, line closes, and reinitialisation reports with and without a
// message to translate. Each row is one alarm call in a real call window; rows that end the call must
// close the window and post ID_CALL_FINISHED once, the others must leave the call up.
#include "TelephonyTestSupport.h"

#include "platform/win/Clock.h"

namespace lullwatch::test {
namespace {

using platform::tapi::Journal;

struct Outcome {
    const wchar_t* text; // nullptr: the event is ignored
    bool ends;
};

class CallProgressTest : public TelephonyTest {
protected:
    void SetUp() override {
        TelephonyTest::SetUp();
        StartTelephony({{"call-script", "silent"}});
    }

    // Places a call, lets `deliver` report something while the window is up, and checks the outcome.
    void Expect(const std::function<void()>& deliver, Outcome expected) {
        main_.Flush();
        const int finishedBefore = main_.CallsFinished();
        const std::uint64_t from = Journal().NextSeq();
        PlaceCall();
        const HWND window = WaitForCallWindow();
        ASSERT_NE(window, nullptr);
        deliver();
        if (expected.text == nullptr) {
            // Events are handled in order: once a later one shows, the ignored one has been handled.
            Deliver(LINE_CALLSTATE, CurrentCall(), LINECALLSTATE_CONNECTED);
            ASSERT_TRUE(StatusLog::WaitForCount(1));
            EXPECT_EQ(StatusLog::Texts(), std::vector<std::wstring>{L"Connected"});
        }
        if (expected.ends) {
            ASSERT_TRUE(WaitForCallOver());
            EXPECT_EQ(StatusLog::Texts(), std::vector<std::wstring>{expected.text});
            EXPECT_EQ(JournalFunctions(ReleaseFunctions(), from), ReleaseFunctions());
        } else {
            if (expected.text != nullptr) {
                ASSERT_TRUE(StatusLog::WaitForCount(1));
                EXPECT_EQ(StatusLog::Texts(), std::vector<std::wstring>{expected.text});
            }
            EXPECT_TRUE(CallWindowUp());
            EXPECT_TRUE(JournalFunctions(ReleaseFunctions(), from).empty());
            HangUp(window);
            ASSERT_TRUE(WaitForCallOver());
        }
        EXPECT_FALSE(IsWindow(window));
        // The line may still be reporting the ended call (the idle state after a hang-up); let that reach
        // the callback now, or it lands in the next row's call window.
        SyncWithCallback();
        main_.Flush();
        EXPECT_EQ(main_.CallsFinished(), finishedBefore + 1);
        EXPECT_EQ(main_.Malformed(), 0);
    }
};

struct CallStateRow {
    DWORD state;
    DWORD mode;
    Outcome outcome;
};

const CallStateRow kCallStates[] = {
    {LINECALLSTATE_IDLE, 0, {L"Line is idle", false}},
    {LINECALLSTATE_DIALTONE, LINEDIALTONEMODE_NORMAL, {L"Dial tone", false}},
    {LINECALLSTATE_DIALING, 0, {L"Dialing...", false}},
    {LINECALLSTATE_RINGBACK, 0, {L"Ring back", false}},
    {LINECALLSTATE_BUSY, LINEBUSYMODE_STATION, {L"Line busy, shutting down.", true}},
    {LINECALLSTATE_SPECIALINFO, 0, {L"Special Information, couldn't dial number", true}},
    {LINECALLSTATE_CONNECTED, 0, {L"Connected", false}},
    {LINECALLSTATE_PROCEEDING, 0, {L"Dialing completed, call proceeding.", false}},
    {LINECALLSTATE_OFFERING, 0, {L" ", false}},
    {LINECALLSTATE_ACCEPTED, 0, {L" ", false}},
    {LINECALLSTATE_ONHOLD, 0, {L" ", false}},
    {LINECALLSTATE_UNKNOWN, 0, {L" ", false}},
    {LINECALLSTATE_DISCONNECTED | LINECALLSTATE_IDLE, 0, {L" ", false}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL, {L"Remote party disconnected", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_REJECT, {L"Remote Party rejected call", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_PICKUP, {L"Disconnected: Local phone picked up", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_FORWARDED, {L"Disconnected: Forwarded", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_BUSY, {L"Disconnected: Busy", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NOANSWER, {L"Disconnected: No Answer", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_BADADDRESS, {L"Disconnected: Bad address", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNREACHABLE, {L"Disconnected: Unreachable", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_CONGESTION, {L"Disconnected: Congestion", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_INCOMPATIBLE, {L"Disconnected: Incompatible", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNAVAIL, {L"Disconnected: Unavailable", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NODIALTONE, {L"Disconnected: No dial tone", true}},
    {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNKNOWN, {L"Disconnected: Unknown reason", true}},
    {LINECALLSTATE_DISCONNECTED, 0x2000, {L"Disconnected: Unknown reason", true}},
    {LINECALLSTATE_DISCONNECTED,
     LINEDISCONNECTMODE_NORMAL | LINEDISCONNECTMODE_BUSY,
     {L"Disconnected: Unknown reason", true}},
};

TEST_F(CallProgressTest, EveryCallStateShowsItsTextAndEndsTheCallOrNot) {
    for (const CallStateRow& row : kCallStates) {
        SCOPED_TRACE(testing::Message() << "state 0x" << std::hex << row.state << " mode 0x" << row.mode);
        Expect([&] { Deliver(LINE_CALLSTATE, CurrentCall(), row.state, row.mode); }, row.outcome);
    }
}

struct LineEventRow {
    const char* what;
    DWORD message;
    DWORD param1, param2, param3;
    Outcome outcome;
};

const LineEventRow kLineDevStates[] = {
    {"disconnected",
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_DISCONNECTED,
     0,
     0,
     {L"The line selected is disconnected.", true}},
    {"out of service",
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_OUTOFSERVICE,
     0,
     0,
     {L"The line selected is out of service.", true}},
    {"maintenance",
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_MAINTENANCE,
     0,
     0,
     {L"The line selected is out for maintenance.", true}},
    {"ringing", LINE_LINEDEVSTATE, LINEDEVSTATE_RINGING, 0, 0, {nullptr, false}},
    {"in service", LINE_LINEDEVSTATE, LINEDEVSTATE_INSERVICE, 0, 0, {nullptr, false}},
    {"two bits at once", LINE_LINEDEVSTATE, 0x88, 0, 0, {nullptr, false}},
    {"reinit as out of service",
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_REINIT,
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_OUTOFSERVICE,
     {L"The line selected is out of service.", true}},
    {"reinit as disconnected",
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_REINIT,
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_DISCONNECTED,
     {L"The line selected is disconnected.", true}},
    {"reinit as ringing",
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_REINIT,
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_RINGING,
     {nullptr, false}},
    {"reinit with a message not translated",
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_REINIT,
     LINE_CALLSTATE,
     LINECALLSTATE_DISCONNECTED,
     {nullptr, false}},
    {"reinit with another message",
     LINE_LINEDEVSTATE,
     LINEDEVSTATE_REINIT,
     5,
     LINEDEVSTATE_OUTOFSERVICE,
     {nullptr, false}},
};

TEST_F(CallProgressTest, EveryLineDeviceStateShowsItsTextAndEndsTheCallOrIsIgnored) {
    for (const LineEventRow& row : kLineDevStates) {
        SCOPED_TRACE(row.what);
        Expect([&] { Deliver(row.message, CurrentLine(), row.param1, row.param2, row.param3); }, row.outcome);
    }
}

struct ReplyRow {
    const char* what;
    DWORD requestOffset; // added to the make-call request
    DWORD result;
    Outcome outcome;
};

const ReplyRow kReplies[] = {
    {"success", 0, 0, {nullptr, false}},
    {"failure of another request", 1000, static_cast<DWORD>(LINEERR_CALLUNAVAIL), {nullptr, false}},
    {"call unavailable", 0, static_cast<DWORD>(LINEERR_CALLUNAVAIL), {L"The line is not available.", true}},
    {"operation failed", 0, static_cast<DWORD>(LINEERR_OPERATIONFAILED), {L"Closing line", true}},
    {"resource unavailable", 0, static_cast<DWORD>(LINEERR_RESOURCEUNAVAIL), {L"Closing line", true}},
};

TEST_F(CallProgressTest, OnlyAFailingReplyToTheCallRequestEndsTheCall) {
    for (const ReplyRow& row : kReplies) {
        SCOPED_TRACE(row.what);
        Expect(
            [&] {
                Deliver(LINE_REPLY, 0, static_cast<DWORD>(CurrentRequest()) + row.requestOffset, row.result);
            },
            row.outcome);
    }
}

TEST_F(CallProgressTest, OnlyTheClosingOfTheCallsLineEndsTheCall) {
    Expect([&] { Deliver(LINE_CLOSE, CurrentLine() + 2, 0); }, {nullptr, false});
    Expect([&] { Deliver(LINE_CLOSE, CurrentLine(), 0); }, {L"Closing line", true});
}

TEST_F(CallProgressTest, ReinitWithoutTranslationAsksAboveTheCallWindowAndTheCallGoesOn) {
    const std::pair<DWORD, DWORD> reports[] = {
        {0, 0},                                   // nothing to translate
        {LINE_LINEDEVSTATE, LINEDEVSTATE_REINIT}, // translated into a report that has nothing to translate
    };
    for (const auto& [message, param3] : reports) {
        SCOPED_TRACE(message);
        Expect(
            [&, message = message, param3 = param3] {
                HWND callWindow;
                {
                    std::lock_guard lock(g_telephony.lock);
                    callWindow = g_telephony.callWindow;
                }
                Deliver(LINE_LINEDEVSTATE, CurrentLine(), LINEDEVSTATE_REINIT, message, param3);
                const auto box = WaitForMessageBox();
                ASSERT_TRUE(box);
                EXPECT_EQ(box->caption, L"Error");
                EXPECT_EQ(box->text, L"Line configuration has been changed. ");
                EXPECT_EQ(box->type, MB_OK);
                EXPECT_EQ(box->owner, callWindow);
                ASSERT_TRUE(Answer(box->hwnd, IDOK));
            },
            {nullptr, false});
    }
}

TEST_F(CallProgressTest, ReinitWithoutACallIsAnOwnerlessBoxAndNothingElse) {
    Deliver(LINE_LINEDEVSTATE, 0, LINEDEVSTATE_REINIT, 0, 0);
    const auto box = WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, L"Error");
    EXPECT_EQ(box->text, L"Line configuration has been changed. ");
    EXPECT_EQ(box->owner, nullptr);
    ASSERT_TRUE(Answer(box->hwnd, IDOK));
    main_.Flush();
    EXPECT_EQ(main_.CallsFinished(), 0);
    EXPECT_TRUE(JournalFunctions(ReleaseFunctions()).empty());
    std::lock_guard lock(g_telephony.lock);
    EXPECT_NE(g_telephony.hLineApp, 0u); // the use of TAPI is not restarted
}

TEST_F(CallProgressTest, AnAnsweredCallFollowsTheReportedStatesUntilTheFarEndHangsUp) {
    PlaceCall();
    const HWND window = WaitForCallWindow();
    ASSERT_NE(window, nullptr);
    const std::pair<DWORD, DWORD> states[] = {
        {LINECALLSTATE_DIALING, 0},
        {LINECALLSTATE_RINGBACK, 0},
        {LINECALLSTATE_CONNECTED, 0},
        {LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL},
    };
    for (const auto& [state, mode] : states) {
        platform::tapi::SimulatedLineService::InjectedEvent event;
        event.message = LINE_CALLSTATE;
        event.param1 = state;
        event.param2 = mode;
        std::string error;
        ASSERT_TRUE(line_->Inject(event, &error)) << error;
    }
    ASSERT_TRUE(WaitForCallOver());
    const std::vector<std::wstring> expected = {L"Dialing...", L"Ring back", L"Connected",
                                                L"Remote party disconnected"};
    EXPECT_EQ(StatusLog::Texts(), expected);
    EXPECT_EQ(JournalFunctions(ReleaseFunctions()), ReleaseFunctions());
    EXPECT_FALSE(IsWindow(window));
    main_.Flush();
    EXPECT_EQ(main_.CallsFinished(), 1);
}

// However fast the exchange plays the call (events before the window exists included), the call ends,
// the window closes and monitoring resumes once per call.
TEST_F(CallProgressTest, ScriptedCallsEndOnceAtAnySpeed) {
    platform::Clock::SetFactor(50.0);
    for (const char* preset : {"answer-then-hangup 1", "busy", "reject", "unreachable", "no-answer 1"}) {
        SCOPED_TRACE(preset);
        platform::tapi::CallScript script;
        std::string error;
        ASSERT_TRUE(platform::tapi::ParseCallScript(preset, &script, &error)) << error;
        line_->SetCallScript(script);
        main_.Flush();
        const int before = main_.CallsFinished();
        const std::uint64_t from = Journal().NextSeq();
        PlaceCall();
        ASSERT_TRUE(WaitForCallOver());
        EXPECT_EQ(JournalFunctions(ReleaseFunctions(), from), ReleaseFunctions());
        main_.Flush();
        EXPECT_EQ(main_.CallsFinished(), before + 1);
    }
}

} // namespace
} // namespace lullwatch::test
