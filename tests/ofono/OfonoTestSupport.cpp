#include "OfonoTestSupport.h"

#include "platform/dbus/SystemBus.h"
#include "tests/dbus/OfonoStandIn.h"

namespace lullwatch::test {

using platform::tapi::ofono::OfonoLineService;

void OfonoLineTest::SetUp() {
    platform::Clock::SetFactor(1.0);
    Recorder::Instance().Reset();
    ASSERT_TRUE(bus_.ok()) << bus_.error();
    ASSERT_TRUE(bus_.StartMock("ofono", "org.ofono")) << bus_.error();
}

void OfonoLineTest::TearDown() {
    StopService();
    platform::dbus::SystemBus::Shutdown();
}

void OfonoLineTest::StartService(DWORD devices) {
    service_ = OfonoLineService::Start();
    platform::tapi::InstallService(service_);
    DWORD count = 0;
    ASSERT_EQ(lineInitialize(&app_, nullptr, &Recorder::Callback, L"Lullwatch", &count), 0);
    ASSERT_EQ(count, devices);
    DWORD version = 0;
    ASSERT_EQ(lineNegotiateAPIVersion(app_, 0, 0x00010003, 0x00020000, &version, nullptr), 0);
    ASSERT_EQ(lineOpen(app_, 0, &line_, version, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
}

void OfonoLineTest::StopService() {
    if (app_ != 0) {
        lineShutdown(app_);
        app_ = 0;
        line_ = 0;
        call_ = 0;
    }
    platform::tapi::InstallService(nullptr);
    if (service_) {
        service_->Stop();
        service_.reset();
    }
}

LONG OfonoLineTest::Call(const std::wstring& number) {
    const LONG request = lineMakeCall(line_, &call_, number.c_str(), 0, nullptr);
    EXPECT_GT(request, 0);
    return request;
}

std::optional<LONG> OfonoLineTest::ReplyTo(LONG request) {
    return Recorder::Instance().WaitForReply(request);
}

bool OfonoLineTest::WaitForState(DWORD state, std::optional<DWORD> mode) {
    return Recorder::Instance().WaitForStateOf(call_, state, mode);
}

bool OfonoLineTest::WaitForDeviceState(DWORD state, std::size_t from) {
    return Recorder::Instance()
        .WaitFor([&](const Received& r) { return r.message == LINE_LINEDEVSTATE && r.param1 == state; }, from)
        .has_value();
}

std::vector<DWORD> OfonoLineTest::States() const {
    std::vector<DWORD> states;
    for (const Received& r : Recorder::Instance().Messages()) {
        if (r.message == LINE_CALLSTATE && r.device == call_) {
            states.push_back(static_cast<DWORD>(r.param1));
        }
    }
    return states;
}

void OfonoLineTest::Release() {
    lineDrop(call_, nullptr, 0);
    EXPECT_EQ(lineDeallocateCall(call_), 0);
    EXPECT_EQ(lineClose(line_), 0);
    line_ = 0;
}

std::vector<std::string> OfonoLineTest::CallsOnModem() {
    std::vector<std::string> paths;
    for (const auto& call : dbustest::OfonoCalls(bus_.Connection())) {
        paths.push_back(call.path);
    }
    return paths;
}

bool OfonoLineTest::WaitForCallsOnModem(std::size_t count) {
    return WaitUntil([&] { return CallsOnModem().size() == count; });
}

std::string OfonoLineTest::CallPath() {
    std::string path;
    WaitUntil([&] {
        const auto calls = CallsOnModem();
        if (calls.empty()) {
            return false;
        }
        path = calls.back();
        return true;
    });
    return path;
}

void OfonoLineTest::SetCallState(const std::string& path, const std::string& state) {
    EXPECT_TRUE(dbustest::SetOfonoCallState(bus_.Connection(), path, state));
}

void OfonoLineTest::SetDisconnectReason(const std::string& path, const std::string& reason) {
    EXPECT_TRUE(dbustest::SetOfonoDisconnectReason(bus_.Connection(), path, reason));
}

void OfonoLineTest::RemoveCall(const std::string& path) {
    EXPECT_TRUE(dbustest::RemoveOfonoCall(bus_.Connection(), path));
}

void OfonoLineTest::SetModemProperty(const char* interface, const char* name, bool value) {
    EXPECT_TRUE(dbustest::SetOfonoProperty(bus_.Connection(), interface, name, value));
}

void OfonoLineTest::SetModemProperty(const char* interface, const char* name, const char* value) {
    EXPECT_TRUE(dbustest::SetOfonoProperty(bus_.Connection(), interface, name, value));
}

} // namespace lullwatch::test
