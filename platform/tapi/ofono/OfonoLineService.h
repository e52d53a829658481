// The oFono telephony service: the phone's cellular calls through oFono on the system bus (Droidian,
// Ubuntu Touch, Sailfish). Every modem of org.ofono.Manager.GetModems with org.ofono.VoiceCallManager
// is one line device with interactive voice, named after the modem's manufacturer and model; a modem
// that gains voice later is announced with LINE_CREATE.
//
// A line device is in service while its modem is there, Online, and its network registration's Status
// is "registered" or "roaming"; every change is reported as LINEDEVSTATE_INSERVICE / OUTOFSERVICE.
// lineMakeCall dials with VoiceCallManager.Dial(number, "default") and the call's states follow its
// State property (OfonoCallStates.h); a line out of service answers the request with
// LINEERR_CALLUNAVAIL. lineDrop hangs up with org.ofono.VoiceCall.Hangup and answers when oFono has;
// lineClose, lineDeallocateCall and the end of the service hang up whatever is still up. The modems'
// EmergencyNumbers join the numbers lineMakeCall never dials.
//
// Operations answer at once under the service's lock; everything on the bus runs on the system bus's
// thread (platform/dbus/SystemBus.h), never on the caller's. A D-Bus error answers its request with a
// LINEERR_ code and a line on standard error naming the error.
#pragma once

#include "platform/tapi/TelephonyService.h"

#include <atomic>
#include <chrono>
#include <memory>

namespace platform::tapi::ofono {

class OfonoState;

class OfonoLineService : public TelephonyService {
public:
    // Starts watching oFono and waits up to `discovery` for the modems found at start (never fails:
    // without the bus or oFono there are no devices, and modems that come later are announced).
    static std::shared_ptr<OfonoLineService>
    Start(std::chrono::milliseconds discovery = std::chrono::seconds(3));
    ~OfonoLineService() override;

    std::wstring Label() const override;
    DialPlan Dialling() const override;
    void Attach(ServiceEvents& events) override;
    LONG Initialize(DWORD* deviceCount) override;
    void Shutdown() override;
    DWORD DeviceCount() const override;
    LONG NegotiateVersion(DWORD deviceId, DWORD low, DWORD high, DWORD* version) override;
    LONG DescribeDevice(DWORD deviceId, DeviceInfo* info) override;
    LONG OpenLine(DWORD deviceId, HLINE line) override;
    void CloseLine(HLINE line) override;
    LONG MakeCall(HLINE line, HCALL call, DWORD request, const std::wstring& destination) override;
    LONG DropCall(HCALL call, DWORD request) override;
    void DeallocateCall(HCALL call) override;

    // Hangs up what is still up and stops watching (also done by the destructor); the system bus must
    // still run.
    void Stop();

private:
    OfonoLineService();

    std::shared_ptr<OfonoState> state_;
    std::atomic<bool> stopped_{false};
};

} // namespace platform::tapi::ofono
