#include "platform/tapi/modem/ModemLineService.h"

#include "platform/dbus/SystemBus.h"
#include "platform/tapi/modem/CallStates.h"
#include "platform/win/Utf8.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>

namespace platform::tapi::modem {
namespace {

using platform::dbus::SystemBus;

void Say(const std::string& text) {
    std::fprintf(stderr, "lullwatch: modem: %s\n", text.c_str());
    std::fflush(stderr);
}

} // namespace

ModemLineService::ModemLineService(ModemConfig config) : config_(std::move(config)) {}

std::shared_ptr<ModemLineService> ModemLineService::Start(const ModemConfig& config) {
    std::shared_ptr<ModemLineService> service(new ModemLineService(config));
    SystemBus::Get().Post([self = service->weak_from_this()](sd_bus* bus) {
        if (auto service = self.lock()) {
            service->Listen(bus);
        }
    });
    std::unique_lock lock(service->mutex_);
    if (!service->changed_.wait_for(lock, std::chrono::milliseconds(config.waitMs),
                                    [&] { return service->answered_; })) {
        Say("ModemManager has not answered yet; modems it finds later are added");
    }
    return service;
}

ModemLineService::~ModemLineService() {
    Stop();
}

void ModemLineService::Stop() {
    if (stopped_.exchange(true)) {
        return;
    }
    {
        std::lock_guard guard(mutex_);
        std::vector<HCALL> handles;
        for (const auto& [handle, call] : calls_) {
            handles.push_back(handle);
        }
        for (HCALL handle : handles) {
            ForgetCallLocked(handle);
        }
        lines_.clear();
    }
    SystemBus::Get().Post([matches = matches_](sd_bus*) {
        for (sd_bus_slot* slot : *matches) {
            sd_bus_slot_unref(slot);
        }
        matches->clear();
    });
    std::unique_lock lock(hangUps_->mutex);
    hangUps_->done.wait_for(lock, std::chrono::seconds(1), [this] { return hangUps_->count == 0; });
}

std::wstring ModemLineService::Label() const {
    return L"Cellular (ModemManager)";
}

DialPlan ModemLineService::Dialling() const {
    // ModemManager hands the number to the modem as it is (ATD<number>; or QMI's dial request), and
    // 3GPP modems ignore dial modifiers such as ',': "0123,45" would dial 012345. So no pause at all.
    return DialPlan{true, L""};
}

void ModemLineService::Attach(ServiceEvents& events) {
    std::lock_guard guard(mutex_);
    events_ = &events;
}

LONG ModemLineService::Initialize(DWORD* deviceCount) {
    std::lock_guard guard(mutex_);
    ++apps_;
    *deviceCount = static_cast<DWORD>(devices_.size());
    if (!listening_ && !stopped_) {
        // There was no system bus at start; the line layer's next start-up attempt finds the modems.
        SystemBus::Get().Post([self = weak_from_this()](sd_bus* bus) {
            if (auto service = self.lock()) {
                service->Listen(bus);
            }
        });
    }
    // A modem that was out of service from the start has not been reported to the line layer yet.
    for (DWORD id = 0; id < devices_.size(); ++id) {
        if (!devices_[id].inService) {
            ReportServiceLocked(id);
        }
    }
    return 0;
}

void ModemLineService::Shutdown() {
    std::lock_guard guard(mutex_);
    --apps_;
}

DWORD ModemLineService::DeviceCount() const {
    std::lock_guard guard(mutex_);
    return static_cast<DWORD>(devices_.size());
}

LONG ModemLineService::NegotiateVersion(DWORD, DWORD, DWORD high, DWORD* version) {
    *version = high;
    return 0;
}

LONG ModemLineService::DescribeDevice(DWORD deviceId, DeviceInfo* info) {
    std::lock_guard guard(mutex_);
    if (deviceId >= devices_.size()) {
        return LINEERR_BADDEVICEID;
    }
    info->permanentLineId = 0x4D4D0000u + deviceId; // "MM" and the device number
    info->numAddresses = 1;
    info->mediaModes = LINEMEDIAMODE_INTERACTIVEVOICE;
    info->name = devices_[deviceId].name;
    return 0;
}

LONG ModemLineService::OpenLine(DWORD deviceId, HLINE line) {
    std::lock_guard guard(mutex_);
    if (deviceId >= devices_.size()) {
        return LINEERR_BADDEVICEID;
    }
    lines_[line] = deviceId;
    return 0;
}

void ModemLineService::CloseLine(HLINE line) {
    std::lock_guard guard(mutex_);
    lines_.erase(line);
    std::vector<HCALL> handles;
    for (const auto& [handle, call] : calls_) {
        if (call.line == line) {
            handles.push_back(handle);
        }
    }
    for (HCALL handle : handles) {
        ForgetCallLocked(handle);
    }
}

LONG ModemLineService::MakeCall(HLINE line, HCALL call, DWORD request, const std::wstring& destination) {
    std::lock_guard guard(mutex_);
    const auto open = lines_.find(line);
    if (open == lines_.end()) {
        return LINEERR_INVALLINEHANDLE;
    }
    const Device& device = devices_[open->second];
    Call& entry = calls_[call];
    entry.line = line;
    entry.modem = device.path;
    entry.request = request;
    if (!device.inService) {
        Say("no call: " + platform::ToUtf8(device.name) + " is out of service");
        ReportServiceLocked(open->second);
        ReplyLocked(call, entry, LINEERR_CALLUNAVAIL);
        entry.terminated = true;
        return 0;
    }
    const std::string number = platform::ToUtf8(destination);
    SystemBus::Get().Post([self = weak_from_this(), call, path = device.path, number](sd_bus* bus) {
        const auto arguments = [&number](sd_bus_message* m) {
            return sd_bus_message_append(m, "a{sv}", 1, "number", "s", number.c_str());
        };
        CallMethod(bus, path, kVoiceInterface, "CreateCall", arguments,
                   [self, bus, call](sd_bus_message* reply, const std::string& error) {
                       if (auto service = self.lock()) {
                           service->OnCreated(bus, call, reply, error);
                       }
                   });
    });
    return 0;
}

void ModemLineService::OnCreated(sd_bus* bus, HCALL handle, sd_bus_message* reply, const std::string& error) {
    std::lock_guard guard(mutex_);
    const auto it = calls_.find(handle);
    if (it == calls_.end()) {
        return;
    }
    Call& call = it->second;
    const char* path = nullptr;
    if (!error.empty() || sd_bus_message_read(reply, "o", &path) < 0) {
        Say("Voice.CreateCall failed: " +
            (error.empty() ? std::string("no call path in the answer") : error));
        ReplyLocked(handle, call, LineErrorFor(error));
        call.terminated = true;
        if (call.forgotten) {
            calls_.erase(it);
        }
        return;
    }
    call.path = path;
    if (call.forgotten || call.hungUp) {
        ReplyLocked(handle, call, 0);
        const bool forgotten = call.forgotten;
        call.terminated = true;
        {
            std::lock_guard count(hangUps_->mutex);
            ++hangUps_->count;
        }
        HangUpAndDelete(bus, call.modem, path, false, hangUps_); // never started
        if (forgotten) {
            calls_.erase(it);
        }
        return;
    }
    CallMethod(bus, path, kCallInterface, "Start", nullptr,
               [self = weak_from_this(), handle](sd_bus_message*, const std::string& failure) {
                   if (auto service = self.lock()) {
                       service->OnStarted(handle, failure);
                   }
               });
}

void ModemLineService::OnStarted(HCALL handle, const std::string& error) {
    std::lock_guard guard(mutex_);
    const auto it = calls_.find(handle);
    if (it == calls_.end()) {
        return;
    }
    if (!error.empty()) {
        Say("Call.Start failed: " + error);
        it->second.terminated = true;
    }
    ReplyLocked(handle, it->second, error.empty() ? 0 : LineErrorFor(error));
}

void ModemLineService::OnCallState(const std::string& path, int state, unsigned reason) {
    std::lock_guard guard(mutex_);
    for (auto& [handle, call] : calls_) {
        if (call.path != path || call.forgotten) {
            continue;
        }
        const auto mapped = MapCallState(state, reason);
        if (!mapped) {
            return;
        }
        ReplyLocked(handle, call, 0);
        if (!IsFinalCallState(state)) {
            events_->CallStateChanged(handle, mapped->state, mapped->mode, 0);
            return;
        }
        if (call.terminated) {
            return;
        }
        call.terminated = true;
        if (!call.hungUp) {
            events_->CallStateChanged(handle, mapped->state, mapped->mode, 0);
        }
        events_->CallStateChanged(handle, LINECALLSTATE_IDLE, 0, 0);
        return;
    }
}

LONG ModemLineService::DropCall(HCALL handle, DWORD request) {
    std::lock_guard guard(mutex_);
    const auto it = calls_.find(handle);
    if (it == calls_.end()) {
        return LINEERR_INVALCALLHANDLE;
    }
    Call& call = it->second;
    const bool alreadyOver = call.hungUp || call.terminated || call.path.empty();
    if (call.path.empty() && !call.hungUp) {
        events_->CallStateChanged(handle, LINECALLSTATE_IDLE, 0, 0); // CreateCall's answer deletes it
    }
    call.hungUp = true;
    if (alreadyOver) {
        events_->RequestCompleted(request, 0);
        return 0;
    }
    SystemBus::Get().Post([self = weak_from_this(), path = call.path, request](sd_bus* bus) {
        CallMethod(bus, path, kCallInterface, "Hangup", nullptr,
                   [self, request](sd_bus_message*, const std::string& error) {
                       auto service = self.lock();
                       if (!service) {
                           return;
                       }
                       if (!error.empty()) {
                           Say("Call.Hangup failed: " + error);
                       }
                       std::lock_guard guard(service->mutex_);
                       service->events_->RequestCompleted(request, error.empty() ? 0 : LineErrorFor(error));
                   });
    });
    return 0;
}

void ModemLineService::DeallocateCall(HCALL handle) {
    std::lock_guard guard(mutex_);
    ForgetCallLocked(handle);
}

void ModemLineService::ForgetCallLocked(HCALL handle) {
    const auto it = calls_.find(handle);
    if (it == calls_.end()) {
        return;
    }
    Call& call = it->second;
    if (call.path.empty()) {
        if (call.terminated) {
            calls_.erase(it); // CreateCall failed or was never sent
        } else {
            call.forgotten = true; // CreateCall's answer deletes it
        }
        return;
    }
    PostHangUp(call.modem, call.path, !call.terminated && !call.hungUp);
    calls_.erase(it);
}

void ModemLineService::PostHangUp(const std::string& modem, const std::string& path, bool hangUp) {
    {
        std::lock_guard count(hangUps_->mutex);
        ++hangUps_->count;
    }
    SystemBus::Get().Post([modem, path, hangUp, pending = hangUps_](sd_bus* bus) {
        HangUpAndDelete(bus, modem, path, hangUp, pending);
    });
}

void ModemLineService::HangUpAndDelete(sd_bus* bus, const std::string& modem, const std::string& path,
                                       bool hangUp, std::shared_ptr<Pending> pending) {
    // The call object goes only once the hang-up has been answered, so that ModemManager never deletes
    // a call that is still up.
    auto remove = [bus, modem, path, pending](sd_bus_message*, const std::string& hangUpError) {
        if (!hangUpError.empty()) {
            Say("Call.Hangup failed: " + hangUpError);
        }
        CallMethod(
            bus, modem, kVoiceInterface, "DeleteCall",
            [path](sd_bus_message* m) { return sd_bus_message_append(m, "o", path.c_str()); },
            [pending](sd_bus_message*, const std::string& error) {
                if (!error.empty()) {
                    Say("Voice.DeleteCall failed: " + error);
                }
                std::lock_guard guard(pending->mutex);
                --pending->count;
                pending->done.notify_all();
            });
    };
    if (hangUp) {
        CallMethod(bus, path, kCallInterface, "Hangup", nullptr, remove);
    } else {
        remove(nullptr, "");
    }
}

void ModemLineService::ReplyLocked(HCALL, Call& call, LONG result) {
    if (!call.replied) {
        call.replied = true;
        events_->RequestCompleted(call.request, result);
    }
}

std::vector<ModemLineService::DeviceView> ModemLineService::Devices() const {
    std::lock_guard guard(mutex_);
    std::vector<DeviceView> views;
    for (const Device& device : devices_) {
        views.push_back(DeviceView{device.path, device.name, device.inService});
    }
    return views;
}

} // namespace platform::tapi::modem
