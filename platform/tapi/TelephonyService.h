// A telephony service: what carries calls behind the line API (a simulated exchange, a SIP account).
// The line API layer owns everything the application sees: handles, request identifiers, argument
// checks, the journal and the event threads. A service only answers the operations below for handles
// the layer has already checked, and reports what happens through ServiceEvents.
//
// What a service must do:
// - Operations may be called on any thread, concurrently, including the line-event thread from inside
//   the application's callback. They return promptly: a service never waits for the line-event thread,
//   and hands slow work (network) to a thread of its own.
// - The layer never holds a lock of its own while it calls an operation, so a service may report events
//   from inside an operation, and may report them while holding its own lock (which keeps their order).
// - A service never calls the application's callback. Everything it wants the application to learn goes
//   through ServiceEvents, whose calls only queue a message for the line-event thread and return.
// - Every request a service accepted (MakeCall or DropCall answering 0) gets exactly one
//   RequestCompleted, even when the call ends first.
// - After CloseLine, DeallocateCall or LineClosed the service no longer reports anything for that handle.
// - A device that cannot carry calls for a while (no network, no registration, no modem) is reported
//   with DeviceStateChanged(LINEDEVSTATE_OUTOFSERVICE), and LINEDEVSTATE_INSERVICE when it can again:
//   the layer keeps the screen's Line indicator from these reports (LineHealth.h).
// - The layer ends a call that has not reached LINECALLSTATE_CONNECTED within the connect timeout
//   (ConnectTimeout.h) by itself: it tells the application DISCONNECTED with LINEDISCONNECTMODE_NOANSWER
//   and deallocates the call at the service, which then reports nothing more about it.
#pragma once

#include "platform/tapi/DialRules.h"
#include "platform/tapi/Tapi.h"

#include <optional>
#include <string>

namespace platform::tapi {

// One message for an application's callback, exactly as the callback receives it.
struct LineMessage {
    DWORD device;
    DWORD message;
    DWORD_PTR instance;
    DWORD_PTR param1;
    DWORD_PTR param2;
    DWORD_PTR param3;
};

// What a service reports. Each call queues messages for the applications concerned and returns.
class ServiceEvents {
public:
    // The request has finished with `result` (0 or a LINEERR_ code): LINE_REPLY to the application that
    // made it. A request the layer does not know (already answered, application gone) is ignored.
    virtual void RequestCompleted(DWORD request, LONG result) = 0;

    // The call is now in `state`; `mode` is the state's detail (the disconnect mode for
    // LINECALLSTATE_DISCONNECTED): LINE_CALLSTATE to the call's application.
    virtual void CallStateChanged(HCALL call, DWORD state, DWORD mode, DWORD param3) = 0;

    // The service closed the line by itself: LINE_CLOSE to its application; the line's handle and the
    // handles of its calls are invalid from now on.
    virtual void LineClosed(HLINE line) = 0;

    // A line device changed state: LINE_LINEDEVSTATE to every application, with the application's line
    // on that device (or the device number) as `device`.
    virtual void DeviceStateChanged(DWORD deviceId, DWORD state, DWORD param2, DWORD param3) = 0;

    // A new line device exists (DeviceCount already includes it): LINE_CREATE to every application.
    virtual void DeviceCreated(DWORD deviceId) = 0;

    // Why the device cannot carry calls, in a few words for the screen ("Not registered") and a detail
    // for the automation channel and the record (the answer that said so). Reported before (or while)
    // the device is out of service: LINEDEVSTATE_OUTOFSERVICE then shows these words instead of the
    // layer's own, until LINEDEVSTATE_INSERVICE. Delivers nothing to the applications.
    virtual void OutageReason(DWORD deviceId, std::wstring text, std::string detail) = 0;

    // Delivers `message` as given to every initialised application and changes nothing else. For
    // simulators and tests that need a message no real event would produce.
    virtual void DeliverRaw(const LineMessage& message) = 0;

protected:
    ~ServiceEvents() = default;
};

// What lineGetDevCaps reports for one device.
struct DeviceInfo {
    DWORD permanentLineId = 0;
    DWORD numAddresses = 1;
    DWORD mediaModes = 0;
    std::optional<std::wstring> name; // none: the device reports no line name
    DWORD neededSize = 0;             // bytes the capabilities take at least (0: just what they hold)
};

class TelephonyService {
public:
    virtual ~TelephonyService() = default;

    // A short text the screen shows in its status line, so that a simulated line is never mistaken for
    // a real one (for example "Simulated line").
    virtual std::wstring Label() const = 0;

    // What the service's dial strings may hold; lineMakeCall refuses the rest (and emergency numbers)
    // before MakeCall. The default takes any text, which the service checks by its own rules.
    virtual DialPlan Dialling() const { return {}; }

    // Called once when the service is installed, before any other operation.
    virtual void Attach(ServiceEvents& events) = 0;

    // One lineInitialize attempt: 0 and the number of devices, or a LINEERR_ code (LINEERR_REINIT while
    // the service restarts). Each success is balanced by one Shutdown.
    virtual LONG Initialize(DWORD* deviceCount) = 0;
    virtual void Shutdown() = 0;

    virtual DWORD DeviceCount() const = 0;

    // `low`..`high` already lies within the versions the layer offers. Answers the version to use.
    virtual LONG NegotiateVersion(DWORD deviceId, DWORD low, DWORD high, DWORD* version) = 0;
    virtual LONG DescribeDevice(DWORD deviceId, DeviceInfo* info) = 0;

    virtual LONG OpenLine(DWORD deviceId, HLINE line) = 0;
    // Hangs up the line's calls silently and forgets the line and its calls.
    virtual void CloseLine(HLINE line) = 0;

    // 0: the call is being set up; RequestCompleted(request, ...) and call states follow. A negative
    // code refuses the call at once; nothing follows then.
    virtual LONG MakeCall(HLINE line, HCALL call, DWORD request, const std::wstring& destination) = 0;
    // 0: the call is being hung up; RequestCompleted(request, ...) follows. Negative: refused at once.
    virtual LONG DropCall(HCALL call, DWORD request) = 0;
    // Hangs up silently if need be and forgets the call. A call it no longer knows is ignored (the
    // connect timeout and the application may both release it).
    virtual void DeallocateCall(HCALL call) = 0;
};

} // namespace platform::tapi
