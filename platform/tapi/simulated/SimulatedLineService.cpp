#include "platform/tapi/simulated/SimulatedLineService.h"

#include "platform/win/Clock.h"

#include <algorithm>

namespace platform::tapi {
namespace {

constexpr std::size_t kMostRecords = 256;
constexpr DWORD kFirstPermanentLineId = 0x00005100;
// The scheduler never sleeps longer than this (real time), so a change of the clock's speed factor
// while it waits delays a step by at most this much.
constexpr auto kLongestWait = std::chrono::milliseconds(20);

} // namespace

SimulatedLineService::SimulatedLineService(SimulatedLineConfig config) : config_(std::move(config)) {
    thread_ = std::thread([this] { Run(); });
}

SimulatedLineService::~SimulatedLineService() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::wstring SimulatedLineService::Label() const {
    return L"Simulated line";
}

void SimulatedLineService::Attach(ServiceEvents& events) {
    std::lock_guard lock(mutex_);
    events_ = &events;
}

LONG SimulatedLineService::Initialize(DWORD* deviceCount) {
    std::lock_guard lock(mutex_);
    const std::uint64_t now = Clock::NowMs();
    if (!firstInitMs_) {
        firstInitMs_ = now;
    }
    if (config_.reinitAlways || now < *firstInitMs_ + config_.reinitMs) {
        return LINEERR_REINIT;
    }
    if (config_.initError != 0) {
        return config_.initError;
    }
    ++initialised_;
    *deviceCount = static_cast<DWORD>(config_.devices.size());
    return 0;
}

void SimulatedLineService::Shutdown() {
    std::lock_guard lock(mutex_);
    --initialised_;
}

DWORD SimulatedLineService::DeviceCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<DWORD>(config_.devices.size());
}

LONG SimulatedLineService::NegotiateVersion(DWORD deviceId, DWORD, DWORD high, DWORD* version) {
    std::lock_guard lock(mutex_);
    if (deviceId >= config_.devices.size()) {
        return LINEERR_BADDEVICEID;
    }
    if (config_.devices[deviceId].negotiationFails) {
        return LINEERR_INCOMPATIBLEAPIVERSION;
    }
    *version = high;
    return 0;
}

LONG SimulatedLineService::DescribeDevice(DWORD deviceId, DeviceInfo* info) {
    std::lock_guard lock(mutex_);
    if (deviceId >= config_.devices.size()) {
        return LINEERR_BADDEVICEID;
    }
    const SimulatedDevice& d = config_.devices[deviceId];
    info->permanentLineId = kFirstPermanentLineId + deviceId;
    info->numAddresses = 1;
    info->mediaModes = d.mediaModes;
    info->name = d.name;
    info->neededSize = d.capsSize;
    return 0;
}

LONG SimulatedLineService::OpenLine(DWORD deviceId, HLINE line) {
    std::lock_guard lock(mutex_);
    if (deviceId >= config_.devices.size()) {
        return LINEERR_BADDEVICEID;
    }
    lines_[line] = deviceId;
    return 0;
}

void SimulatedLineService::CloseLine(HLINE line) {
    std::lock_guard lock(mutex_);
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
}

LONG SimulatedLineService::MakeCall(HLINE line, HCALL call, DWORD request, const std::wstring& destination) {
    std::lock_guard lock(mutex_);
    CallRecord& record = RecordLocked(call);
    record.line = line;
    record.number = destination;
    record.placedAtMs = Clock::NowMs();
    record.script = config_.script.text;
    if (config_.script.refusal) {
        record.end = "refused";
        return *config_.script.refusal;
    }
    const bool lineBusy = std::any_of(calls_.begin(), calls_.end(), [line](const auto& entry) {
        return entry.second.line == line && entry.second.state != LINECALLSTATE_IDLE;
    });
    const auto device = lines_.find(line);
    const bool outOfService = device != lines_.end() && outOfService_.count(device->second) > 0;
    if (lineBusy || outOfService) {
        record.end = "refused";
        return LINEERR_CALLUNAVAIL;
    }
    calls_[call] = ActiveCall{line, request, record.placedAtMs, config_.script.steps};
    wake_.notify_all();
    return 0;
}

LONG SimulatedLineService::DropCall(HCALL call, DWORD request) {
    std::lock_guard lock(mutex_);
    auto it = calls_.find(call);
    if (it == calls_.end()) {
        return LINEERR_INVALCALLHANDLE;
    }
    ActiveCall& active = it->second;
    if (active.state == LINECALLSTATE_IDLE) {
        return LINEERR_INVALCALLSTATE;
    }
    ReplyNowLocked(call, active);
    active.next = active.steps.size();
    ReportStateLocked(call, active, LINECALLSTATE_IDLE, 0, 0);
    if (events_ != nullptr) {
        events_->RequestCompleted(request, 0);
    }
    RecordLocked(call).end = "dropped";
    return 0;
}

void SimulatedLineService::DeallocateCall(HCALL call) {
    std::lock_guard lock(mutex_);
    EndCallLocked(call, "deallocated");
}

void SimulatedLineService::SetCallScript(CallScript script) {
    std::lock_guard lock(mutex_);
    config_.script = std::move(script);
}

CallScript SimulatedLineService::CurrentScript() const {
    std::lock_guard lock(mutex_);
    return config_.script;
}

std::vector<SimulatedLineService::CallRecord> SimulatedLineService::Calls() const {
    std::lock_guard lock(mutex_);
    std::vector<CallRecord> out;
    for (const auto& [call, record] : records_) {
        out.push_back(record);
    }
    return out;
}

void SimulatedLineService::ClearCalls() {
    std::lock_guard lock(mutex_);
    records_.clear();
}

// --- The script player ---

void SimulatedLineService::Run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const auto due = FireDueLocked(Clock::NowMs());
        if (stopping_) {
            break;
        }
        if (!due) {
            wake_.wait(lock);
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        wake_.wait_until(lock, std::min(Clock::RealTimeAt(*due), now + kLongestWait));
    }
}

// Plays every step that is due, earliest first; answers when the next one is due (none: nothing left).
std::optional<std::uint64_t> SimulatedLineService::FireDueLocked(std::uint64_t now) {
    for (;;) {
        HCALL earliest = 0;
        std::uint64_t earliestDue = 0;
        for (const auto& [call, active] : calls_) {
            if (active.next < active.steps.size()) {
                const std::uint64_t due = active.startMs + active.steps[active.next].atMs;
                if (earliest == 0 || due < earliestDue) {
                    earliest = call;
                    earliestDue = due;
                }
            }
        }
        if (earliest == 0) {
            return std::nullopt;
        }
        if (earliestDue > now) {
            return earliestDue;
        }
        FireStepLocked(earliest, calls_.at(earliest));
    }
}

void SimulatedLineService::FireStepLocked(HCALL call, ActiveCall& active) {
    const ScriptStep step = active.steps[active.next++];
    if (!step.reply) {
        ReportStateLocked(call, active, step.state, step.mode, 0);
        return;
    }
    if (active.replied) {
        return; // only a request's first reply counts
    }
    active.replied = true;
    if (events_ != nullptr) {
        events_->RequestCompleted(active.request, step.result);
    }
    RecordLocked(call).reported.push_back(
        {Clock::NowMs(), LINE_REPLY, active.request, static_cast<DWORD>(step.result)});
    if (step.result != 0) {
        active.next = active.steps.size();
        active.state = LINECALLSTATE_IDLE;
        RecordLocked(call).end = "failed";
    }
}

void SimulatedLineService::ReplyNowLocked(HCALL call, ActiveCall& active) {
    if (active.replied) {
        return;
    }
    auto pending = std::find_if(active.steps.begin() + static_cast<std::ptrdiff_t>(active.next),
                                active.steps.end(), [](const ScriptStep& s) { return s.reply; });
    ScriptStep reply;
    reply.reply = true;
    reply.result = pending != active.steps.end() ? pending->result : 0;
    active.steps.insert(active.steps.begin() + static_cast<std::ptrdiff_t>(active.next), reply);
    FireStepLocked(call, active);
}

void SimulatedLineService::ReportStateLocked(HCALL call, ActiveCall& active, DWORD state, DWORD mode,
                                             DWORD param3) {
    active.state = state;
    if (events_ != nullptr) {
        events_->CallStateChanged(call, state, mode, param3);
    }
    CallRecord& record = RecordLocked(call);
    record.state = state;
    record.reported.push_back({Clock::NowMs(), LINE_CALLSTATE, state, mode});
}

void SimulatedLineService::EndCallLocked(HCALL call, const char* how) {
    auto it = calls_.find(call);
    if (it == calls_.end()) {
        return;
    }
    ReplyNowLocked(call, it->second);
    calls_.erase(it);
    CallRecord& record = RecordLocked(call);
    if (record.end.empty()) {
        record.end = how;
    }
}

SimulatedLineService::CallRecord& SimulatedLineService::RecordLocked(HCALL call) {
    auto [it, added] = records_.try_emplace(call);
    if (added) {
        it->second.call = call;
        if (records_.size() > kMostRecords) {
            records_.erase(records_.begin());
        }
    }
    return it->second;
}

} // namespace platform::tapi
