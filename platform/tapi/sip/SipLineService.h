// The SIP telephony service: one line device that carries interactive voice, named after the account,
// whose calls are SIP calls placed from the account (SipCall.h) on the SIP stack's own thread
// (SipStack.h). When the account has a registrar, the registration runs in the background for as long as
// the service does; losing it puts the line out of service (LINEDEVSTATE_OUTOFSERVICE) and getting it
// back puts it in service again.
//
// The line API's operations are answered at once under the service's lock; everything that touches the
// network is handed to the stack's thread, whose outcomes come back as reports through ServiceEvents.
// A call's first report answers its lineMakeCall request (LINE_REPLY 0); a number that cannot make an
// address answers it with LINEERR_INVALADDRESS, and a call the stack cannot place at all with
// LINEERR_OPERATIONFAILED. lineDrop answers at once and sends the CANCEL or BYE in the background;
// lineClose and lineDeallocateCall hang up silently. Stopping the service (its destruction) hangs up
// what is left, unregisters, and ends the stack's thread.
#pragma once

#include "platform/tapi/TelephonyService.h"
#include "platform/tapi/sip/CallOutcome.h"
#include "platform/tapi/sip/SipConfig.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

namespace platform::tapi::sipline {

class SipStack;
class SipCall;
class SipRegistration;
struct CallCounters;

class SipLineService : public TelephonyService {
public:
    // Starts the stack and the registration; null with `error` when the stack cannot start.
    static std::shared_ptr<SipLineService> Start(const SipConfig& config, std::string* error);
    ~SipLineService() override;

    std::wstring Label() const override;
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

    // What the service is doing, for tests, the automation channel and the benchmark: the registration,
    // how many calls the stack holds, and the sound packets the latest call sent and received.
    enum class Registration { None, Pending, Registered, Failed };
    struct Figures {
        Registration registration = Registration::None;
        std::string registrationProblem; // while Failed: the registrar's answer or the transport error
        std::size_t calls = 0;
        std::uint64_t packetsSent = 0;
        std::uint64_t packetsReceived = 0;
    };
    Figures Measure() const;

private:
    struct Call {
        HLINE line = 0;
        DWORD request = 0;
        bool replied = false;
        DWORD state = 0;
    };

    explicit SipLineService(const SipConfig& config);
    void PlaceOnStack(HCALL call, const std::string& uri);
    void HangUpOnStack(HCALL call);
    void OnReport(HCALL call, CallOutcome outcome);
    void OnRegistration(bool registered, const std::string& why);
    void ReplyLocked(Call& call, LONG result);

    const SipConfig config_;
    std::unique_ptr<SipStack> stack_;

    mutable std::mutex mutex_;
    ServiceEvents* events_ = nullptr;
    std::set<HLINE> lines_;
    std::map<HCALL, Call> calls_;

    std::shared_ptr<const CallCounters> latest_; // the latest call's, until the next one starts
    std::size_t stackCalls_ = 0;
    Registration registrationState_;
    std::string registrationProblem_;

    // the stack thread's own
    std::map<HCALL, std::shared_ptr<SipCall>> sipCalls_;
    std::unique_ptr<SipRegistration> registration_;
};

} // namespace platform::tapi::sipline
