#include "platform/tapi/LineRegistry.h"

#include "platform/tapi/ConnectTimeout.h"
#include "platform/tapi/LineHealth.h"
#include "platform/tapi/RecordedCalls.h"
#include "platform/tapi/TapiNames.h"
#include "platform/win/Clock.h"

#include <cstdio>

namespace platform::tapi {

LineRegistry& LineRegistry::Instance() {
    // Never destroyed: event threads and service threads may still report while statics are torn down.
    static auto* registry = new LineRegistry;
    return *registry;
}

DWORD LineRegistry::NextHandleLocked() {
    // Handles are never reused; one sequence for all kinds, so a handle of the wrong kind never matches.
    if (++lastHandle_ == 0) {
        lastHandle_ = 0x00010001;
    }
    return lastHandle_;
}

DWORD LineRegistry::NextRequestLocked() {
    if (++lastRequest_ > 0x7FFFFFFFu) {
        lastRequest_ = 1;
    }
    return lastRequest_;
}

HLINEAPP LineRegistry::AddApp(LINECALLBACK callback, std::shared_ptr<TelephonyService> service) {
    auto events = std::make_shared<EventThread>(
        callback, [this](const MessageSubject& subject) { return Alive(subject); });
    std::lock_guard lock(mutex_);
    const HLINEAPP app = NextHandleLocked();
    apps_[app] = App{std::move(service), std::move(events)};
    return app;
}

std::shared_ptr<TelephonyService> LineRegistry::ServiceOf(HLINEAPP app) const {
    std::lock_guard lock(mutex_);
    auto it = apps_.find(app);
    return it == apps_.end() ? nullptr : it->second.service;
}

std::optional<LineRegistry::RemovedApp> LineRegistry::RemoveApp(HLINEAPP app) {
    std::lock_guard lock(mutex_);
    auto it = apps_.find(app);
    if (it == apps_.end()) {
        return std::nullopt;
    }
    RemovedApp removed{it->second.service, it->second.events, {}};
    apps_.erase(it);
    for (const auto& [handle, line] : lines_) {
        if (line.app == app) {
            removed.lines.push_back(handle);
        }
    }
    for (HLINE line : removed.lines) {
        RemoveLineLocked(line);
    }
    std::erase_if(requests_, [app](const auto& entry) { return entry.second.app == app; });
    return removed;
}

HLINE LineRegistry::AddLine(HLINEAPP app, DWORD deviceId, DWORD_PTR instance) {
    std::lock_guard lock(mutex_);
    if (apps_.find(app) == apps_.end()) {
        return 0;
    }
    const HLINE line = NextHandleLocked();
    lines_[line] = Line{app, deviceId, instance};
    return line;
}

std::optional<LineRegistry::LineView> LineRegistry::FindLine(HLINE line) const {
    std::lock_guard lock(mutex_);
    auto it = lines_.find(line);
    if (it == lines_.end()) {
        return std::nullopt;
    }
    auto app = apps_.find(it->second.app);
    if (app == apps_.end()) {
        return std::nullopt;
    }
    return LineView{it->second.app, it->second.deviceId, app->second.service};
}

bool LineRegistry::RemoveLine(HLINE line) {
    std::lock_guard lock(mutex_);
    if (lines_.find(line) == lines_.end()) {
        return false;
    }
    RemoveLineLocked(line);
    return true;
}

void LineRegistry::RemoveLineLocked(HLINE line) {
    lines_.erase(line);
    std::erase_if(calls_, [line](const auto& entry) { return entry.second.line == line; });
}

std::optional<LineRegistry::NewCall> LineRegistry::AddCall(HLINE line) {
    std::lock_guard lock(mutex_);
    auto it = lines_.find(line);
    if (it == lines_.end()) {
        return std::nullopt;
    }
    const HCALL call = NextHandleLocked();
    const DWORD request = NextRequestLocked();
    calls_[call] = Call{line};
    requests_[request] = Request{it->second.app, it->second.instance};
    return NewCall{call, request};
}

std::optional<LineRegistry::CallView> LineRegistry::FindCall(HCALL call) const {
    std::lock_guard lock(mutex_);
    auto it = calls_.find(call);
    if (it == calls_.end()) {
        return std::nullopt;
    }
    auto line = lines_.find(it->second.line);
    if (line == lines_.end()) {
        return std::nullopt;
    }
    auto app = apps_.find(line->second.app);
    if (app == apps_.end()) {
        return std::nullopt;
    }
    return CallView{it->second.line, app->second.service};
}

bool LineRegistry::RemoveCall(HCALL call) {
    std::lock_guard lock(mutex_);
    return calls_.erase(call) > 0;
}

void LineRegistry::WatchConnect(HCALL call) {
    const std::uint64_t timeout = ConnectTimeoutMs();
    if (timeout == 0) {
        return;
    }
    std::lock_guard lock(mutex_);
    auto c = calls_.find(call);
    if (c == calls_.end()) {
        return;
    }
    auto app = apps_.find(lines_.at(c->second.line).app);
    if (app != apps_.end()) {
        app->second.events->PostAt(Clock::NowMs() + timeout, [this, call] { ConnectTimedOut(call); });
    }
}

// On the application's event thread, between deliveries. The DISCONNECTED queued here is delivered
// right after; the service forgets the call, so nothing it might still report about it goes out.
void LineRegistry::ConnectTimedOut(HCALL call) {
    std::shared_ptr<TelephonyService> service;
    {
        std::lock_guard lock(mutex_);
        auto c = calls_.find(call);
        if (c == calls_.end() || c->second.connected || c->second.timedOut) {
            return;
        }
        c->second.timedOut = true;
        const Line& line = lines_.at(c->second.line);
        auto app = apps_.find(line.app);
        if (app == apps_.end()) {
            return;
        }
        service = app->second.service;
        RecordCallState(call, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NOANSWER);
        app->second.events->Post(
            {call, LINE_CALLSTATE, line.instance, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NOANSWER, 0},
            {MessageSubject::Kind::Call, call});
    }
    std::fprintf(stderr, "lullwatch: line: call %s not connected after %llu s: ended as unanswered\n",
                 Hex(call).c_str(), static_cast<unsigned long long>(ConnectTimeoutMs() / 1000));
    std::fflush(stderr);
    service->DeallocateCall(call);
}

bool LineRegistry::TimedOut(HCALL call) const {
    std::lock_guard lock(mutex_);
    auto c = calls_.find(call);
    return c != calls_.end() && c->second.timedOut;
}

DWORD LineRegistry::AddRequest(HCALL call) {
    std::lock_guard lock(mutex_);
    auto it = calls_.find(call);
    if (it == calls_.end()) {
        return 0;
    }
    const Line& line = lines_.at(it->second.line);
    const DWORD request = NextRequestLocked();
    requests_[request] = Request{line.app, line.instance};
    return request;
}

void LineRegistry::RemoveRequest(DWORD request) {
    std::lock_guard lock(mutex_);
    requests_.erase(request);
}

bool LineRegistry::Alive(const MessageSubject& subject) const {
    std::lock_guard lock(mutex_);
    switch (subject.kind) {
    case MessageSubject::Kind::Call:
        return calls_.find(subject.handle) != calls_.end();
    case MessageSubject::Kind::Line:
        return lines_.find(subject.handle) != lines_.end();
    case MessageSubject::Kind::None:
        break;
    }
    return true;
}

void LineRegistry::PostLocked(HLINEAPP app, const LineMessage& message, MessageSubject subject) {
    auto it = apps_.find(app);
    if (it != apps_.end()) {
        it->second.events->Post(message, subject);
    }
}

void LineRegistry::RequestCompleted(DWORD request, LONG result) {
    std::lock_guard lock(mutex_);
    auto it = requests_.find(request);
    if (it == requests_.end()) {
        return;
    }
    const Request r = it->second;
    requests_.erase(it);
    RecordRequestCompleted(request, result);
    PostLocked(r.app, {0, LINE_REPLY, r.instance, request, static_cast<DWORD>(result), 0}, {});
}

void LineRegistry::CallStateChanged(HCALL call, DWORD state, DWORD mode, DWORD param3) {
    std::lock_guard lock(mutex_);
    auto c = calls_.find(call);
    if (c == calls_.end() || c->second.timedOut) {
        return;
    }
    if (state == LINECALLSTATE_CONNECTED) {
        c->second.connected = true;
    }
    const Line& line = lines_.at(c->second.line);
    RecordCallState(call, state, mode);
    PostLocked(line.app, {call, LINE_CALLSTATE, line.instance, state, mode, param3},
               {MessageSubject::Kind::Call, call});
}

void LineRegistry::LineClosed(HLINE line) {
    std::lock_guard lock(mutex_);
    auto it = lines_.find(line);
    if (it == lines_.end()) {
        return;
    }
    const Line l = it->second;
    RemoveLineLocked(line);
    RecordLineClosed(line);
    PostLocked(l.app, {line, LINE_CLOSE, l.instance, 0, 0, 0}, {});
}

void LineRegistry::DeviceStateChanged(DWORD deviceId, DWORD state, DWORD param2, DWORD param3) {
    PostDeviceState(deviceId, state, param2, param3);
    health::DeviceStateChanged(deviceId, state, param2, param3);
}

void LineRegistry::OutageReason(DWORD deviceId, std::wstring text, std::string detail) {
    health::OutageReason(deviceId, std::move(text), std::move(detail));
}

void LineRegistry::PostDeviceState(DWORD deviceId, DWORD state, DWORD param2, DWORD param3) {
    std::lock_guard lock(mutex_);
    RecordDeviceState(state);
    for (const auto& [app, entry] : apps_) {
        LineMessage m{deviceId, LINE_LINEDEVSTATE, 0, state, param2, param3};
        for (const auto& [handle, line] : lines_) {
            if (line.app == app && line.deviceId == deviceId) {
                m.device = handle;
                m.instance = line.instance;
                break;
            }
        }
        entry.events->Post(m, {});
    }
}

void LineRegistry::DeviceCreated(DWORD deviceId) {
    std::lock_guard lock(mutex_);
    for (const auto& [app, entry] : apps_) {
        entry.events->Post({0, LINE_CREATE, 0, deviceId, 0, 0}, {});
    }
}

void LineRegistry::DeliverRaw(const LineMessage& message) {
    std::lock_guard lock(mutex_);
    for (const auto& [app, entry] : apps_) {
        entry.events->Post(message, {});
    }
}

} // namespace platform::tapi
