// Helpers for the SIP service's tests: a fixture that starts the SIP telephony service on 127.0.0.1
// from profile keys, installs it behind the line API with a recording callback, and places calls; the
// room's sound is the generator playing a test tone.
#pragma once

#include "../tapi/LineTestSupport.h"
#include "platform/tapi/sip/SipLineService.h"

#include <map>
#include <memory>
#include <string>

namespace lullwatch::test {

// The tone the room plays during the tests; the far end's recording must hold it.
constexpr double kRoomToneHz = 600;

class SipLineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the service with the keys of a loopback account (user monitor, domain 127.0.0.1, local
    // 127.0.0.1) overridden or extended by `keys`, and `password`, then lineInitialize and lineOpen.
    // Expects success.
    void StartService(const std::map<std::string, std::string>& keys = {}, const std::string& password = "");
    // lineOpen again after Release.
    void Reopen();
    // Stops the service (as the host does at exit).
    void StopService();

    // lineMakeCall to `number`; expects it to be accepted and returns the request's identifier.
    LONG Call(const std::wstring& number);
    // The next LINE_REPLY's result for `request`.
    std::optional<LONG> ReplyTo(LONG request);
    // Waits for LINE_CALLSTATE `state` (and `mode`, when given) of the current call.
    bool WaitForState(DWORD state, std::optional<DWORD> mode = std::nullopt);
    // The call states reported so far for the current call, in order.
    std::vector<DWORD> States() const;
    // The disconnect mode reported with LINECALLSTATE_DISCONNECTED (0 if none yet).
    DWORD DisconnectMode() const;
    // lineDrop, lineDeallocateCall and lineClose, as the program releases a call.
    void Release();

    std::shared_ptr<platform::tapi::sipline::SipLineService> service_;
    HLINEAPP app_ = 0;
    HLINE line_ = 0;
    HCALL call_ = 0;
};

// Waits until the service's figures satisfy `condition`.
bool WaitForFigures(
    const platform::tapi::sipline::SipLineService& service,
    const std::function<bool(const platform::tapi::sipline::SipLineService::Figures&)>& condition,
    std::chrono::milliseconds timeout = kDeadline);

} // namespace lullwatch::test
