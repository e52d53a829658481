#include "platform/tapi/ofono/OfonoLineService.h"

#include "platform/dbus/SystemBus.h"
#include "platform/tapi/ofono/OfonoState.h"
#include "platform/win/Utf8.h"

#include <vector>

namespace platform::tapi::ofono {
namespace {

using platform::dbus::SystemBus;

constexpr DWORD kPermanentLineIdBase = 0x0F00;

bool Ended(DWORD state) {
    return state == 0 || state == LINECALLSTATE_IDLE || state == LINECALLSTATE_DISCONNECTED;
}

} // namespace

OfonoLineService::OfonoLineService() : state_(std::make_shared<OfonoState>()) {}

std::shared_ptr<OfonoLineService> OfonoLineService::Start(std::chrono::milliseconds discovery) {
    std::shared_ptr<OfonoLineService> service(new OfonoLineService);
    SystemBus::Get().Post([state = service->state_](sd_bus* bus) { state->Watch(bus); });
    service->state_->WaitForDiscovery(discovery);
    return service;
}

OfonoLineService::~OfonoLineService() {
    Stop();
}

void OfonoLineService::Stop() {
    if (stopped_.exchange(true)) {
        return;
    }
    SystemBus::Get().Run([state = state_](sd_bus* bus) { state->Unwatch(bus); });
}

std::wstring OfonoLineService::Label() const {
    return L"oFono";
}

DialPlan OfonoLineService::Dialling() const {
    // oFono's Dial takes an optional leading '+' and then digits, '*' and '#': no pauses.
    return DialPlan{true, L""};
}

void OfonoLineService::Attach(ServiceEvents& events) {
    std::lock_guard lock(state_->mutex);
    state_->events = &events;
}

LONG OfonoLineService::Initialize(DWORD* deviceCount) {
    *deviceCount = DeviceCount();
    return 0;
}

void OfonoLineService::Shutdown() {}

DWORD OfonoLineService::DeviceCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->DeviceCountLocked();
}

LONG OfonoLineService::NegotiateVersion(DWORD deviceId, DWORD, DWORD high, DWORD* version) {
    if (deviceId >= DeviceCount()) {
        return LINEERR_BADDEVICEID;
    }
    *version = high;
    return 0;
}

LONG OfonoLineService::DescribeDevice(DWORD deviceId, DeviceInfo* info) {
    std::lock_guard lock(state_->mutex);
    const auto* modem = state_->DeviceModem(deviceId);
    if (modem == nullptr) {
        return LINEERR_BADDEVICEID;
    }
    info->permanentLineId = kPermanentLineIdBase + deviceId;
    info->numAddresses = 1;
    info->mediaModes = LINEMEDIAMODE_INTERACTIVEVOICE;
    info->name = modem->name;
    return 0;
}

LONG OfonoLineService::OpenLine(DWORD deviceId, HLINE line) {
    std::lock_guard lock(state_->mutex);
    if (state_->DeviceModem(deviceId) == nullptr) {
        return LINEERR_BADDEVICEID;
    }
    state_->lines[line] = deviceId;
    return 0;
}

void OfonoLineService::CloseLine(HLINE line) {
    std::vector<std::string> up;
    {
        std::lock_guard lock(state_->mutex);
        for (auto it = state_->calls.begin(); it != state_->calls.end();) {
            if (it->second.line != line) {
                ++it;
                continue;
            }
            state_->ReplyLocked(it->second, 0);
            if (!it->second.path.empty() && !Ended(it->second.state)) {
                up.push_back(it->second.path);
            }
            it = state_->calls.erase(it);
        }
        state_->lines.erase(line);
    }
    for (auto& path : up) {
        SystemBus::Get().Post([state = state_, path](sd_bus* bus) {
            if (bus != nullptr) {
                state->Hangup(bus, path, 0);
            }
        });
    }
}

LONG OfonoLineService::MakeCall(HLINE line, HCALL call, DWORD request, const std::wstring& destination) {
    std::lock_guard lock(state_->mutex);
    auto open = state_->lines.find(line);
    if (open == state_->lines.end()) {
        return LINEERR_INVALLINEHANDLE;
    }
    for (const auto& [handle, other] : state_->calls) {
        if (other.line == line && other.state != LINECALLSTATE_IDLE) {
            return LINEERR_CALLUNAVAIL;
        }
    }
    auto& placed = state_->calls[call];
    placed = OfonoState::Call{line, open->second, request};
    const auto* modem = state_->DeviceModem(open->second);
    if (modem == nullptr || !modem->inService) {
        Say("not calling: the modem " + (modem != nullptr ? modem->path : std::string("?")) +
            " is out of service");
        placed.state = LINECALLSTATE_IDLE;
        state_->ReplyLocked(placed, LINEERR_CALLUNAVAIL);
        return 0;
    }
    SystemBus::Get().Post(
        [state = state_, call, modemPath = modem->path, number = ToUtf8(destination)](sd_bus* bus) {
            if (bus == nullptr) {
                Say("cannot dial: no system bus (" + SystemBus::Get().ConnectError() + ")");
                std::lock_guard lock(state->mutex);
                if (auto it = state->calls.find(call); it != state->calls.end()) {
                    it->second.state = LINECALLSTATE_IDLE;
                    state->ReplyLocked(it->second, LINEERR_OPERATIONFAILED);
                }
                return;
            }
            state->Dial(bus, call, modemPath, number);
        });
    return 0;
}

LONG OfonoLineService::DropCall(HCALL call, DWORD request) {
    std::string path;
    {
        std::lock_guard lock(state_->mutex);
        auto it = state_->calls.find(call);
        if (it == state_->calls.end()) {
            return LINEERR_INVALCALLHANDLE;
        }
        auto& dropped = it->second;
        if (dropped.state == LINECALLSTATE_IDLE) {
            return LINEERR_INVALCALLSTATE;
        }
        state_->ReplyLocked(dropped, 0);
        const bool up = !Ended(dropped.state) && !dropped.path.empty();
        if (up) {
            path = dropped.path;
        }
        state_->ReportStateLocked(call, dropped, LINECALLSTATE_IDLE);
        if (!up && state_->events != nullptr) {
            // Nothing to hang up (yet): a Dial still on its way is hung up when it answers.
            state_->events->RequestCompleted(request, 0);
        }
    }
    if (!path.empty()) {
        SystemBus::Get().Post([state = state_, path, request](sd_bus* bus) {
            if (bus == nullptr) {
                Say("cannot hang up " + path + ": no system bus");
                std::lock_guard lock(state->mutex);
                if (state->events != nullptr) {
                    state->events->RequestCompleted(request, LINEERR_OPERATIONFAILED);
                }
                return;
            }
            state->Hangup(bus, path, request);
        });
    }
    return 0;
}

void OfonoLineService::DeallocateCall(HCALL call) {
    std::string path;
    {
        std::lock_guard lock(state_->mutex);
        auto it = state_->calls.find(call);
        if (it == state_->calls.end()) {
            return;
        }
        state_->ReplyLocked(it->second, 0);
        if (!Ended(it->second.state)) {
            path = it->second.path;
        }
        state_->calls.erase(it);
    }
    if (!path.empty()) {
        SystemBus::Get().Post([state = state_, path](sd_bus* bus) {
            if (bus != nullptr) {
                state->Hangup(bus, path, 0);
            }
        });
    }
}

// OfonoState's helpers for the operations above.

OfonoState::Modem* OfonoState::DeviceModem(DWORD device) {
    for (auto& modem : modems) {
        if (modem.device >= 0 && static_cast<DWORD>(modem.device) == device) {
            return &modem;
        }
    }
    return nullptr;
}

DWORD OfonoState::DeviceCountLocked() const {
    DWORD count = 0;
    for (const auto& modem : modems) {
        count += modem.device >= 0 ? 1 : 0;
    }
    return count;
}

void OfonoState::ReplyLocked(Call& call, LONG result) {
    if (call.replied) {
        return;
    }
    call.replied = true;
    if (events != nullptr) {
        events->RequestCompleted(call.request, result);
    }
}

void OfonoState::ReportStateLocked(HCALL handle, Call& call, DWORD state, DWORD mode) {
    if (call.state == state) {
        return;
    }
    call.state = state;
    if (events != nullptr) {
        events->CallStateChanged(handle, state, mode, 0);
    }
}

} // namespace platform::tapi::ofono
