// A telephony exchange simulated inside the device, for demos and tests. Its line devices, start-up
// faults and the course of every call come from a SimulatedLineConfig; the course of calls follows a
// CallScript that can be changed at any time (it applies to calls placed afterwards). A thread of its own
// plays each call's script at device times, so a sped-up platform clock speeds calls up too.
//
// It can also be driven directly: Inject reports any line or call event as if it had happened, and
// Calls() tells which calls the program placed (number dialled, what was reported, how each ended). The
// label "Simulated line" tells the screen (and whoever looks at it) that no real call goes out.
//
// Behaviour worth knowing:
// - lineInitialize answers LINEERR_REINIT as configured, measured from the first attempt.
// - One call at a time per line: while a call on the line is not idle, another lineMakeCall on it is
//   refused with LINEERR_CALLUNAVAIL; so is every call on a device that an injected LINE_LINEDEVSTATE
//   put out of service (OUTOFSERVICE, DISCONNECTED, MAINTENANCE) until one puts it back (INSERVICE,
//   CONNECTED).
// - Every make-call request gets exactly one LINE_REPLY: its script's first reply step, or at once
//   (with that step's result, 0 when it has none) when the call ends earlier by lineDrop,
//   lineDeallocateCall, lineClose, an injected close or an injected DISCONNECTED/IDLE state.
// - lineDrop stops the script, reports LINECALLSTATE_IDLE and answers the drop with LINE_REPLY 0; on an
//   idle call it answers LINEERR_INVALCALLSTATE at once. lineDeallocateCall and lineClose stop the script
//   silently.
#pragma once

#include "platform/tapi/TelephonyService.h"
#include "platform/tapi/simulated/SimulatedLineConfig.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace platform::tapi {

class SimulatedLineService final : public TelephonyService {
public:
    explicit SimulatedLineService(SimulatedLineConfig config);
    ~SimulatedLineService() override;
    SimulatedLineService(const SimulatedLineService&) = delete;
    SimulatedLineService& operator=(const SimulatedLineService&) = delete;

    // --- TelephonyService ---
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

    // --- Driving the exchange ---
    void SetCallScript(CallScript script);
    CallScript CurrentScript() const;

    // An event to report. Unset parameters count as 0 unless said otherwise below.
    struct InjectedEvent {
        DWORD message = 0;
        std::optional<DWORD> param1, param2, param3;
        // Set: the message is delivered exactly as given (device, params, instance 0) to every
        // initialised application, and nothing else changes.
        std::optional<DWORD> device;
    };
    // Reports the event the way the exchange would:
    // - LINE_CALLSTATE (param1 the state, required): for the latest call not yet released; a
    //   DISCONNECTED or IDLE state also ends its script.
    // - LINE_CLOSE: closes the latest open line (its handle and its calls become invalid).
    // - LINE_LINEDEVSTATE (param1 the state, required): about the device of the latest open line, or
    //   device 0 when none is open; for LINEDEVSTATE_REINIT param2 is the message to translate to
    //   (LINE_LINEDEVSTATE, LINE_CREATE or 0) and param3 that message's param1.
    // - LINE_REPLY: param1 the request (default: the latest make-call request), param2 the result.
    // - LINE_CREATE: param1 the new device number (default: the next one); numbers at or beyond the
    //   device count add devices (voice, "Simulated line"); a lower number is delivered as given.
    // - Any other message: delivered as given with device 0.
    // Returns false with the reason when there is nothing to report it for.
    bool Inject(const InjectedEvent& event, std::string* error);

    struct Reported {
        std::uint64_t atMs; // device time
        DWORD message;      // LINE_REPLY or LINE_CALLSTATE
        DWORD param1;
        DWORD param2;
    };
    struct CallRecord {
        HCALL call = 0;
        HLINE line = 0;
        std::wstring number;
        std::uint64_t placedAtMs = 0;
        std::string script; // the script text it followed
        DWORD state = 0;    // the last state reported (0: none yet)
        std::string end;    // "", "refused", "failed", "dropped", "deallocated", "line closed"
        std::vector<Reported> reported;
    };
    // The calls placed so far (the latest 256), oldest first.
    std::vector<CallRecord> Calls() const;
    void ClearCalls();

    // Several lines of text: devices, script, open lines, calls in progress.
    std::string StatusText() const;

private:
    struct ActiveCall {
        HLINE line;
        DWORD request;
        std::uint64_t startMs;
        std::vector<ScriptStep> steps;
        std::size_t next = 0;
        bool replied = false;
        DWORD state = 0;
    };

    void Run();
    std::optional<std::uint64_t> FireDueLocked(std::uint64_t now);
    void FireStepLocked(HCALL call, ActiveCall& active);
    void ReplyNowLocked(HCALL call, ActiveCall& active);
    void ReportStateLocked(HCALL call, ActiveCall& active, DWORD state, DWORD mode, DWORD param3);
    void EndCallLocked(HCALL call, const char* how);
    CallRecord& RecordLocked(HCALL call);
    bool InjectCallStateLocked(const InjectedEvent& event, std::string* error);
    bool InjectCloseLocked(std::string* error);
    bool InjectDevStateLocked(const InjectedEvent& event, std::string* error);
    bool InjectCreateLocked(const InjectedEvent& event, std::string* error);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    ServiceEvents* events_ = nullptr;
    SimulatedLineConfig config_;
    std::optional<std::uint64_t> firstInitMs_;
    int initialised_ = 0;
    std::map<HLINE, DWORD> lines_;        // open lines and their devices
    std::set<DWORD> outOfService_;        // devices reported out of service, disconnected or in maintenance
    std::map<HCALL, ActiveCall> calls_;   // calls not yet released
    std::map<HCALL, CallRecord> records_; // ordered by handle, i.e. as placed
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace platform::tapi
