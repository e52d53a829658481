// The bus side of the oFono service: modems, their service state, emergency numbers and the calls'
// states, on the system bus's thread.
#include "platform/tapi/ofono/OfonoCallStates.h"
#include "platform/tapi/ofono/OfonoState.h"

#include "platform/dbus/AsyncCall.h"
#include "platform/dbus/BusError.h"
#include "platform/dbus/SystemBus.h"
#include "platform/tapi/DialRules.h"
#include "platform/win/Utf8.h"

#include <algorithm>
#include <cstdio>

namespace platform::tapi::ofono {
namespace {

bool Has(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

std::string PathOf(sd_bus_message* m) {
    const char* path = sd_bus_message_get_path(m);
    return path != nullptr ? path : "";
}

// A signal's (s name, v value) arguments.
bool ReadPropertyChange(sd_bus_message* m, std::string* name, dbus::Value* value) {
    const char* n = nullptr;
    if (sd_bus_message_read_basic(m, 's', &n) <= 0 || !dbus::ReadVariant(m, value)) {
        return false;
    }
    *name = n;
    return true;
}

std::string ReadText(sd_bus_message* m) {
    char type = 0;
    const char* text = nullptr;
    if (sd_bus_message_peek_type(m, &type, nullptr) > 0 && (type == 's' || type == 'o') &&
        sd_bus_message_read_basic(m, type, &text) > 0) {
        return text;
    }
    return {};
}

} // namespace

void Say(const std::string& text) {
    std::fprintf(stderr, "lullwatch: ofono: %s\n", text.c_str());
    std::fflush(stderr);
}

void OfonoState::Started() {
    std::lock_guard lock(mutex);
    ++outstanding_;
}

void OfonoState::Finished() {
    std::lock_guard lock(mutex);
    if (--outstanding_ == 0) {
        discoveryDone_ = true;
        discovered_.notify_all();
    }
}

void OfonoState::WaitForDiscovery(std::chrono::milliseconds within) {
    std::unique_lock lock(mutex);
    discovered_.wait_for(lock, within, [this] { return discoveryDone_; });
}

void OfonoState::Watch(sd_bus* bus) {
    if (bus == nullptr) {
        Say("no system bus, so no modems (" + dbus::SystemBus::Get().ConnectError() + ")");
        std::lock_guard lock(mutex);
        discoveryDone_ = true;
        discovered_.notify_all();
        return;
    }
    auto on = [this, bus](const char* interface, const char* member, auto handler) {
        if (sd_bus_slot* slot =
                dbus::MatchSignal(bus, kOfono, nullptr, interface, member,
                                  [this, bus, handler](sd_bus_message* m) { handler(bus, m); })) {
            matches_.push_back(slot);
        }
    };
    on(kManager, "ModemAdded", [this](sd_bus* b, sd_bus_message* m) {
        const std::string path = ReadText(m);
        dbus::Properties properties;
        if (!path.empty() && dbus::ReadProperties(m, &properties)) {
            ModemSeen(b, path, properties);
        }
    });
    on(kManager, "ModemRemoved", [this](sd_bus*, sd_bus_message* m) { OnModemRemoved(ReadText(m)); });
    on(kModem, "PropertyChanged", [this](sd_bus* b, sd_bus_message* m) {
        std::string name;
        dbus::Value value;
        if (ReadPropertyChange(m, &name, &value)) {
            OnModemProperty(b, PathOf(m), name, value);
        }
    });
    on(kNetworkRegistration, "PropertyChanged", [this](sd_bus*, sd_bus_message* m) {
        std::string name;
        dbus::Value value;
        if (ReadPropertyChange(m, &name, &value) && name == "Status" &&
            std::holds_alternative<std::string>(value)) {
            OnRegistration(PathOf(m), std::get<std::string>(value));
        }
    });
    on(kVoiceCallManager, "PropertyChanged", [](sd_bus*, sd_bus_message* m) {
        std::string name;
        dbus::Value value;
        if (ReadPropertyChange(m, &name, &value) && name == "EmergencyNumbers") {
            SetEmergencyNumbers(PathOf(m), dbus::TextsOf({{name, value}}, name));
        }
    });
    // oFono announces a removed call on its modem; some stand-ins on the call itself: either will do.
    on(kVoiceCallManager, "CallRemoved", [this](sd_bus*, sd_bus_message* m) { OnCallRemoved(ReadText(m)); });
    on(kVoiceCall, "PropertyChanged", [this](sd_bus*, sd_bus_message* m) {
        std::string name;
        dbus::Value value;
        if (ReadPropertyChange(m, &name, &value) && name == "State" &&
            std::holds_alternative<std::string>(value)) {
            OnCallState(PathOf(m), std::get<std::string>(value));
        }
    });
    on(kVoiceCall, "DisconnectReason",
       [this](sd_bus*, sd_bus_message* m) { OnDisconnectReason(PathOf(m), ReadText(m)); });

    Started();
    std::weak_ptr<OfonoState> weak = weak_from_this();
    const int r = dbus::CallMethod(
        bus, kOfono, "/", kManager, "GetModems",
        [weak, bus](sd_bus_message* reply) {
            if (auto self = weak.lock()) {
                self->OnModems(bus, reply);
                self->Finished();
            }
        },
        "");
    if (r < 0) {
        Say("cannot ask oFono for its modems: " + dbus::DescribeError(nullptr, r));
        Finished();
    }
}

void OfonoState::OnModems(sd_bus* bus, sd_bus_message* reply) {
    if (const std::string error = dbus::ReplyError(reply); !error.empty()) {
        Say("no modems: GetModems failed: " + error);
        return;
    }
    if (sd_bus_message_enter_container(reply, 'a', "(oa{sv})") <= 0) {
        return;
    }
    while (sd_bus_message_enter_container(reply, 'r', "oa{sv}") > 0) {
        const std::string path = ReadText(reply);
        dbus::Properties properties;
        if (!path.empty() && dbus::ReadProperties(reply, &properties)) {
            ModemSeen(bus, path, properties);
        }
        sd_bus_message_exit_container(reply);
    }
}

OfonoState::Modem* OfonoState::ModemAt(const std::string& path) {
    for (auto& modem : modems) {
        if (modem.path == path) {
            return &modem;
        }
    }
    return nullptr;
}

void OfonoState::ModemSeen(sd_bus* bus, const std::string& path, const dbus::Properties& properties) {
    {
        std::lock_guard lock(mutex);
        Modem* modem = ModemAt(path);
        if (modem == nullptr) {
            modems.push_back(Modem{path});
            modem = &modems.back();
        }
        modem->present = true;
        std::string name = dbus::TextOf(properties, "Manufacturer");
        const std::string model = dbus::TextOf(properties, "Model");
        name += (name.empty() || model.empty() ? "" : " ") + model;
        modem->name = FromUtf8(name.empty() ? path : name);
        modem->online = dbus::BoolOf(properties, "Online");
        UpdateServiceLocked(*modem);
    }
    dbus::Value interfaces = dbus::TextsOf(properties, "Interfaces");
    OnModemProperty(bus, path, "Interfaces", interfaces);
}

void OfonoState::OnModemProperty(sd_bus* bus, const std::string& path, const std::string& name,
                                 const dbus::Value& value) {
    bool askVoice = false;
    bool askRegistration = false;
    {
        std::lock_guard lock(mutex);
        Modem* modem = ModemAt(path);
        if (modem == nullptr) {
            return;
        }
        if (name == "Online" && std::holds_alternative<bool>(value)) {
            modem->online = std::get<bool>(value);
        } else if (name == "Interfaces" && std::holds_alternative<std::vector<std::string>>(value)) {
            const auto& interfaces = std::get<std::vector<std::string>>(value);
            const bool voice = Has(interfaces, kVoiceCallManager);
            askVoice = voice && !modem->voice;
            modem->voice = voice;
            const bool registration = Has(interfaces, kNetworkRegistration);
            askRegistration = registration && !modem->registrationQueried;
            modem->registrationQueried = registration;
            if (!registration) {
                modem->registration.clear();
            }
            if (voice && modem->device < 0) {
                modem->device = static_cast<int>(DeviceCountLocked());
                // The device exists from the moment it is counted; at start nobody listens yet.
                if (events != nullptr) {
                    events->DeviceCreated(static_cast<DWORD>(modem->device));
                }
            }
        } else {
            return;
        }
        UpdateServiceLocked(*modem);
    }
    if (askVoice) {
        QueryVoice(bus, path);
    }
    if (askRegistration) {
        QueryRegistration(bus, path);
    }
}

void OfonoState::QueryVoice(sd_bus* bus, const std::string& path) {
    Started();
    std::weak_ptr<OfonoState> weak = weak_from_this();
    const int r = dbus::CallMethod(
        bus, kOfono, path.c_str(), kVoiceCallManager, "GetProperties",
        [weak, path](sd_bus_message* reply) {
            auto self = weak.lock();
            if (!self) {
                return;
            }
            dbus::Properties properties;
            if (const std::string error = dbus::ReplyError(reply); !error.empty()) {
                Say(path + ": cannot read the emergency numbers: " + error);
            } else if (dbus::ReadProperties(reply, &properties)) {
                SetEmergencyNumbers(path, dbus::TextsOf(properties, "EmergencyNumbers"));
            }
            self->Finished();
        },
        "");
    if (r < 0) {
        Finished();
    }
}

void OfonoState::QueryRegistration(sd_bus* bus, const std::string& path) {
    Started();
    std::weak_ptr<OfonoState> weak = weak_from_this();
    const int r = dbus::CallMethod(
        bus, kOfono, path.c_str(), kNetworkRegistration, "GetProperties",
        [weak, path](sd_bus_message* reply) {
            auto self = weak.lock();
            if (!self) {
                return;
            }
            dbus::Properties properties;
            if (const std::string error = dbus::ReplyError(reply); !error.empty()) {
                Say(path + ": cannot read the network registration: " + error);
            } else if (dbus::ReadProperties(reply, &properties)) {
                self->OnRegistration(path, dbus::TextOf(properties, "Status"));
            }
            self->Finished();
        },
        "");
    if (r < 0) {
        Finished();
    }
}

void OfonoState::OnRegistration(const std::string& path, const std::string& status) {
    std::lock_guard lock(mutex);
    if (Modem* modem = ModemAt(path)) {
        modem->registration = status;
        UpdateServiceLocked(*modem);
    }
}

void OfonoState::OnModemRemoved(const std::string& path) {
    SetEmergencyNumbers(path, {});
    std::lock_guard lock(mutex);
    if (Modem* modem = ModemAt(path)) {
        modem->present = false;
        modem->voice = false;
        modem->registrationQueried = false;
        modem->registration.clear();
        UpdateServiceLocked(*modem);
    }
}

void OfonoState::UpdateServiceLocked(Modem& modem) {
    const bool registered = modem.registration == "registered" || modem.registration == "roaming";
    const bool inService = modem.present && modem.online && modem.voice && registered;
    if (inService == modem.inService) {
        return;
    }
    modem.inService = inService;
    if (modem.device >= 0 && events != nullptr) {
        events->DeviceStateChanged(static_cast<DWORD>(modem.device),
                                   inService ? LINEDEVSTATE_INSERVICE : LINEDEVSTATE_OUTOFSERVICE, 0, 0);
    }
}

HCALL OfonoState::CallAt(const std::string& path) const {
    for (const auto& [handle, call] : calls) {
        if (call.path == path) {
            return handle;
        }
    }
    return 0;
}

void OfonoState::OnCallState(const std::string& path, const std::string& state) {
    std::lock_guard lock(mutex);
    const HCALL handle = CallAt(path);
    if (handle == 0) {
        early_[path].state = state;
        return;
    }
    Call& call = calls[handle];
    const auto mapped = CallStateFor(state);
    if (!mapped || call.state == LINECALLSTATE_IDLE || call.state == LINECALLSTATE_DISCONNECTED) {
        return;
    }
    if (*mapped == LINECALLSTATE_CONNECTED) {
        call.connected = true;
    }
    const DWORD mode =
        *mapped == LINECALLSTATE_DISCONNECTED ? DisconnectModeFor(call.reason, call.connected) : 0;
    ReportStateLocked(handle, call, *mapped, mode);
}

void OfonoState::OnDisconnectReason(const std::string& path, const std::string& reason) {
    std::lock_guard lock(mutex);
    const HCALL handle = CallAt(path);
    if (handle == 0) {
        early_[path].reason = reason;
        return;
    }
    calls[handle].reason = reason;
}

void OfonoState::OnCallRemoved(const std::string& path) {
    std::lock_guard lock(mutex);
    early_.erase(path);
    const HCALL handle = CallAt(path);
    if (handle == 0) {
        return;
    }
    Call& call = calls[handle];
    call.path.clear(); // nothing left to hang up
    if (call.state != LINECALLSTATE_IDLE && call.state != LINECALLSTATE_DISCONNECTED) {
        ReportStateLocked(handle, call, LINECALLSTATE_DISCONNECTED,
                          DisconnectModeFor(call.reason, call.connected));
    }
}

void OfonoState::Dial(sd_bus* bus, HCALL call, const std::string& modemPath, const std::string& number) {
    std::weak_ptr<OfonoState> weak = weak_from_this();
    const int r = dbus::CallMethod(
        bus, kOfono, modemPath.c_str(), kVoiceCallManager, "Dial",
        [weak, bus, call](sd_bus_message* reply) {
            if (auto self = weak.lock()) {
                self->OnDialReply(bus, call, reply);
            }
        },
        "ss", number.c_str(), "default");
    if (r < 0) {
        Say("cannot dial: " + dbus::DescribeError(nullptr, r));
        std::lock_guard lock(mutex);
        if (auto it = calls.find(call); it != calls.end()) {
            it->second.state = LINECALLSTATE_IDLE;
            ReplyLocked(it->second, LINEERR_OPERATIONFAILED);
        }
    }
}

void OfonoState::OnDialReply(sd_bus* bus, HCALL handle, sd_bus_message* reply) {
    const std::string error = dbus::ReplyError(reply);
    const std::string path = error.empty() ? ReadText(reply) : std::string();
    std::unique_lock lock(mutex);
    auto it = calls.find(handle);
    const bool wanted = it != calls.end() && it->second.state != LINECALLSTATE_IDLE;
    if (!error.empty()) {
        Say("Dial failed: " + error);
        if (it != calls.end()) {
            it->second.state = LINECALLSTATE_IDLE;
            const sd_bus_error* e = sd_bus_message_get_error(reply);
            ReplyLocked(it->second, DialErrorFor(e != nullptr && e->name != nullptr ? e->name : ""));
        }
        return;
    }
    if (!wanted) {
        lock.unlock();
        if (!path.empty()) {
            Hangup(bus, path, 0); // given up while oFono was dialling
        }
        return;
    }
    Call& call = it->second;
    call.path = path;
    ReplyLocked(call, 0);
    ReportStateLocked(handle, call, LINECALLSTATE_DIALING);
    auto early = early_.find(path);
    if (early == early_.end()) {
        return;
    }
    const Early heard = early->second;
    early_.erase(early);
    lock.unlock();
    if (!heard.reason.empty()) {
        OnDisconnectReason(path, heard.reason);
    }
    if (!heard.state.empty()) {
        OnCallState(path, heard.state);
    }
}

void OfonoState::Hangup(sd_bus* bus, const std::string& callPath, DWORD request) {
    std::weak_ptr<OfonoState> weak = weak_from_this();
    const int r = dbus::CallMethod(
        bus, kOfono, callPath.c_str(), kVoiceCall, "Hangup",
        [weak, request, callPath](sd_bus_message* reply) {
            const std::string error = dbus::ReplyError(reply);
            if (!error.empty()) {
                Say("Hangup of " + callPath + " failed: " + error);
            }
            auto self = weak.lock();
            if (self && request != 0) {
                std::lock_guard lock(self->mutex);
                if (self->events != nullptr) {
                    self->events->RequestCompleted(request, error.empty() ? 0 : LINEERR_OPERATIONFAILED);
                }
            }
        },
        "");
    if (r < 0) {
        Say("cannot hang up " + callPath + ": " + dbus::DescribeError(nullptr, r));
        std::lock_guard lock(mutex);
        if (request != 0 && events != nullptr) {
            events->RequestCompleted(request, LINEERR_OPERATIONFAILED);
        }
    }
}

void OfonoState::Unwatch(sd_bus* bus) {
    for (sd_bus_slot* slot : matches_) {
        sd_bus_slot_unref(slot);
    }
    matches_.clear();
    std::vector<std::string> up;
    std::vector<std::string> modemPaths;
    {
        std::lock_guard lock(mutex);
        for (auto& [handle, call] : calls) {
            if (!call.path.empty() && call.state != LINECALLSTATE_IDLE &&
                call.state != LINECALLSTATE_DISCONNECTED) {
                up.push_back(call.path);
            }
            call.state = LINECALLSTATE_IDLE;
        }
        for (const auto& modem : modems) {
            modemPaths.push_back(modem.path);
        }
        events = nullptr;
    }
    for (const auto& path : up) {
        if (bus != nullptr) {
            sd_bus_call_method_async(bus, nullptr, kOfono, path.c_str(), kVoiceCall, "Hangup", nullptr,
                                     nullptr, "");
        }
    }
    for (const auto& path : modemPaths) {
        SetEmergencyNumbers(path, {});
    }
}

} // namespace platform::tapi::ofono
