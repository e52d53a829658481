#include "platform/tapi/sip/SipLineService.h"

#include "platform/tapi/sip/DialTarget.h"
#include "platform/tapi/sip/SipCall.h"
#include "platform/tapi/sip/SipRegistration.h"
#include "platform/tapi/sip/SipStack.h"
#include "platform/win/Utf8.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace platform::tapi::sipline {
namespace {

constexpr DWORD kPermanentLineId = 0x5100;

void Say(const std::string& text) {
    std::fprintf(stderr, "lullwatch: sip: %s\n", text.c_str());
    std::fflush(stderr);
}

} // namespace

SipLineService::SipLineService(const SipConfig& config)
    : config_(config),
      registrationState_(config.registrar.empty() ? Registration::None : Registration::Pending) {}

std::shared_ptr<SipLineService> SipLineService::Start(const SipConfig& config, std::string* error) {
    std::shared_ptr<SipLineService> service(new SipLineService(config));
    service->stack_ = SipStack::Start(config, error);
    if (!service->stack_) {
        return nullptr;
    }
    if (!config.registrar.empty()) {
        SipLineService* self = service.get();
        self->stack_->Post([self] {
            self->registration_ = std::make_unique<SipRegistration>(
                *self->stack_, self->config_,
                [self](bool registered, const std::string& why) { self->OnRegistration(registered, why); });
            if (const int err = self->registration_->Start(); err != 0) {
                Say("cannot register with " + self->config_.registrar + ": " + std::strerror(err));
                self->OnRegistration(false, std::strerror(err));
            }
        });
    }
    return service;
}

SipLineService::~SipLineService() {
    stack_->Stop([this] {
        sipCalls_.clear();
        registration_.reset();
    });
    stack_.reset();
}

std::wstring SipLineService::Label() const {
    return L"SIP " + FromUtf8(config_.user + "@" + config_.domain);
}

void SipLineService::Attach(ServiceEvents& events) {
    std::lock_guard lock(mutex_);
    events_ = &events;
}

LONG SipLineService::Initialize(DWORD* deviceCount) {
    *deviceCount = 1;
    return 0;
}

void SipLineService::Shutdown() {}

DWORD SipLineService::DeviceCount() const {
    return 1;
}

LONG SipLineService::NegotiateVersion(DWORD deviceId, DWORD, DWORD high, DWORD* version) {
    if (deviceId != 0) {
        return LINEERR_BADDEVICEID;
    }
    *version = high;
    return 0;
}

LONG SipLineService::DescribeDevice(DWORD deviceId, DeviceInfo* info) {
    if (deviceId != 0) {
        return LINEERR_BADDEVICEID;
    }
    info->permanentLineId = kPermanentLineId;
    info->numAddresses = 1;
    info->mediaModes = LINEMEDIAMODE_INTERACTIVEVOICE;
    info->name = FromUtf8(config_.user + "@" + config_.domain);
    return 0;
}

LONG SipLineService::OpenLine(DWORD deviceId, HLINE line) {
    if (deviceId != 0) {
        return LINEERR_BADDEVICEID;
    }
    std::lock_guard lock(mutex_);
    lines_.insert(line);
    return 0;
}

void SipLineService::CloseLine(HLINE line) {
    std::lock_guard lock(mutex_);
    std::vector<HCALL> onLine;
    for (auto& [handle, call] : calls_) {
        if (call.line == line) {
            ReplyLocked(call, 0);
            onLine.push_back(handle);
        }
    }
    for (HCALL handle : onLine) {
        calls_.erase(handle);
        HangUpOnStack(handle);
    }
    lines_.erase(line);
}

LONG SipLineService::MakeCall(HLINE line, HCALL call, DWORD request, const std::wstring& destination) {
    std::lock_guard lock(mutex_);
    if (lines_.count(line) == 0) {
        return LINEERR_INVALLINEHANDLE;
    }
    for (const auto& [handle, other] : calls_) {
        if (other.line == line && other.state != LINECALLSTATE_IDLE) {
            return LINEERR_CALLUNAVAIL;
        }
    }
    Call& placed = calls_[call];
    placed = Call{line, request, false, 0};
    std::string why;
    const auto uri = DialTarget(destination, config_.dialPattern, &why);
    if (!uri) {
        Say("not calling: " + why);
        placed.state = LINECALLSTATE_IDLE;
        ReplyLocked(placed, LINEERR_INVALADDRESS);
        return 0;
    }
    ++stackCalls_;
    stack_->Post([this, call, target = *uri] { PlaceOnStack(call, target); });
    return 0;
}

LONG SipLineService::DropCall(HCALL call, DWORD request) {
    std::lock_guard lock(mutex_);
    auto it = calls_.find(call);
    if (it == calls_.end()) {
        return LINEERR_INVALCALLHANDLE;
    }
    Call& dropped = it->second;
    if (dropped.state == LINECALLSTATE_IDLE) {
        return LINEERR_INVALCALLSTATE;
    }
    ReplyLocked(dropped, 0);
    dropped.state = LINECALLSTATE_IDLE;
    HangUpOnStack(call);
    if (events_ != nullptr) {
        events_->CallStateChanged(call, LINECALLSTATE_IDLE, 0, 0);
        events_->RequestCompleted(request, 0);
    }
    return 0;
}

void SipLineService::DeallocateCall(HCALL call) {
    std::lock_guard lock(mutex_);
    auto it = calls_.find(call);
    if (it == calls_.end()) {
        return;
    }
    ReplyLocked(it->second, 0);
    calls_.erase(it);
    HangUpOnStack(call);
}

SipLineService::Figures SipLineService::Measure() const {
    std::lock_guard lock(mutex_);
    Figures figures;
    figures.registration = registrationState_;
    if (registrationState_ == Registration::Failed) {
        figures.registrationProblem = registrationProblem_;
    }
    figures.calls = stackCalls_;
    if (latest_) {
        figures.packetsSent = latest_->packetsSent.load(std::memory_order_relaxed);
        figures.packetsReceived = latest_->packetsReceived.load(std::memory_order_relaxed);
    }
    return figures;
}

void SipLineService::ReplyLocked(Call& call, LONG result) {
    if (call.replied) {
        return;
    }
    call.replied = true;
    if (events_ != nullptr) {
        events_->RequestCompleted(call.request, result);
    }
}

// Stack thread: the call may have been hung up or forgotten since it was asked for.
void SipLineService::PlaceOnStack(HCALL call, const std::string& uri) {
    {
        std::lock_guard lock(mutex_);
        auto it = calls_.find(call);
        if (it == calls_.end() || it->second.state == LINECALLSTATE_IDLE) {
            --stackCalls_;
            return;
        }
    }
    auto placed =
        std::make_shared<SipCall>(*stack_, config_, [this, call](CallOutcome o) { OnReport(call, o); });
    const int err = placed->Start(uri);
    std::lock_guard lock(mutex_);
    if (err != 0) {
        --stackCalls_;
        Say("cannot call " + uri + ": " + std::strerror(err));
        if (auto it = calls_.find(call); it != calls_.end()) {
            it->second.state = LINECALLSTATE_IDLE;
            ReplyLocked(it->second, LINEERR_OPERATIONFAILED);
        }
        return;
    }
    latest_ = placed->Counters();
    sipCalls_[call] = std::move(placed);
}

void SipLineService::HangUpOnStack(HCALL call) {
    stack_->Post([this, call] {
        auto it = sipCalls_.find(call);
        if (it == sipCalls_.end()) {
            return;
        }
        auto hungUp = std::move(it->second);
        sipCalls_.erase(it);
        hungUp->Hangup();
        std::lock_guard lock(mutex_);
        --stackCalls_;
    });
}

void SipLineService::OnReport(HCALL call, CallOutcome outcome) {
    std::lock_guard lock(mutex_);
    auto it = calls_.find(call);
    if (it == calls_.end() || it->second.state == LINECALLSTATE_IDLE) {
        return;
    }
    ReplyLocked(it->second, 0);
    it->second.state = outcome.state;
    if (events_ != nullptr) {
        events_->CallStateChanged(call, outcome.state, outcome.mode, 0);
    }
}

void SipLineService::OnRegistration(bool registered, const std::string& why) {
    Say(registered ? "registered with " + config_.registrar
                   : "not registered with " + config_.registrar + (why.empty() ? "" : ": " + why));
    std::lock_guard lock(mutex_);
    const Registration before = registrationState_;
    registrationState_ = registered ? Registration::Registered : Registration::Failed;
    if (events_ != nullptr && !registered) {
        events_->OutageReason(0, L"Not registered",
                              "registrar " + config_.registrar + (why.empty() ? "" : ": " + why));
    }
    registrationProblem_ = why;
    // The line starts out in service: only a failure, and the return after one, are news.
    if (events_ != nullptr && !(before == Registration::Pending && registered)) {
        events_->DeviceStateChanged(0, registered ? LINEDEVSTATE_INSERVICE : LINEDEVSTATE_OUTOFSERVICE, 0, 0);
    }
}

} // namespace platform::tapi::sipline
