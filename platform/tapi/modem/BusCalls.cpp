#include "platform/tapi/modem/BusCalls.h"

#include "platform/dbus/BusError.h"

#include <cstring>
#include <memory>

namespace platform::tapi::modem {
namespace {

int OnReply(sd_bus_message* reply, void* data, sd_bus_error*) {
    auto* handler = static_cast<ReplyHandler*>(data);
    (*handler)(reply, platform::dbus::ReplyError(reply));
    return 0;
}

void DeleteHandler(void* data) {
    delete static_cast<ReplyHandler*>(data);
}

int ReadString(sd_bus_message* m, std::optional<std::string>* into) {
    const char* text = nullptr;
    const int r = sd_bus_message_read(m, "v", "s", &text);
    if (r >= 0) {
        *into = text;
    }
    return r;
}

int ReadStrings(sd_bus_message* m, std::optional<std::vector<std::string>>* into) {
    int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_VARIANT, "as");
    if (r < 0) {
        return r;
    }
    char** list = nullptr;
    r = sd_bus_message_read_strv(m, &list);
    if (r < 0) {
        return r;
    }
    std::vector<std::string> strings;
    for (char** s = list; s != nullptr && *s != nullptr; ++s) {
        strings.emplace_back(*s);
        free(*s);
    }
    free(list);
    *into = std::move(strings);
    return sd_bus_message_exit_container(m);
}

// Reads one property's variant when it is of the type expected; skips it otherwise.
int ReadProperty(sd_bus_message* m, bool modem, const char* name, ModemProperties* p) {
    char type = 0;
    const char* contents = nullptr;
    int r = sd_bus_message_peek_type(m, &type, &contents);
    if (r < 0) {
        return r;
    }
    const std::string signature = contents != nullptr ? contents : "";
    if (modem && signature == "s" && std::strcmp(name, "Manufacturer") == 0) {
        return ReadString(m, &p->manufacturer);
    }
    if (modem && signature == "s" && std::strcmp(name, "Model") == 0) {
        return ReadString(m, &p->model);
    }
    if (modem && signature == "s" && std::strcmp(name, "EquipmentIdentifier") == 0) {
        return ReadString(m, &p->equipmentIdentifier);
    }
    if (modem && signature == "as" && std::strcmp(name, "OwnNumbers") == 0) {
        return ReadStrings(m, &p->ownNumbers);
    }
    if (modem && signature == "i" && std::strcmp(name, "State") == 0) {
        int32_t state = 0;
        r = sd_bus_message_read(m, "v", "i", &state);
        p->state = state;
        return r;
    }
    if (modem && signature == "o" && std::strcmp(name, "Sim") == 0) {
        const char* path = nullptr;
        r = sd_bus_message_read(m, "v", "o", &path);
        if (r >= 0) {
            p->sim = path;
        }
        return r;
    }
    if (!modem && signature == "b" && std::strcmp(name, "EmergencyOnly") == 0) {
        int flag = 0;
        r = sd_bus_message_read(m, "v", "b", &flag);
        p->emergencyOnly = flag != 0;
        return r;
    }
    return sd_bus_message_skip(m, "v");
}

} // namespace

void CallMethod(sd_bus* bus, const std::string& path, const char* interface, const char* member,
                const Arguments& arguments, ReplyHandler handler) {
    if (bus == nullptr) {
        handler(nullptr, "no system bus");
        return;
    }
    sd_bus_message* call = nullptr;
    int r = sd_bus_message_new_method_call(bus, &call, kService, path.c_str(), interface, member);
    if (r >= 0 && arguments) {
        r = arguments(call);
    }
    auto owned = std::make_unique<ReplyHandler>(std::move(handler));
    sd_bus_slot* slot = nullptr;
    if (r >= 0) {
        r = sd_bus_call_async(bus, &slot, call, OnReply, owned.get(), 0);
    }
    sd_bus_message_unref(call);
    if (r < 0) {
        (*owned)(nullptr, platform::dbus::DescribeError(nullptr, r));
        return;
    }
    // The bus owns the pending call from here; the handler goes with the slot.
    sd_bus_slot_set_destroy_callback(slot, DeleteHandler);
    owned.release();
    sd_bus_slot_set_floating(slot, 1);
    sd_bus_slot_unref(slot);
}

int ReadProperties(sd_bus_message* m, const std::string& interface, ModemProperties* properties) {
    const bool modem = interface == kModemInterface;
    const bool voice = interface == kVoiceInterface;
    if (!modem && !voice) {
        return sd_bus_message_skip(m, "a{sv}");
    }
    int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "{sv}");
    if (r < 0) {
        return r;
    }
    while ((r = sd_bus_message_enter_container(m, SD_BUS_TYPE_DICT_ENTRY, "sv")) > 0) {
        const char* name = nullptr;
        if ((r = sd_bus_message_read(m, "s", &name)) < 0 ||
            (r = ReadProperty(m, modem, name, properties)) < 0 ||
            (r = sd_bus_message_exit_container(m)) < 0) {
            return r;
        }
    }
    if (r < 0) {
        return r;
    }
    return sd_bus_message_exit_container(m);
}

int ReadInterfaces(sd_bus_message* m, std::vector<std::string>* interfaces, ModemProperties* properties) {
    int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "{sa{sv}}");
    if (r < 0) {
        return r;
    }
    while ((r = sd_bus_message_enter_container(m, SD_BUS_TYPE_DICT_ENTRY, "sa{sv}")) > 0) {
        const char* name = nullptr;
        if ((r = sd_bus_message_read(m, "s", &name)) < 0) {
            return r;
        }
        interfaces->emplace_back(name);
        if ((r = ReadProperties(m, name, properties)) < 0 || (r = sd_bus_message_exit_container(m)) < 0) {
            return r;
        }
    }
    if (r < 0) {
        return r;
    }
    return sd_bus_message_exit_container(m);
}

} // namespace platform::tapi::modem
