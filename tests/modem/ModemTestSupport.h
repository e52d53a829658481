// Helpers for the ModemManager service's tests: a private system bus with our ModemManager stand-in
// (modemmanager_voice.py), the service started on it and installed behind the line API with the
// recording callback, and the stand-in's controls and call log.
#pragma once

#include "../tapi/LineTestSupport.h"
#include "platform/tapi/modem/ModemLineService.h"
#include "tests/dbus/PrivateSystemBus.h"

#include <map>
#include <memory>
#include <string>

namespace lullwatch::test {

inline constexpr const char* kModemManager = "org.freedesktop.ModemManager1";
inline constexpr const char* kFirstModem = "/org/freedesktop/ModemManager1/Modem/0";

// The stand-in's template file.
std::string ModemTemplate();

class ModemLineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the stand-in with `modems` (equipment identifiers, comma-separated), then the service with
    // the profile keys `keys`, lineInitialize, and opens device 0 when there is one.
    void Start(const std::string& modems = "860000000000001",
               const std::map<std::string, std::string>& keys = {});

    // The stand-in's controls (org.lullwatch.ModemScript); expects success.
    void Control(const char* method, const char* types, ...);

    // lineMakeCall to `number` on the open line; the result.
    LONG Call(const std::wstring& number = L"+441632960123");
    // Waits for LINE_REPLY to `request`; its result.
    std::optional<LONG> ReplyTo(LONG request);
    bool WaitForState(DWORD state, std::optional<DWORD> mode = std::nullopt);
    // The call states (with modes) reported for the current call so far.
    std::vector<std::pair<DWORD, DWORD>> States() const;
    bool WaitForDeviceState(DWORD state, std::size_t from = 0);

    // How often the stand-in's object `path` was asked for `method` (waits until it is at least `atLeast`).
    std::size_t MethodCalls(const std::string& path, const std::string& method, std::size_t atLeast = 0);
    // How often the stand-in's log shows `method` called on any object (waits for `atLeast`); for the
    // methods of call objects, which are gone once deleted.
    std::size_t LoggedCalls(const std::string& method, std::size_t atLeast = 0);
    std::vector<std::vector<std::string>> MethodArguments(const std::string& path, const std::string& method);

    std::unique_ptr<dbustest::PrivateSystemBus> bus_;
    std::shared_ptr<platform::tapi::modem::ModemLineService> service_;
    HLINEAPP app_ = 0;
    HLINE line_ = 0;
    HCALL call_ = 0;
    DWORD devices_ = 0;
};

} // namespace lullwatch::test
