#include "ModemTestSupport.h"

#include "platform/dbus/SystemBus.h"
#include "platform/tapi/InstalledService.h"

#include <cstdarg>

namespace lullwatch::test {

using platform::tapi::modem::ModemLineService;

std::string ModemTemplate() {
    return std::string(LULLWATCH_SOURCE_DIR) + "/tests/modem/modemmanager_voice.py";
}

void ModemLineTest::SetUp() {
    platform::Clock::SetFactor(1.0);
    Recorder::Instance().Reset();
    bus_ = std::make_unique<dbustest::PrivateSystemBus>();
    ASSERT_TRUE(bus_->ok()) << bus_->error();
}

void ModemLineTest::TearDown() {
    if (app_ != 0) {
        lineShutdown(app_);
    }
    if (service_) {
        service_->Stop();
    }
    platform::tapi::InstallService(nullptr);
    service_.reset();
    platform::dbus::SystemBus::Shutdown();
    if (HasFailure() && bus_) {
        std::fprintf(stderr, "%s\n", bus_->Logs().c_str());
    }
    bus_.reset();
}

void ModemLineTest::Start(const std::string& modems, const std::map<std::string, std::string>& keys) {
    ASSERT_TRUE(bus_->StartMock(ModemTemplate(), kModemManager, "{\"modems\": \"" + modems + "\"}"))
        << bus_->error();
    platform::tapi::modem::ModemConfig config;
    std::string error;
    ASSERT_TRUE(platform::tapi::modem::ParseModemConfig(keys, &config, &error)) << error;
    service_ = ModemLineService::Start(config);
    platform::tapi::InstallService(service_);
    ASSERT_EQ(lineInitialize(&app_, nullptr, &Recorder::Callback, L"Lullwatch", &devices_), 0);
    if (devices_ > 0) {
        DWORD version = 0;
        ASSERT_EQ(lineNegotiateAPIVersion(app_, 0, TAPI_VERSION1_0, TAPI_VERSION2_0, &version, nullptr), 0);
        ASSERT_EQ(lineOpen(app_, 0, &line_, version, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr), 0);
    }
}

void ModemLineTest::Control(const char* method, const char* types, ...) {
    sd_bus_message* call = nullptr;
    ASSERT_GE(sd_bus_message_new_method_call(bus_->Connection(), &call, kModemManager,
                                             "/org/freedesktop/ModemManager1", "org.lullwatch.ModemScript",
                                             method),
              0);
    va_list arguments;
    va_start(arguments, types);
    const int appended = sd_bus_message_appendv(call, types, arguments);
    va_end(arguments);
    ASSERT_GE(appended, 0);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int r = sd_bus_call(bus_->Connection(), call, 0, &error, nullptr);
    sd_bus_message_unref(call);
    EXPECT_GE(r, 0) << method << ": " << (error.message != nullptr ? error.message : "") << bus_->Logs();
    sd_bus_error_free(&error);
}

LONG ModemLineTest::Call(const std::wstring& number) {
    return lineMakeCall(line_, &call_, number.c_str(), 0, nullptr);
}

std::optional<LONG> ModemLineTest::ReplyTo(LONG request) {
    return Recorder::Instance().WaitForReply(request);
}

bool ModemLineTest::WaitForState(DWORD state, std::optional<DWORD> mode) {
    return Recorder::Instance().WaitForStateOf(call_, state, mode);
}

std::vector<std::pair<DWORD, DWORD>> ModemLineTest::States() const {
    std::vector<std::pair<DWORD, DWORD>> states;
    for (const Received& r : Recorder::Instance().Messages()) {
        if (r.message == LINE_CALLSTATE && r.device == call_) {
            states.emplace_back(static_cast<DWORD>(r.param1), static_cast<DWORD>(r.param2));
        }
    }
    return states;
}

bool ModemLineTest::WaitForDeviceState(DWORD state, std::size_t from) {
    return Recorder::Instance()
        .WaitFor([state](const Received& r) { return r.message == LINE_LINEDEVSTATE && r.param1 == state; },
                 from)
        .has_value();
}

std::vector<std::vector<std::string>> ModemLineTest::MethodArguments(const std::string& path,
                                                                     const std::string& method) {
    return dbustest::MockMethodCalls(bus_->Connection(), kModemManager, path, method);
}

std::size_t ModemLineTest::MethodCalls(const std::string& path, const std::string& method,
                                       std::size_t atLeast) {
    std::size_t count = 0;
    WaitUntil([&] {
        count = MethodArguments(path, method).size();
        return count >= atLeast;
    });
    return count;
}

std::size_t ModemLineTest::LoggedCalls(const std::string& method, std::size_t atLeast) {
    std::size_t count = 0;
    WaitUntil([&] {
        const std::string logs = bus_->Logs();
        count = 0;
        for (const std::string& form : {" " + method + "\n", " " + method + " "}) {
            for (auto at = logs.find(form); at != std::string::npos; at = logs.find(form, at + 1)) {
                ++count;
            }
        }
        return count >= atLeast;
    });
    return count;
}

} // namespace lullwatch::test
