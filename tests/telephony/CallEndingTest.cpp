// How alarm placements end: hanging up, events that come before the call window or after the call,
// requests refused at once, lines that cannot be opened, a missing window template, and "Hang Up" at the
// moment the far end hangs up. Whatever happens, the call and its line are released once and the main
// window hears ID_CALL_FINISHED exactly once per placement.
#include "TelephonyTestSupport.h"

#include "app/Resource.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/win/Desktop.h"
#include "telephony/LineFailureNotice.h"
#include "telephony/LineSetup.h"

#include <latch>

namespace lullwatch::test {
namespace {

using platform::tapi::Journal;

constexpr wchar_t kLineFailureText[] = L"Cannot open the phone line.\nThe alarm call was not placed.";

class CallEndingTest : public TelephonyTest {
protected:
    void ExpectFinished(int count) {
        main_.Flush();
        EXPECT_EQ(main_.CallsFinished(), count);
        EXPECT_EQ(main_.Malformed(), 0);
    }

    int MessageBoxesUp() {
        int count = 0;
        for (const auto& w : platform::desktop::EnumerateTopLevels()) {
            count += platform::controls::IsMessageBox(w.hwnd) ? 1 : 0;
        }
        return count;
    }
};

TEST_F(CallEndingTest, HangUpWhileDialingReleasesInOrderAndLaterEventsChangeNothing) {
    StartTelephony({{"call-script", "silent"}});
    PlaceCall();
    const HWND window = WaitForCallWindow();
    ASSERT_NE(window, nullptr);
    const HCALL call = CurrentCall();
    const HLINE line = CurrentLine();
    Deliver(LINE_CALLSTATE, call, LINECALLSTATE_DIALING);
    ASSERT_TRUE(StatusLog::WaitForCount(1));

    const std::uint64_t hangUp = Journal().NextSeq();
    HangUp(window);
    ASSERT_TRUE(WaitForCallOver());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(JournalFunctions(ReleaseFunctions(), hangUp), ReleaseFunctions());
    EXPECT_EQ(line_->Calls().back().end, "dropped");
    ExpectFinished(1);

    // Events of the dropped call and its line, after the window has gone.
    const std::uint64_t after = Journal().NextSeq();
    Deliver(LINE_CALLSTATE, call, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL);
    Deliver(LINE_CLOSE, line, 0);
    Deliver(LINE_REPLY, 0, static_cast<DWORD>(CurrentRequest()), static_cast<DWORD>(LINEERR_CALLUNAVAIL));
    SyncWithCallback();
    EXPECT_TRUE(JournalFunctions(ReleaseFunctions(), after).empty());
    EXPECT_EQ(StatusLog::Texts(), std::vector<std::wstring>{L"Dialing..."});
    ExpectFinished(1);
}

TEST_F(CallEndingTest, EscapeAndEnterEndTheCallLikeHangUp) {
    StartTelephony({{"call-script", "silent"}});
    for (const UINT key : {VK_ESCAPE, VK_RETURN}) {
        PlaceCall();
        ASSERT_NE(WaitForCallWindow(), nullptr);
        platform::desktop::InjectKey(key, true);
        platform::desktop::InjectKey(key, false);
        ASSERT_TRUE(WaitForCallOver());
    }
    ExpectFinished(2);
}

// The request fails before the call window exists: the window that comes up afterwards closes itself.
TEST_F(CallEndingTest, AnEndingEventBeforeTheWindowClosesTheWindowAtOnce) {
    struct Early {
        const char* what;
        const char* script;
        DWORD state; // 0: the script's failing reply is the early event
    };
    const Early cases[] = {
        {"failing reply", "fail-reply", 0},
        {"far end hangs up", "silent", LINECALLSTATE_DISCONNECTED},
    };
    StartTelephony({});
    int placements = 0;
    for (const Early& early : cases) {
        SCOPED_TRACE(early.what);
        platform::tapi::CallScript script;
        std::string error;
        ASSERT_TRUE(platform::tapi::ParseCallScript(early.script, &script, &error)) << error;
        line_->SetCallScript(script);
        const std::uint64_t from = Journal().NextSeq();
        PlaceCall(L"5551234", [&] {
            if (early.state != 0) {
                platform::tapi::SimulatedLineService::InjectedEvent event;
                event.message = LINE_CALLSTATE;
                event.param1 = early.state;
                event.param2 = LINEDISCONNECTMODE_NORMAL;
                std::string why;
                EXPECT_TRUE(line_->Inject(event, &why)) << why;
            }
            // The callback releases the call while the window is still being made.
            EXPECT_TRUE(Journal().WaitFor("lineClose", from, kDeadline));
        });
        ASSERT_TRUE(WaitForCallOver());
        ++placements;
        EXPECT_TRUE(StatusLog::Texts().empty());
        EXPECT_EQ(JournalFunctions(ReleaseFunctions(), from), ReleaseFunctions());
        ExpectFinished(placements);
    }
}

// A failing reply may reach the callback while lineMakeCall is still returning: repeated, so that the
// orders of reply, request store and window creation vary.
TEST_F(CallEndingTest, FailingRepliesAtOnceEndEveryPlacementOnce) {
    StartTelephony({{"call-script", "fail-reply operationfailed"}});
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        PlaceCall();
        ASSERT_TRUE(WaitForCallOver());
        ExpectFinished(i);
    }
    EXPECT_EQ(JournalFunctions({"lineClose"}).size(), 8u);
}

TEST_F(CallEndingTest, AnEndingEventWithoutACallReleasesNothingAndPostsNothing) {
    StartTelephony({});
    Deliver(LINE_CALLSTATE, 0x1234, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL);
    Deliver(LINE_LINEDEVSTATE, 0, LINEDEVSTATE_OUTOFSERVICE);
    SyncWithCallback();
    EXPECT_TRUE(JournalFunctions(ReleaseFunctions()).empty());
    ExpectFinished(0);
    // The next placement is not taken for ended.
    PlaceCall();
    const HWND window = WaitForCallWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(CallWindowUp());
    HangUp(window);
    ASSERT_TRUE(WaitForCallOver());
    ExpectFinished(1);
}

TEST_F(CallEndingTest, TheWholeNumberIsDialledAndTheWindowShowsAtMostEighty) {
    StartTelephony({{"call-script", "silent"}});
    for (const std::size_t length : {5u, 80u, 81u, 120u}) {
        SCOPED_TRACE(length);
        std::wstring number;
        for (std::size_t i = 0; i < length; ++i) {
            number += static_cast<wchar_t>(L'0' + i % 10);
        }
        const std::uint64_t from = Journal().NextSeq();
        PlaceCall(number);
        const HWND window = WaitForCallWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ControlText(window, IDC_CALL_NUMBER), number.substr(0, 80));
        const auto dialled = JournalOf("lineMakeCall", from);
        ASSERT_EQ(dialled.size(), 1u);
        EXPECT_EQ(dialled[0].text, number);
        EXPECT_EQ(line_->Calls().back().number, number);
        HangUp(window);
        ASSERT_TRUE(WaitForCallOver());
    }
}

TEST_F(CallEndingTest, ARefusedRequestReleasesTheLineAndResumesMonitoringWithoutAWord) {
    StartTelephony({{"call-script", "refuse"}});
    PlaceCall();
    ASSERT_TRUE(WaitForCallOver());
    const auto requests = JournalOf("lineMakeCall");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].result, LINEERR_CALLUNAVAIL);
    EXPECT_EQ(JournalFunctions(ReleaseFunctions()), std::vector<std::string>{"lineClose"});
    ExpectFinished(1);
    EXPECT_EQ(MessageBoxesUp(), 0);
    EXPECT_TRUE(StatusLog::Texts().empty());
}

// A line that cannot be opened: monitoring resumes at once and the failure is told by a box that the
// alarm path does not wait for; alarms meanwhile try again and add no second box.
TEST_F(CallEndingTest, ALineThatCannotBeOpenedResumesMonitoringAndIsToldOnce) {
    struct Case {
        const char* what;
        bool startTelephony;
        std::map<std::string, std::string> keys;
        const char* openArgs;
    };
    const Case cases[] = {
        {"after a failed start-up", false, {}, "hLineApp=0x00000000 device=4294967295 version=0x00000000"},
        {"no voice device", true, {{"device.0.media", "data"}}, "device=4294967295 version=0x00000000"},
    };
    int placements = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.startTelephony) {
            StartTelephony(c.keys);
        } else {
            Install(c.keys);
        }
        for (int attempt = 0; attempt < 2; ++attempt) {
            PlaceCall();
            ASSERT_TRUE(WaitForCallOver()); // returns although nobody has answered the box
            ExpectFinished(++placements);
        }
        const auto opens = JournalOf("lineOpen");
        ASSERT_EQ(opens.size(), 1u); // the second, identical attempt is folded into the first
        EXPECT_EQ(opens[0].repeats, 1u);
        EXPECT_NE(opens[0].args.find(c.openArgs), std::string::npos) << opens[0].args;
        EXPECT_LT(opens[0].result, 0);
        EXPECT_TRUE(JournalOf("lineMakeCall").empty());

        const auto box = WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->caption, L"Error");
        EXPECT_EQ(box->text, kLineFailureText);
        EXPECT_EQ(box->type, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(box->owner, nullptr);
        EXPECT_EQ(MessageBoxesUp(), 1);
        ASSERT_TRUE(Answer(box->hwnd, IDOK));
        ASSERT_EQ(WaitForSingleObject(LineFailureNoticeThread(), INFINITE), WAIT_OBJECT_0);
        TelephonyShutdown();
    }
}

TEST_F(CallEndingTest, WithoutItsWindowTemplateTheCallIsReleasedAndMonitoringResumes) {
    StartTelephony({{"call-script", "silent"}});
    instance_ = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x00500000)); // holds nothing
    PlaceCall();
    ASSERT_TRUE(WaitForCallOver());
    EXPECT_EQ(JournalFunctions(ReleaseFunctions()), ReleaseFunctions());
    ExpectFinished(1);
    EXPECT_FALSE(CallWindowUp());
}

// "Hang Up" and the far end's hang-up at the same moment: one release, one ID_CALL_FINISHED.
TEST_F(CallEndingTest, HangUpAndRemoteDisconnectTogetherEndTheCallOnce) {
    StartTelephony({{"call-script", "silent"}});
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        const std::uint64_t from = Journal().NextSeq();
        PlaceCall();
        const HWND window = WaitForCallWindow();
        ASSERT_NE(window, nullptr);
        const HCALL call = CurrentCall();
        const POINT hangUp = HangUpPoint(window);
        std::latch go(2);
        std::thread user([&] {
            go.arrive_and_wait();
            platform::desktop::InjectClick(hangUp);
        });
        std::thread farEnd([&] {
            go.arrive_and_wait();
            Deliver(LINE_CALLSTATE, call, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL);
        });
        user.join();
        farEnd.join();
        ASSERT_TRUE(WaitForCallOver());
        SyncWithCallback();
        EXPECT_EQ(JournalFunctions(ReleaseFunctions(), from), ReleaseFunctions());
        ExpectFinished(i);
    }
}

} // namespace
} // namespace lullwatch::test
