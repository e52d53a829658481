// Calls through the line API on the simulated service: requests and replies, scripted call progress at
// device times, hanging up, releasing from inside the callback, a blocking callback, shutdown.
#include "LineTestSupport.h"

#include <atomic>

namespace lullwatch::test {
namespace {

using platform::Clock;

class LineCallTest : public LineTest {
protected:
    // Initialises, opens device 0 with `instance`, sets the script and speeds the clock up.
    void Prepare(const std::string& script, double factor = 50.0, DWORD_PTR instance = 0) {
        Install({{"call-script", script}, {"devices", "2"}});
        app_ = Initialize();
        line_0_ = Open(app_, 0, instance);
        Clock::SetFactor(factor);
    }

    LONG MakeCall(HCALL* call, const wchar_t* number = L"5551234", HLINE line = 0) {
        return lineMakeCall(line != 0 ? line : line_0_, call, number, 0, nullptr);
    }

    HLINEAPP app_ = 0;
    HLINE line_0_ = 0;
};

TEST_F(LineCallTest, MakeCallAnswersARequestThenReplies) {
    Prepare("silent");
    HCALL call = 0;
    const LONG request = MakeCall(&call);
    ASSERT_GT(request, 0);
    EXPECT_NE(call, 0u);
    auto reply = Recorder::Instance().WaitForMessage(LINE_REPLY);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->param1, static_cast<DWORD_PTR>(request));
    EXPECT_EQ(reply->param2, 0u);
    EXPECT_EQ(reply->device, 0u);
    EXPECT_NE(reply->thread, std::this_thread::get_id());

    const auto calls = line_->Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].number, L"5551234");
    EXPECT_EQ(calls[0].call, call);
}

struct Expected {
    DWORD message;
    DWORD param1;
    DWORD param2;
    std::uint64_t atMs; // scripted time after lineMakeCall
};

TEST_F(LineCallTest, ScriptedCallStatesArriveInOrderAtDeviceTimes) {
    Prepare("0:reply 200:dialtone 600:dialing 1600:proceeding 2600:ringback 8000:connected "
            "20000:disconnected/normal",
            50.0, 0x5A5A);
    const Expected expected[] = {
        {LINE_REPLY, 0, 0, 0},
        {LINE_CALLSTATE, LINECALLSTATE_DIALTONE, LINEDIALTONEMODE_NORMAL, 200},
        {LINE_CALLSTATE, LINECALLSTATE_DIALING, 0, 600},
        {LINE_CALLSTATE, LINECALLSTATE_PROCEEDING, 0, 1600},
        {LINE_CALLSTATE, LINECALLSTATE_RINGBACK, 0, 2600},
        {LINE_CALLSTATE, LINECALLSTATE_CONNECTED, 0, 8000},
        {LINE_CALLSTATE, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL, 20000},
    };
    HCALL call = 0;
    const std::uint64_t placedAt = Clock::NowMs();
    const LONG request = MakeCall(&call);
    ASSERT_GT(request, 0);
    ASSERT_TRUE(Recorder::Instance().WaitForCallState(LINECALLSTATE_DISCONNECTED));

    const auto got = Recorder::Instance().Messages();
    ASSERT_EQ(got.size(), std::size(expected));
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        const Expected& e = expected[i];
        EXPECT_EQ(got[i].message, e.message);
        EXPECT_EQ(got[i].param2, e.message == LINE_REPLY ? 0u : e.param2);
        EXPECT_GE(got[i].atMs, placedAt + e.atMs);
        EXPECT_EQ(got[i].instance, 0x5A5Au);
        if (e.message == LINE_REPLY) {
            EXPECT_EQ(got[i].param1, static_cast<DWORD_PTR>(request));
        } else {
            EXPECT_EQ(got[i].param1, e.param1);
            EXPECT_EQ(got[i].device, call);
        }
    }
}

struct PresetCase {
    const char* script;
    DWORD lastState;
    DWORD lastMode;
};

TEST_F(LineCallTest, PresetsEndAsTheirNamesSay) {
    const PresetCase cases[] = {
        {"answer-then-hangup 2", LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL},
        {"busy", LINECALLSTATE_BUSY, LINEBUSYMODE_STATION},
        {"no-answer 5", LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NOANSWER},
        {"reject", LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_REJECT},
        {"unreachable", LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_UNREACHABLE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        Prepare(c.script, 200.0);
        HCALL call = 0;
        ASSERT_GT(MakeCall(&call), 0);
        auto last = Recorder::Instance().WaitForCallState(c.lastState);
        ASSERT_TRUE(last);
        EXPECT_EQ(last->param2, c.lastMode);
        if (std::string(c.script).rfind("answer", 0) == 0) {
            EXPECT_TRUE(Recorder::Instance().WaitForCallState(LINECALLSTATE_CONNECTED));
        }
        Shutdown(app_);
    }
}

TEST_F(LineCallTest, RefusalReturnsTheCodeAndLeavesNoHandle) {
    Prepare("refuse resourceunavail");
    HCALL call = 0;
    EXPECT_EQ(MakeCall(&call), LINEERR_RESOURCEUNAVAIL);
    EXPECT_EQ(call, 0u);
    const auto calls = line_->Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].end, "refused");
    EXPECT_EQ(lineClose(line_0_), 0);
}

TEST_F(LineCallTest, FailingReplyCarriesItsCodeAndTheCallCanStillBeReleased) {
    Prepare("fail-reply callunavail 100");
    HCALL call = 0;
    const LONG request = MakeCall(&call);
    ASSERT_GT(request, 0);
    auto reply = Recorder::Instance().WaitForMessage(LINE_REPLY);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->param1, static_cast<DWORD_PTR>(request));
    EXPECT_EQ(reply->param2, 0x80000005u);
    // What the program's release does after a failed request.
    EXPECT_EQ(lineDrop(call, nullptr, 0), LINEERR_INVALCALLSTATE);
    EXPECT_EQ(lineDeallocateCall(call), 0);
    EXPECT_EQ(lineClose(line_0_), 0);
}

TEST_F(LineCallTest, OneCallAtATimePerLine) {
    Prepare("silent");
    HCALL first = 0;
    HCALL second = 0;
    ASSERT_GT(MakeCall(&first), 0);
    EXPECT_EQ(MakeCall(&second), LINEERR_CALLUNAVAIL);
    EXPECT_EQ(second, 0u);
}

TEST_F(LineCallTest, HangingUpWhileDialingStopsTheScript) {
    Prepare("answer-then-hangup 10", 20.0);
    HCALL call = 0;
    const LONG request = MakeCall(&call);
    ASSERT_GT(request, 0);
    ASSERT_TRUE(Recorder::Instance().WaitForCallState(LINECALLSTATE_DIALING));

    const LONG drop = lineDrop(call, nullptr, 0);
    EXPECT_GT(drop, 0);
    EXPECT_EQ(lineDeallocateCall(call), 0);
    EXPECT_EQ(lineClose(line_0_), 0);
    auto dropReply = Recorder::Instance().WaitFor([drop](const Received& r) {
        return r.message == LINE_REPLY && r.param1 == static_cast<DWORD_PTR>(drop);
    });
    ASSERT_TRUE(dropReply);
    EXPECT_EQ(dropReply->param2, 0u);

    const std::vector<std::string> expected = {"lineOpen", "lineMakeCall", "lineDrop", "lineDeallocateCall",
                                               "lineClose"};
    EXPECT_EQ(JournalFunctions(journalStart_, expected), expected);
    const auto journal = platform::tapi::Journal().Entries(journalStart_);
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back().result, 0);

    // The exchange reported nothing after the drop but the idle state; the rest of the script is gone.
    const auto calls = line_->Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].end, "dropped");
    ASSERT_FALSE(calls[0].reported.empty());
    EXPECT_EQ(calls[0].reported.back().param1, LINECALLSTATE_IDLE);
    for (const auto& r : calls[0].reported) {
        EXPECT_NE(r.param1, LINECALLSTATE_CONNECTED);
    }
    EXPECT_NE(line_->StatusText().find("script: answer-then-hangup 10"), std::string::npos);
    // The released handles are refused from now on.
    EXPECT_EQ(lineDrop(call, nullptr, 0), LINEERR_INVALCALLHANDLE);
    EXPECT_EQ(lineClose(line_0_), LINEERR_INVALLINEHANDLE);
}

TEST_F(LineCallTest, CallbackReleasesTheCallFromInsideItself) {
    Prepare("answer-then-hangup 1", 100.0);
    // Shared with the hook, which may still run on the event thread after a failed assertion.
    struct Results {
        std::atomic<bool> released{false};
        LONG drop = 1, deallocate = 1, close = 1;
    };
    auto results = std::make_shared<Results>();
    const HLINE line = line_0_;
    Recorder::Instance().SetHook([results, line](const Received& r) {
        if (r.message == LINE_CALLSTATE && r.param1 == LINECALLSTATE_DISCONNECTED) {
            results->drop = lineDrop(r.device, nullptr, 0);
            results->deallocate = lineDeallocateCall(r.device);
            results->close = lineClose(line);
            results->released.store(true, std::memory_order_release);
        }
    });
    HCALL handle = 0;
    ASSERT_GT(MakeCall(&handle), 0);
    ASSERT_TRUE(WaitUntil([&] { return results->released.load(std::memory_order_acquire); }));
    EXPECT_GT(results->drop, 0);
    EXPECT_EQ(results->deallocate, 0);
    EXPECT_EQ(results->close, 0);
    const std::vector<std::string> order = {"lineMakeCall", "lineDrop", "lineDeallocateCall", "lineClose"};
    EXPECT_EQ(JournalFunctions(journalStart_, order), order);
}

TEST_F(LineCallTest, BlockingCallbackDoesNotStallOtherThreads) {
    Prepare("silent");
    const HLINE second = Open(app_, 1);
    struct Gate {
        std::mutex mutex;
        std::condition_variable cv;
        bool blocked = false;
        bool release = false;
    };
    auto gate = std::make_shared<Gate>();
    Recorder::Instance().SetHook([gate](const Received& r) {
        if (r.message != LINE_REPLY) {
            return;
        }
        std::unique_lock lock(gate->mutex);
        if (gate->blocked) {
            return; // only the first reply blocks
        }
        gate->blocked = true;
        gate->cv.notify_all();
        gate->cv.wait_for(lock, kDeadline, [&] { return gate->release; });
    });
    HCALL first = 0;
    ASSERT_GT(MakeCall(&first), 0);
    {
        std::unique_lock lock(gate->mutex);
        ASSERT_TRUE(gate->cv.wait_for(lock, kDeadline, [&] { return gate->blocked; }));
    }
    // The callback is blocked; the line functions still answer on this thread.
    HCALL other = 0;
    const LONG request = MakeCall(&other, L"5550000", second);
    EXPECT_GT(request, 0);
    EXPECT_GT(lineDrop(first, nullptr, 0), 0);
    EXPECT_EQ(lineDeallocateCall(first), 0);
    {
        std::lock_guard lock(gate->mutex);
        EXPECT_FALSE(gate->release);
        gate->release = true;
    }
    gate->cv.notify_all();
    EXPECT_TRUE(Recorder::Instance().WaitFor([request](const Received& r) {
        return r.message == LINE_REPLY && r.param1 == static_cast<DWORD_PTR>(request);
    }));
}

TEST_F(LineCallTest, NoEventsAfterShutdown) {
    Prepare("answer-then-hangup 5", 20.0);
    HCALL call = 0;
    ASSERT_GT(MakeCall(&call), 0);
    ASSERT_TRUE(Recorder::Instance().WaitForCallState(LINECALLSTATE_DIALTONE));
    Shutdown(app_);
    const std::size_t atShutdown = Recorder::Instance().Count();

    // The call's script is stopped, and what would have gone to every application goes nowhere...
    const auto calls = line_->Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].end, "line closed");
    std::string error;
    EXPECT_TRUE(line_->Inject({LINE_LINEDEVSTATE, LINEDEVSTATE_REINIT, {}, {}, {}}, &error)) << error;
    EXPECT_TRUE(line_->Inject({LINE_CREATE, {}, {}, {}, {}}, &error)) << error;
    EXPECT_EQ(lineShutdown(app_), LINEERR_INVALAPPHANDLE);
    EXPECT_EQ(lineMakeCall(line_0_, &call, L"1", 0, nullptr), LINEERR_INVALLINEHANDLE);

    // ...so a marker sent to a newer application is the only message after the shutdown.
    Initialize();
    ASSERT_TRUE(line_->Inject({0x7777, 1, 2, 3, 0}, &error)) << error;
    ASSERT_TRUE(Recorder::Instance().WaitForMessage(0x7777, atShutdown));
    const auto all = Recorder::Instance().Messages();
    ASSERT_EQ(all.size(), atShutdown + 1);
    EXPECT_EQ(all.back().message, 0x7777u);
}

TEST_F(LineCallTest, ShutdownFromInsideTheCallback) {
    Prepare("answer-then-hangup 5", 20.0);
    auto result = std::make_shared<std::atomic<LONG>>(1);
    const HLINEAPP app = app_;
    Recorder::Instance().SetHook([result, app](const Received& r) {
        if (r.message == LINE_CALLSTATE && r.param1 == LINECALLSTATE_DIALTONE) {
            *result = lineShutdown(app);
        }
    });
    HCALL call = 0;
    ASSERT_GT(MakeCall(&call), 0);
    ASSERT_TRUE(WaitUntil([&] { return result->load() != 1; }));
    auto dialtone = Recorder::Instance().WaitForCallState(LINECALLSTATE_DIALTONE);
    ASSERT_TRUE(dialtone);
    EXPECT_EQ(result->load(), 0);
    // The dial tone was the last message of that application.
    const auto all = Recorder::Instance().Messages();
    EXPECT_EQ(all.back().message, LINE_CALLSTATE);
    EXPECT_EQ(all.back().param1, LINECALLSTATE_DIALTONE);
    EXPECT_EQ(line_->Calls().at(0).end, "line closed");
}

struct BadHandleCase {
    const char* what;
    std::function<LONG()> call;
    LONG expected;
};

TEST_F(LineCallTest, HandlesAndArgumentsAreChecked) {
    Prepare("silent");
    HLINE line = 0;
    HCALL call = 0;
    const HLINEAPP app = app_;
    const HLINE open = line_0_;
    const BadHandleCase cases[] = {
        {"lineOpen without app", [&] { return lineOpen(0, 0, &line, 0x00020000, 0, 0, 1, 0, nullptr); },
         LINEERR_INVALAPPHANDLE},
        {"lineOpen of no device",
         [&] { return lineOpen(app, 0xFFFFFFFF, &line, 0, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr); },
         LINEERR_BADDEVICEID},
        {"lineOpen with version 0",
         [&] { return lineOpen(app, 0, &line, 0, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr); },
         LINEERR_INCOMPATIBLEAPIVERSION},
        {"lineOpen without privileges",
         [&] { return lineOpen(app, 0, &line, 0x00020000, 0, 0, 0, 0, nullptr); }, LINEERR_INVALPRIVSELECT},
        {"lineOpen owner without media",
         [&] { return lineOpen(app, 0, &line, 0x00020000, 0, 0, LINECALLPRIVILEGE_OWNER, 0, nullptr); },
         LINEERR_INVALMEDIAMODE},
        {"lineOpen without out pointer",
         [&] { return lineOpen(app, 0, nullptr, 0x00020000, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr); },
         LINEERR_INVALPOINTER},
        {"lineMakeCall on no line", [&] { return lineMakeCall(0, &call, L"1", 0, nullptr); },
         LINEERR_INVALLINEHANDLE},
        {"lineMakeCall on the app handle", [&] { return lineMakeCall(app, &call, L"1", 0, nullptr); },
         LINEERR_INVALLINEHANDLE},
        {"lineMakeCall without out pointer", [&] { return lineMakeCall(open, nullptr, L"1", 0, nullptr); },
         LINEERR_INVALPOINTER},
        {"lineDrop of no call", [&] { return lineDrop(0, nullptr, 0); }, LINEERR_INVALCALLHANDLE},
        {"lineDrop of a line handle", [&] { return lineDrop(open, nullptr, 0); }, LINEERR_INVALCALLHANDLE},
        {"lineDeallocateCall of no call", [&] { return lineDeallocateCall(0); }, LINEERR_INVALCALLHANDLE},
        {"lineClose of no line", [&] { return lineClose(0); }, LINEERR_INVALLINEHANDLE},
        {"lineShutdown of no app", [&] { return lineShutdown(0); }, LINEERR_INVALAPPHANDLE},
        {"lineInitialize without callback",
         [&] {
             HLINEAPP a = 0;
             DWORD n = 0;
             return lineInitialize(&a, nullptr, nullptr, L"x", &n);
         },
         LINEERR_INVALPOINTER},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.call(), c.expected) << c.what;
    }
    EXPECT_EQ(line, 0u);
    EXPECT_EQ(call, 0u);
}

} // namespace
} // namespace lullwatch::test
