#include "OfonoTestSupport.h"

#include "platform/dbus/SystemBus.h"

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
    const auto reply = Recorder::Instance().WaitFor([request](const Received& r) {
        return r.message == LINE_REPLY && r.param1 == static_cast<DWORD_PTR>(request);
    });
    if (!reply) {
        return std::nullopt;
    }
    return static_cast<LONG>(reply->param2);
}

bool OfonoLineTest::WaitForState(DWORD state, std::optional<DWORD> mode) {
    const HCALL call = call_;
    return Recorder::Instance()
        .WaitFor([&](const Received& r) {
            return r.message == LINE_CALLSTATE && r.device == call && r.param1 == state &&
                   (!mode || r.param2 == *mode);
        })
        .has_value();
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
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus_.Connection(), "org.ofono", kModemPath, "org.ofono.VoiceCallManager",
                           "GetCalls", &e, &reply, "") >= 0 &&
        sd_bus_message_enter_container(reply, 'a', "(oa{sv})") > 0) {
        while (sd_bus_message_enter_container(reply, 'r', "oa{sv}") > 0) {
            const char* path = nullptr;
            sd_bus_message_read(reply, "o", &path);
            paths.emplace_back(path);
            sd_bus_message_skip(reply, "a{sv}");
            sd_bus_message_exit_container(reply);
        }
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&e);
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

namespace {

// dbusmock's EmitSignal on `path` with one argument of the type `signature` ("s", "o") or two ("sv",
// with a text value).
void Emit(sd_bus* bus, const std::string& path, const char* interface, const char* member,
          const char* signature, const char* first, const char* second = nullptr) {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    const char firstType[] = {signature[0], '\0'};
    const int r =
        second != nullptr
            ? sd_bus_call_method(bus, "org.ofono", path.c_str(), "org.freedesktop.DBus.Mock", "EmitSignal",
                                 &e, nullptr, "sssav", interface, member, signature, 2, "s", first, "s",
                                 second)
            : sd_bus_call_method(bus, "org.ofono", path.c_str(), "org.freedesktop.DBus.Mock", "EmitSignal",
                                 &e, nullptr, "sssav", interface, member, signature, 1, firstType, first);
    EXPECT_GE(r, 0) << member << " on " << path << ": " << (e.message != nullptr ? e.message : "");
    sd_bus_error_free(&e);
}

} // namespace

void OfonoLineTest::SetCallState(const std::string& path, const std::string& state) {
    Emit(bus_.Connection(), path, "org.ofono.VoiceCall", "PropertyChanged", "sv", "State", state.c_str());
}

void OfonoLineTest::SetDisconnectReason(const std::string& path, const std::string& reason) {
    Emit(bus_.Connection(), path, "org.ofono.VoiceCall", "DisconnectReason", "s", reason.c_str(), nullptr);
}

void OfonoLineTest::RemoveCall(const std::string& path) {
    // The stand-in's Hangup drops the call object; oFono then says CallRemoved on the modem.
    sd_bus_error e = SD_BUS_ERROR_NULL;
    EXPECT_GE(sd_bus_call_method(bus_.Connection(), "org.ofono", path.c_str(), "org.ofono.VoiceCall",
                                 "Hangup", &e, nullptr, ""),
              0);
    sd_bus_error_free(&e);
    Emit(bus_.Connection(), kModemPath, "org.ofono.VoiceCallManager", "CallRemoved", "o", path.c_str());
}

void OfonoLineTest::SetModemProperty(const char* interface, const char* name, bool value) {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    EXPECT_GE(sd_bus_call_method(bus_.Connection(), "org.ofono", kModemPath, interface, "SetProperty", &e,
                                 nullptr, "sv", name, "b", static_cast<int>(value)),
              0);
    sd_bus_error_free(&e);
}

void OfonoLineTest::SetModemProperty(const char* interface, const char* name, const char* value) {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    EXPECT_GE(sd_bus_call_method(bus_.Connection(), "org.ofono", kModemPath, interface, "SetProperty", &e,
                                 nullptr, "sv", name, "s", value),
              0);
    sd_bus_error_free(&e);
}

} // namespace lullwatch::test
