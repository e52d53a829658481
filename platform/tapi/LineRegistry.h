// The line API's bookkeeping: which applications are initialised (with their callback, service and
// event thread), which lines they have open, which calls exist and which requests are outstanding. It is
// also the ServiceEvents of every installed service: it turns a service's reports into messages on the
// event thread of the application concerned.
//
// One mutex guards the tables. It is never held while a service operation or a callback runs, and
// messages are only queued under it, so services may report from anywhere, even from inside an operation.
// Device states and outage reasons also reach LineHealth (the Line indicator), after the mutex is let go.
#pragma once

#include "platform/tapi/EventThread.h"
#include "platform/tapi/TelephonyService.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace platform::tapi {

class LineRegistry final : public ServiceEvents {
public:
    static LineRegistry& Instance();

    // --- Applications ---
    HLINEAPP AddApp(LINECALLBACK callback, std::shared_ptr<TelephonyService> service);
    std::shared_ptr<TelephonyService> ServiceOf(HLINEAPP app) const; // nullptr: no such application
    struct RemovedApp {
        std::shared_ptr<TelephonyService> service;
        std::shared_ptr<EventThread> events;
        std::vector<HLINE> lines;
    };
    // Forgets the application with its lines, calls and requests.
    std::optional<RemovedApp> RemoveApp(HLINEAPP app);

    // --- Lines ---
    // 0 when the application is gone.
    HLINE AddLine(HLINEAPP app, DWORD deviceId, DWORD_PTR instance);
    struct LineView {
        HLINEAPP app;
        DWORD deviceId;
        std::shared_ptr<TelephonyService> service;
    };
    std::optional<LineView> FindLine(HLINE line) const;
    // Forgets the line and its calls; false when it was not open.
    bool RemoveLine(HLINE line);

    // --- Calls and requests ---
    struct NewCall {
        HCALL call;
        DWORD request;
    };
    // A call handle on the line and the request that asks for it; nullopt when the line is gone.
    std::optional<NewCall> AddCall(HLINE line);
    struct CallView {
        HLINE line;
        std::shared_ptr<TelephonyService> service;
    };
    std::optional<CallView> FindCall(HCALL call) const;
    // False when the call was already gone.
    bool RemoveCall(HCALL call);
    // Starts the call's connect timeout (ConnectTimeout.h), run on its application's event thread.
    void WatchConnect(HCALL call);
    // True when the layer has ended the call for want of a connection: the service has forgotten it.
    bool TimedOut(HCALL call) const;
    // A request about the call; 0 when the call is gone.
    DWORD AddRequest(HCALL call);
    void RemoveRequest(DWORD request);

    // --- ServiceEvents ---
    void RequestCompleted(DWORD request, LONG result) override;
    void CallStateChanged(HCALL call, DWORD state, DWORD mode, DWORD param3) override;
    void LineClosed(HLINE line) override;
    void DeviceStateChanged(DWORD deviceId, DWORD state, DWORD param2, DWORD param3) override;
    void DeviceCreated(DWORD deviceId) override;
    void DeliverRaw(const LineMessage& message) override;
    void OutageReason(DWORD deviceId, std::wstring text, std::string detail) override;

private:
    struct App {
        std::shared_ptr<TelephonyService> service;
        std::shared_ptr<EventThread> events;
    };
    struct Line {
        HLINEAPP app;
        DWORD deviceId;
        DWORD_PTR instance;
    };
    struct Call {
        HLINE line;
        bool connected = false; // has reached LINECALLSTATE_CONNECTED
        bool timedOut = false;  // ended by the connect timeout
    };
    struct Request {
        HLINEAPP app;
        DWORD_PTR instance;
    };

    LineRegistry() = default;
    bool Alive(const MessageSubject& subject) const;
    void ConnectTimedOut(HCALL call);
    void PostDeviceState(DWORD deviceId, DWORD state, DWORD param2, DWORD param3);
    DWORD NextHandleLocked();
    DWORD NextRequestLocked();
    void RemoveLineLocked(HLINE line);
    void PostLocked(HLINEAPP app, const LineMessage& message, MessageSubject subject);

    mutable std::mutex mutex_;
    std::map<HLINEAPP, App> apps_;
    std::map<HLINE, Line> lines_;
    std::map<HCALL, Call> calls_;
    std::map<DWORD, Request> requests_;
    DWORD lastHandle_ = 0x00010000;
    DWORD lastRequest_ = 0;
};

} // namespace platform::tapi
