#include "SipTestSupport.h"

#include "platform/tapi/sip/SipConfig.h"
#include "platform/wave/WaveService.h"

namespace lullwatch::test {

using platform::tapi::sipline::SipConfig;
using platform::tapi::sipline::SipLineService;

void SipLineTest::SetUp() {
    platform::Clock::SetFactor(1.0);
    Recorder::Instance().Reset();
    platform::wave::WaveConfig sound;
    std::string error;
    ASSERT_TRUE(platform::wave::ParseWaveConfig(
        {{"source", "generator"},
         {"generator", "tone " + std::to_string(static_cast<int>(kRoomToneHz)) + " 100"}},
        "", &sound, &error))
        << error;
    ASSERT_TRUE(platform::wave::Configure(sound, &error)) << error;
}

void SipLineTest::TearDown() {
    StopService();
    platform::wave::Shutdown();
}

void SipLineTest::StartService(const std::map<std::string, std::string>& keys, const std::string& password) {
    std::map<std::string, std::string> all = {
        {"user", "monitor"}, {"domain", "127.0.0.1"}, {"local", "127.0.0.1"}};
    for (const auto& [key, value] : keys) {
        all[key] = value;
    }
    SipConfig config;
    std::string error;
    ASSERT_TRUE(platform::tapi::sipline::ParseSipConfig(all, "", "", &config, &error)) << error;
    config.password = password;
    service_ = SipLineService::Start(config, &error);
    ASSERT_TRUE(service_) << error;
    platform::tapi::InstallService(service_);
    DWORD count = 0;
    ASSERT_EQ(lineInitialize(&app_, nullptr, &Recorder::Callback, L"Lullwatch", &count), 0);
    ASSERT_EQ(count, 1u);
    DWORD version = 0;
    ASSERT_EQ(lineNegotiateAPIVersion(app_, 0, 0x00010003, 0x00020000, &version, nullptr), 0);
    ASSERT_EQ(lineOpen(app_, 0, &line_, version, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
}

void SipLineTest::Reopen() {
    ASSERT_EQ(lineOpen(app_, 0, &line_, 0x00020000, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
}

void SipLineTest::StopService() {
    if (app_ != 0) {
        lineShutdown(app_);
        app_ = 0;
        line_ = 0;
        call_ = 0;
    }
    platform::tapi::InstallService(nullptr);
    service_.reset();
}

LONG SipLineTest::Call(const std::wstring& number) {
    const LONG request = lineMakeCall(line_, &call_, number.c_str(), 0, nullptr);
    EXPECT_GT(request, 0);
    return request;
}

std::optional<LONG> SipLineTest::ReplyTo(LONG request) {
    return Recorder::Instance().WaitForReply(request);
}

bool SipLineTest::WaitForState(DWORD state, std::optional<DWORD> mode) {
    return Recorder::Instance().WaitForStateOf(call_, state, mode);
}

std::vector<DWORD> SipLineTest::States() const {
    std::vector<DWORD> states;
    for (const Received& r : Recorder::Instance().Messages()) {
        if (r.message == LINE_CALLSTATE && r.device == call_) {
            states.push_back(static_cast<DWORD>(r.param1));
        }
    }
    return states;
}

DWORD SipLineTest::DisconnectMode() const {
    for (const Received& r : Recorder::Instance().Messages()) {
        if (r.message == LINE_CALLSTATE && r.device == call_ && r.param1 == LINECALLSTATE_DISCONNECTED) {
            return static_cast<DWORD>(r.param2);
        }
    }
    return 0;
}

void SipLineTest::Release() {
    lineDrop(call_, nullptr, 0);
    EXPECT_EQ(lineDeallocateCall(call_), 0);
    EXPECT_EQ(lineClose(line_), 0);
    line_ = 0;
}

bool WaitForFigures(const SipLineService& service,
                    const std::function<bool(const SipLineService::Figures&)>& condition,
                    std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return condition(service.Measure()); }, timeout);
}

} // namespace lullwatch::test
