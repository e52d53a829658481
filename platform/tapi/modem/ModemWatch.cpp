// The ModemManager service's view of the modems: ModemManager's managed objects at start, then its
// InterfacesAdded / InterfacesRemoved, PropertiesChanged and StateChanged signals, and its coming and
// going on the bus. Runs on the bus thread; the tables it changes are under the service's lock.
#include "platform/dbus/BusError.h"
#include "platform/dbus/SystemBus.h"
#include "platform/tapi/DialRules.h"
#include "platform/tapi/modem/CallStates.h"
#include "platform/tapi/modem/ModemLineService.h"
#include "platform/win/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform::tapi::modem {
namespace {

using Self = std::weak_ptr<ModemLineService>;

void Say(const std::string& text) {
    std::fprintf(stderr, "lullwatch: modem: %s\n", text.c_str());
    std::fflush(stderr);
}

bool IsModemPath(const char* path) {
    const std::string prefix = std::string(kRootPath) + "/Modem/";
    return path != nullptr && std::strncmp(path, prefix.c_str(), prefix.size()) == 0;
}

void Merge(ModemProperties& into, const ModemProperties& from) {
    const auto take = [](auto& field, const auto& value) {
        if (value) {
            field = value;
        }
    };
    take(into.manufacturer, from.manufacturer);
    take(into.model, from.model);
    take(into.equipmentIdentifier, from.equipmentIdentifier);
    take(into.ownNumbers, from.ownNumbers);
    take(into.state, from.state);
    take(into.emergencyOnly, from.emergencyOnly);
    take(into.sim, from.sim);
}

std::wstring DeviceName(const ModemProperties& p, const std::string& path) {
    std::string name = p.manufacturer.value_or("");
    if (p.model && !p.model->empty()) {
        name += (name.empty() ? "" : " ") + *p.model;
    }
    if (name.empty()) {
        name = "Modem " + path.substr(path.rfind('/') + 1);
    }
    if (p.ownNumbers && !p.ownNumbers->empty() && !p.ownNumbers->front().empty()) {
        name += " (" + p.ownNumbers->front() + ")";
    }
    return platform::FromUtf8(name);
}

void DeleteSelf(void* data) {
    delete static_cast<Self*>(data);
}

} // namespace

int ModemLineService::OnBusSignal(sd_bus_message* m, void* data, sd_bus_error*) {
    if (auto self = static_cast<Self*>(data)->lock()) {
        self->OnSignal(m);
    }
    return 0;
}

void ModemLineService::Listen(sd_bus* bus) {
    {
        std::lock_guard guard(mutex_);
        if (bus == nullptr || listening_) {
            if (bus == nullptr && !saidNoBus_) {
                saidNoBus_ = true; // once: the line layer's start-up retries come back here
                Say("no system bus (" + platform::dbus::SystemBus::Get().ConnectError() +
                    "); looking again at each line start-up");
            }
            answered_ = true;
            changed_.notify_all();
            return;
        }
        listening_ = true;
    }
    const std::string rules[] = {
        std::string("type='signal',sender='") + kService + "'",
        std::string("type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                    "member='NameOwnerChanged',arg0='") +
            kService + "'",
    };
    for (const std::string& rule : rules) {
        sd_bus_slot* slot = nullptr;
        auto* self = new Self(weak_from_this());
        const int r = sd_bus_add_match_async(bus, &slot, rule.c_str(), OnBusSignal, nullptr, self);
        if (r < 0) {
            delete self;
            Say("cannot follow ModemManager's signals: " + platform::dbus::DescribeError(nullptr, r));
            continue;
        }
        sd_bus_slot_set_destroy_callback(slot, DeleteSelf);
        matches_->push_back(slot);
    }
    AskForModems(bus);
}

void ModemLineService::AskForModems(sd_bus* bus) {
    CallMethod(bus, kRootPath, "org.freedesktop.DBus.ObjectManager", "GetManagedObjects", nullptr,
               [self = weak_from_this()](sd_bus_message* reply, const std::string& error) {
                   if (auto service = self.lock()) {
                       service->OnModems(reply, error);
                   }
               });
}

void ModemLineService::OnModems(sd_bus_message* reply, const std::string& error) {
    std::lock_guard guard(mutex_);
    answered_ = true;
    changed_.notify_all();
    if (!error.empty()) {
        Say("cannot list ModemManager's modems: " + error);
        return;
    }
    int r = sd_bus_message_enter_container(reply, SD_BUS_TYPE_ARRAY, "{oa{sa{sv}}}");
    while (r >= 0 && (r = sd_bus_message_enter_container(reply, SD_BUS_TYPE_DICT_ENTRY, "oa{sa{sv}}")) > 0) {
        const char* path = nullptr;
        std::vector<std::string> interfaces;
        ModemProperties properties;
        if ((r = sd_bus_message_read(reply, "o", &path)) < 0 ||
            (r = ReadInterfaces(reply, &interfaces, &properties)) < 0) {
            break;
        }
        if (IsModemPath(path) && std::count(interfaces.begin(), interfaces.end(), kModemInterface) > 0) {
            Modem& modem = modems_[path];
            modem.present = true;
            modem.voice = std::count(interfaces.begin(), interfaces.end(), kVoiceInterface) > 0;
            Merge(modem.properties, properties);
            if (properties.sim) {
                ReadSimNumbers(sd_bus_message_get_bus(reply), path, *properties.sim);
            }
        }
        r = sd_bus_message_exit_container(reply);
    }
    if (r < 0) {
        Say("cannot read ModemManager's modems: " + platform::dbus::DescribeError(nullptr, r));
    }
    RefreshDevicesLocked();
}

void ModemLineService::OnSignal(sd_bus_message* m) {
    const char* interface = sd_bus_message_get_interface(m);
    const char* member = sd_bus_message_get_member(m);
    const char* path = sd_bus_message_get_path(m);
    if (interface == nullptr || member == nullptr || path == nullptr) {
        return;
    }
    const std::string iface = interface;
    const std::string name = member;
    if (iface == kCallInterface && name == "StateChanged") {
        int32_t before = 0;
        int32_t after = 0;
        uint32_t reason = 0;
        if (sd_bus_message_read(m, "iiu", &before, &after, &reason) >= 0) {
            OnCallState(path, after, reason);
        }
        return;
    }
    if (iface == "org.freedesktop.DBus" && name == "NameOwnerChanged") {
        const char* owned = nullptr;
        const char* before = nullptr;
        const char* after = nullptr;
        if (sd_bus_message_read(m, "sss", &owned, &before, &after) < 0) {
            return;
        }
        if (after == nullptr || *after == '\0') {
            Say("ModemManager has left the bus");
            std::lock_guard guard(mutex_);
            for (auto& [modemPath, modem] : modems_) {
                modem.present = false;
            }
            RefreshDevicesLocked();
        } else {
            AskForModems(sd_bus_message_get_bus(m));
        }
        return;
    }
    std::lock_guard guard(mutex_);
    if (iface == "org.freedesktop.DBus.ObjectManager" && name == "InterfacesAdded") {
        const char* added = nullptr;
        std::vector<std::string> interfaces;
        ModemProperties properties;
        if (sd_bus_message_read(m, "o", &added) < 0 || !IsModemPath(added) ||
            ReadInterfaces(m, &interfaces, &properties) < 0) {
            return;
        }
        Modem& modem = modems_[added];
        if (std::count(interfaces.begin(), interfaces.end(), kModemInterface) > 0) {
            modem.present = true;
        }
        if (std::count(interfaces.begin(), interfaces.end(), kVoiceInterface) > 0) {
            modem.voice = true;
        }
        Merge(modem.properties, properties);
        if (properties.sim) {
            ReadSimNumbers(sd_bus_message_get_bus(m), added, *properties.sim);
        }
    } else if (iface == "org.freedesktop.DBus.ObjectManager" && name == "InterfacesRemoved") {
        const char* removed = nullptr;
        char** list = nullptr;
        if (sd_bus_message_read(m, "o", &removed) < 0 || sd_bus_message_read_strv(m, &list) < 0) {
            return;
        }
        const auto it = modems_.find(removed);
        for (char** s = list; s != nullptr && *s != nullptr; ++s) {
            if (it != modems_.end() && std::strcmp(*s, kModemInterface) == 0) {
                it->second.present = false;
            }
            if (it != modems_.end() && std::strcmp(*s, kVoiceInterface) == 0) {
                it->second.voice = false;
            }
            free(*s);
        }
        free(list);
    } else if (iface == "org.freedesktop.DBus.Properties" && name == "PropertiesChanged") {
        const char* changedInterface = nullptr;
        ModemProperties properties;
        const auto it = modems_.find(path);
        if (it == modems_.end() || sd_bus_message_read(m, "s", &changedInterface) < 0 ||
            ReadProperties(m, changedInterface, &properties) < 0) {
            return;
        }
        Merge(it->second.properties, properties);
        if (properties.sim) {
            ReadSimNumbers(sd_bus_message_get_bus(m), path, *properties.sim);
        }
    } else if (iface == kModemInterface && name == "StateChanged") {
        int32_t before = 0;
        int32_t after = 0;
        uint32_t reason = 0;
        const auto it = modems_.find(path);
        if (it == modems_.end() || sd_bus_message_read(m, "iiu", &before, &after, &reason) < 0) {
            return;
        }
        it->second.properties.state = after;
    } else {
        return;
    }
    RefreshDevicesLocked();
}

void ModemLineService::ReadSimNumbers(sd_bus* bus, const std::string& modem, const std::string& sim) {
    // The SIM's emergency numbers (ModemManager 1.20 and later) are never dialled either.
    if (sim.empty() || sim == "/") {
        SetEmergencyNumbers(modem, {});
        return;
    }
    CallMethod(
        bus, sim, "org.freedesktop.DBus.Properties", "Get",
        [](sd_bus_message* m) { return sd_bus_message_append(m, "ss", kSimInterface, "EmergencyNumbers"); },
        [modem](sd_bus_message* reply, const std::string& error) {
            if (!error.empty()) {
                return; // an older ModemManager: the built-in list and the profile's numbers still hold
            }
            char** list = nullptr;
            if (sd_bus_message_enter_container(reply, SD_BUS_TYPE_VARIANT, "as") < 0 ||
                sd_bus_message_read_strv(reply, &list) < 0) {
                return;
            }
            std::vector<std::string> numbers;
            for (char** s = list; s != nullptr && *s != nullptr; ++s) {
                numbers.emplace_back(*s);
                free(*s);
            }
            free(list);
            SetEmergencyNumbers(modem, numbers);
        });
}

bool ModemLineService::SelectedLocked(const std::string& path, const Modem& modem) const {
    return config_.modem.empty() || config_.modem == path ||
           config_.modem == modem.properties.equipmentIdentifier.value_or("");
}

void ModemLineService::RefreshDevicesLocked() {
    for (const auto& [path, modem] : modems_) {
        if (!modem.present || !modem.voice || !SelectedLocked(path, modem)) {
            continue;
        }
        const std::string equipment = modem.properties.equipmentIdentifier.value_or("");
        auto device = std::find_if(devices_.begin(), devices_.end(), [&](const Device& d) {
            return d.path == path || (!equipment.empty() && d.equipmentIdentifier == equipment);
        });
        if (device == devices_.end()) {
            devices_.push_back(Device{path, equipment, DeviceName(modem.properties, path), false});
            Say("line device " + std::to_string(devices_.size() - 1) + ": " +
                platform::ToUtf8(devices_.back().name) + " (" + path + ")");
            if (apps_ > 0 && events_ != nullptr) {
                events_->DeviceCreated(static_cast<DWORD>(devices_.size() - 1));
            }
        } else {
            device->path = path;
            device->name = DeviceName(modem.properties, path);
        }
    }
    for (std::size_t id = 0; id < devices_.size(); ++id) {
        Device& device = devices_[id];
        const auto it = modems_.find(device.path);
        const bool inService = it != modems_.end() && it->second.present && it->second.voice &&
                               ModemInService(it->second.properties.state.value_or(0),
                                              it->second.properties.emergencyOnly.value_or(false));
        if (inService == device.inService) {
            continue;
        }
        device.inService = inService;
        Say(platform::ToUtf8(device.name) + (inService ? " is in service" : " is out of service"));
        ReportServiceLocked(static_cast<DWORD>(id));
    }
}

void ModemLineService::ReportServiceLocked(DWORD id) {
    if (events_ == nullptr) {
        return; // not installed yet: Initialize reports it
    }
    const Device& device = devices_[id];
    if (device.inService) {
        events_->DeviceStateChanged(id, LINEDEVSTATE_INSERVICE, 0, 0);
        return;
    }
    const auto it = modems_.find(device.path);
    const bool present = it != modems_.end() && it->second.present;
    auto [text, detail] = OutageWords(present, present && it->second.voice,
                                      present ? it->second.properties.state.value_or(0) : 0,
                                      present && it->second.properties.emergencyOnly.value_or(false));
    events_->OutageReason(id, std::move(text), std::move(detail));
    events_->DeviceStateChanged(id, LINEDEVSTATE_OUTOFSERVICE, 0, 0);
}

} // namespace platform::tapi::modem
