// What the line layer tells the Line indicator, and the connect timeout it applies to every call.
#include "LineTestSupport.h"

#include "platform/status/Indicators.h"
#include "platform/tapi/ConnectTimeout.h"
#include "platform/tapi/LineRegistry.h"
#include "platform/win/Utf8.h"

namespace lullwatch::test {
namespace {

using platform::Clock;
using platform::status::Indicator;
using platform::tapi::LineRegistry;
using platform::tapi::SimulatedLineService;

// "text; detail" of the Line indicator, or "" while it is clear.
std::string LineIndicator() {
    for (const auto& r : platform::status::Current()) {
        if (r.which == Indicator::Line) {
            return platform::ToUtf8(r.text) + "; " + r.detail;
        }
    }
    return "";
}

class LineHealthTest : public LineTest {
public:
    using LineTest::Open;
    HLINEAPP App() const { return apps_.back(); }
    LONG TryInitialize() {
        HLINEAPP app = 0;
        DWORD count = 0;
        const LONG result = lineInitialize(&app, nullptr, &Recorder::Callback, L"Lullwatch", &count);
        if (result == 0) {
            apps_.push_back(app);
        }
        return result;
    }
    void Inject(DWORD state, DWORD param2 = 0, DWORD param3 = 0) {
        std::string error;
        ASSERT_TRUE(line_->Inject({LINE_LINEDEVSTATE, state, param2, param3, std::nullopt}, &error)) << error;
    }
};

struct HealthCase {
    const char* name;
    std::map<std::string, std::string> keys;
    // Runs after lineInitialize has been tried; its result is given.
    std::function<void(LineHealthTest&, LONG initialized)> then;
    std::string expected;
};

TEST_F(LineHealthTest, IndicatorFollowsStartupOpeningAndServiceState) {
    const auto nothing = [](LineHealthTest&, LONG) {};
    const HealthCase cases[] = {
        {"start-up error", {{"init.error", "nomem"}}, nothing, "No line; lineInitialize: LINEERR_NOMEM"},
        {"reinit", {{"init.reinit", "always"}}, nothing, "No line; lineInitialize: LINEERR_REINIT"},
        {"no device", {{"devices", "0"}}, nothing, "No line; no line device"},
        {"no voice device", {{"device.0.media", "data"}}, nothing, "No line; no line device carries voice"},
        {"voice on a later device", {{"devices", "2"}, {"device.0.media", "data"}}, nothing, ""},
        {"out of service",
         {},
         [](LineHealthTest& t, LONG) { t.Inject(LINEDEVSTATE_OUTOFSERVICE); },
         "Line out of service; LINEDEVSTATE_OUTOFSERVICE"},
        {"out of service and back",
         {},
         [](LineHealthTest& t, LONG) {
             t.Inject(LINEDEVSTATE_OUTOFSERVICE);
             t.Inject(LINEDEVSTATE_INSERVICE);
         },
         ""},
        {"maintenance as a translated reinit",
         {},
         [](LineHealthTest& t, LONG) {
             t.Inject(LINEDEVSTATE_REINIT, LINE_LINEDEVSTATE, LINEDEVSTATE_MAINTENANCE);
         },
         "Line in maintenance; LINEDEVSTATE_MAINTENANCE"},
        {"another device out of service",
         {{"devices", "2"}},
         [](LineHealthTest&, LONG) {
             LineRegistry::Instance().DeviceStateChanged(1, LINEDEVSTATE_OUTOFSERVICE, 0, 0);
         },
         ""},
        {"the service's own words",
         {},
         [](LineHealthTest&, LONG) {
             LineRegistry::Instance().OutageReason(0, L"Not registered", "registrar: 408 Request Timeout");
             LineRegistry::Instance().DeviceStateChanged(0, LINEDEVSTATE_OUTOFSERVICE, 0, 0);
         },
         "Not registered; registrar: 408 Request Timeout"},
        {"open fails",
         {},
         [](LineHealthTest& t, LONG) {
             HLINE line = 0;
             EXPECT_EQ(lineOpen(t.App(), 0, &line, 0x00090000, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr),
                       LINEERR_INCOMPATIBLEAPIVERSION);
         },
         "Line cannot be opened; lineOpen device 0: LINEERR_INCOMPATIBLEAPIVERSION"},
        {"open fails, then works",
         {},
         [](LineHealthTest& t, LONG) {
             HLINE line = 0;
             lineOpen(t.App(), 0, &line, 0x00090000, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr);
             t.Open(t.App());
         },
         ""},
        {"open fails while no device carries voice",
         {{"device.0.media", "data"}},
         [](LineHealthTest& t, LONG) {
             HLINE line = 0;
             lineOpen(t.App(), 0xFFFFFFFF, &line, 0, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr);
         },
         "No line; no line device carries voice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Install(c.keys);
        EXPECT_EQ(LineIndicator(), "") << "a new service starts clear";
        const LONG initialized = TryInitialize();
        c.then(*this, initialized);
        EXPECT_EQ(LineIndicator(), c.expected);
        TearDown();
    }
}

TEST_F(LineHealthTest, StartupThatWorksLaterClearsTheIndicator) {
    Install({{"init.reinit", "40000"}});
    ASSERT_EQ(TryInitialize(), LINEERR_REINIT);
    EXPECT_EQ(LineIndicator(), "No line; lineInitialize: LINEERR_REINIT");
    Clock::SetFactor(1000.0);
    ASSERT_TRUE(WaitUntil([this] { return TryInitialize() == 0; }));
    EXPECT_EQ(LineIndicator(), "");
}

class ConnectTimeoutTest : public LineTest {
protected:
    void TearDown() override {
        LineTest::TearDown();
        platform::tapi::SetConnectTimeoutMs(platform::tapi::kDefaultConnectTimeoutMs);
    }
    // Places a call on the script with a 2-device-second limit, the clock 50 times faster.
    HCALL Place(const std::string& script) {
        Install({{"call-script", script}});
        platform::tapi::SetConnectTimeoutMs(2000);
        line_0_ = Open(Initialize());
        Clock::SetFactor(50.0);
        HCALL call = 0;
        placedAt_ = Clock::NowMs();
        EXPECT_GT(lineMakeCall(line_0_, &call, L"5551234", 0, nullptr), 0);
        return call;
    }
    HLINE line_0_ = 0;
    std::uint64_t placedAt_ = 0;
};

TEST_F(ConnectTimeoutTest, CallThatNeverConnectsEndsAsUnanswered) {
    const HCALL call = Place("silent");
    const auto ended = Recorder::Instance().WaitForCallState(LINECALLSTATE_DISCONNECTED);
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->param2, LINEDISCONNECTMODE_NOANSWER);
    EXPECT_EQ(ended->device, call);
    EXPECT_GE(ended->atMs, placedAt_ + 2000);
    EXPECT_EQ(line_->Calls().back().end, "deallocated") << "the service has hung up";

    // The program's usual release goes through: the drop is answered at once with success.
    const std::size_t before = Recorder::Instance().Count();
    const LONG drop = lineDrop(call, nullptr, 0);
    ASSERT_GT(drop, 0);
    const auto reply = Recorder::Instance().WaitForMessage(LINE_REPLY, before);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->param1, static_cast<DWORD_PTR>(drop));
    EXPECT_EQ(reply->param2, 0u);
    EXPECT_EQ(lineDeallocateCall(call), 0);
    EXPECT_EQ(lineClose(line_0_), 0);
}

TEST_F(ConnectTimeoutTest, ConnectedCallIsNotTouched) {
    Place("0:reply 1000:ringback 1500:connected 5000:disconnected/normal");
    const auto ended = Recorder::Instance().WaitForCallState(LINECALLSTATE_DISCONNECTED);
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->param2, LINEDISCONNECTMODE_NORMAL);
    EXPECT_GE(ended->atMs, placedAt_ + 5000);
}

TEST_F(ConnectTimeoutTest, ReleasedCallIsForgotten) {
    const HCALL call = Place("silent");
    EXPECT_EQ(lineDeallocateCall(call), 0);
    const std::uint64_t after = placedAt_ + 3000;
    ASSERT_TRUE(WaitUntil([after] { return Clock::NowMs() > after; }));
    EXPECT_FALSE(Recorder::Instance().WaitFor([](const Received& r) { return r.message == LINE_CALLSTATE; },
                                              0, std::chrono::milliseconds(50)));
}

} // namespace
} // namespace lullwatch::test
