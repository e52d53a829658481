// Driving the simulated exchange by hand: injected events and the status text.
#include "platform/tapi/simulated/SimulatedLineService.h"

#include "platform/tapi/TapiNames.h"
#include "platform/win/Utf8.h"

namespace platform::tapi {
namespace {

constexpr std::size_t kMostDevices = 64;

} // namespace

bool SimulatedLineService::Inject(const InjectedEvent& event, std::string* error) {
    std::lock_guard lock(mutex_);
    if (events_ == nullptr) {
        *error = "the simulated line is not installed";
        return false;
    }
    if (event.device) {
        events_->DeliverRaw({*event.device, event.message, 0, event.param1.value_or(0),
                             event.param2.value_or(0), event.param3.value_or(0)});
        return true;
    }
    switch (event.message) {
    case LINE_CALLSTATE:
        return InjectCallStateLocked(event, error);
    case LINE_CLOSE:
        return InjectCloseLocked(error);
    case LINE_LINEDEVSTATE:
        return InjectDevStateLocked(event, error);
    case LINE_REPLY: {
        const DWORD request = event.param1.value_or(calls_.empty() ? 0 : calls_.rbegin()->second.request);
        if (request == 0) {
            *error = "reply needs a request number (no call in progress)";
            return false;
        }
        events_->DeliverRaw({0, LINE_REPLY, 0, request, event.param2.value_or(0), 0});
        return true;
    }
    case LINE_CREATE:
        return InjectCreateLocked(event, error);
    default:
        events_->DeliverRaw({0, event.message, 0, event.param1.value_or(0), event.param2.value_or(0),
                             event.param3.value_or(0)});
        return true;
    }
}

// About the device of the latest open line (device 0 when none is open). A state that stops calls
// (also as a translated REINIT) makes the exchange refuse calls on the device until it is back.
bool SimulatedLineService::InjectDevStateLocked(const InjectedEvent& event, std::string* error) {
    if (!event.param1) {
        *error = "linedevstate needs a device state";
        return false;
    }
    const DWORD device = lines_.empty() ? 0 : lines_.rbegin()->second;
    DWORD state = *event.param1;
    if (state == LINEDEVSTATE_REINIT && event.param2.value_or(0) == LINE_LINEDEVSTATE) {
        state = event.param3.value_or(0);
    }
    if (state == LINEDEVSTATE_OUTOFSERVICE || state == LINEDEVSTATE_DISCONNECTED ||
        state == LINEDEVSTATE_MAINTENANCE) {
        outOfService_.insert(device);
    } else if (state == LINEDEVSTATE_INSERVICE || state == LINEDEVSTATE_CONNECTED) {
        outOfService_.erase(device);
    }
    events_->DeviceStateChanged(device, *event.param1, event.param2.value_or(0), event.param3.value_or(0));
    return true;
}

bool SimulatedLineService::InjectCallStateLocked(const InjectedEvent& event, std::string* error) {
    if (calls_.empty()) {
        *error = "no call in progress (give device=<hCall> to deliver it anyway)";
        return false;
    }
    if (!event.param1) {
        *error = "callstate needs a call state";
        return false;
    }
    const HCALL call = calls_.rbegin()->first;
    ActiveCall& active = calls_.rbegin()->second;
    const DWORD state = *event.param1;
    if (state == LINECALLSTATE_DISCONNECTED || state == LINECALLSTATE_IDLE) {
        ReplyNowLocked(call, active);
        active.next = active.steps.size();
    }
    ReportStateLocked(call, active, state, event.param2.value_or(0), event.param3.value_or(0));
    return true;
}

bool SimulatedLineService::InjectCloseLocked(std::string* error) {
    if (lines_.empty()) {
        *error = "no open line (give device=<hLine> to deliver it anyway)";
        return false;
    }
    const HLINE line = lines_.rbegin()->first;
    std::vector<HCALL> onLine;
    for (const auto& [call, active] : calls_) {
        if (active.line == line) {
            onLine.push_back(call);
        }
    }
    for (HCALL call : onLine) {
        EndCallLocked(call, "line closed");
    }
    lines_.erase(line);
    events_->LineClosed(line);
    return true;
}

bool SimulatedLineService::InjectCreateLocked(const InjectedEvent& event, std::string* error) {
    const DWORD id = event.param1.value_or(static_cast<DWORD>(config_.devices.size()));
    if (id < config_.devices.size()) {
        events_->DeliverRaw({0, LINE_CREATE, 0, id, 0, 0});
        return true;
    }
    if (id >= kMostDevices) {
        *error = "the simulated line has at most " + std::to_string(kMostDevices) + " devices";
        return false;
    }
    config_.devices.resize(id + 1);
    events_->DeviceCreated(id);
    return true;
}

std::string SimulatedLineService::StatusText() const {
    std::lock_guard lock(mutex_);
    std::string text = "service: Simulated line\ndevices: " + std::to_string(config_.devices.size());
    for (std::size_t i = 0; i < config_.devices.size(); ++i) {
        const SimulatedDevice& d = config_.devices[i];
        text += "\n  " + std::to_string(i) + ": " + (d.name ? "\"" + ToUtf8(*d.name) + "\"" : "(no name)") +
                " media=" + Hex(d.mediaModes) +
                " caps-size=" + (d.capsSize == 0 ? std::string("auto") : std::to_string(d.capsSize)) +
                " negotiate=" + (d.negotiationFails ? "fail" : "ok");
    }
    text += "\nscript: " + config_.script.text;
    for (const auto& [line, device] : lines_) {
        text += "\nline " + Hex(line) + " device " + std::to_string(device);
    }
    for (const auto& [call, active] : calls_) {
        text += "\ncall " + Hex(call) + " \"" +
                ToUtf8(records_.count(call) ? records_.at(call).number : L"") + "\" " +
                TapiValueName(TapiNameFamily::CallState, active.state) + ", " +
                std::to_string(active.steps.size() - active.next) + " step(s) to come";
    }
    return text;
}

} // namespace platform::tapi
