// Helpers for the oFono service's tests: a private system bus with python3-dbusmock's ofono template
// (one modem, /ril_0, online and registered, emergency numbers 911 and 13373), the service installed
// behind the line API with the recording callback and its line open, and the test's hands on the
// stand-in: call states, disconnect reasons, modem and registration properties.
#pragma once

#include "../tapi/LineTestSupport.h"
#include "platform/tapi/ofono/OfonoLineService.h"
#include "tests/dbus/PrivateSystemBus.h"

#include <memory>
#include <string>
#include <vector>

namespace lullwatch::test {

inline constexpr const char* kModemPath = "/ril_0"; // the stand-in's modem

class OfonoLineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the service on the stand-in, lineInitialize (expecting `devices`) and lineOpen of device 0.
    void StartService(DWORD devices = 1);
    void StopService();

    // lineMakeCall to `number`; expects it to be accepted and returns the request's identifier.
    LONG Call(const std::wstring& number);
    // The next LINE_REPLY's result for `request`.
    std::optional<LONG> ReplyTo(LONG request);
    // Waits for LINE_CALLSTATE `state` (and `mode`, when given) of the current call.
    bool WaitForState(DWORD state, std::optional<DWORD> mode = std::nullopt);
    // Waits for LINE_LINEDEVSTATE `state`, from message `from` on.
    bool WaitForDeviceState(DWORD state, std::size_t from = 0);
    std::vector<DWORD> States() const;
    // lineDrop, lineDeallocateCall and lineClose, as the program releases a call.
    void Release();

    // The stand-in's calls (object paths), and a wait for their number.
    std::vector<std::string> CallsOnModem();
    bool WaitForCallsOnModem(std::size_t count);
    // The current call's object on the stand-in, once it exists.
    std::string CallPath();

    // Signals of the call `path`: State and DisconnectReason; and its removal (the stand-in's Hangup).
    void SetCallState(const std::string& path, const std::string& state);
    void SetDisconnectReason(const std::string& path, const std::string& reason);
    void RemoveCall(const std::string& path);
    // SetProperty on the modem's `interface` (org.ofono.Modem "Online", NetworkRegistration "Status").
    void SetModemProperty(const char* interface, const char* name, bool value);
    void SetModemProperty(const char* interface, const char* name, const char* value);

    dbustest::PrivateSystemBus bus_;
    std::shared_ptr<platform::tapi::ofono::OfonoLineService> service_;
    HLINEAPP app_ = 0;
    HLINE line_ = 0;
    HCALL call_ = 0;
};

} // namespace lullwatch::test
