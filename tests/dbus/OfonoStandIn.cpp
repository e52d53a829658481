#include "tests/dbus/OfonoStandIn.h"

namespace dbustest {
namespace {

// dbusmock's EmitSignal on `path` with one argument of the type `signature` ("s", "o") or two ("sv",
// with a text value).
bool Emit(sd_bus* bus, const std::string& path, const char* interface, const char* member,
          const char* signature, const char* first, const char* second = nullptr) {
    const char firstType[] = {signature[0], '\0'};
    sd_bus_error e = SD_BUS_ERROR_NULL;
    const int r =
        second != nullptr
            ? sd_bus_call_method(bus, "org.ofono", path.c_str(), "org.freedesktop.DBus.Mock", "EmitSignal",
                                 &e, nullptr, "sssav", interface, member, signature, 2, "s", first, "s",
                                 second)
            : sd_bus_call_method(bus, "org.ofono", path.c_str(), "org.freedesktop.DBus.Mock", "EmitSignal",
                                 &e, nullptr, "sssav", interface, member, signature, 1, firstType, first);
    sd_bus_error_free(&e);
    return r >= 0;
}

template <typename T>
bool SetProperty(sd_bus* bus, const std::string& modem, const char* interface, const char* name,
                 const char* type, T value) {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    const int r = sd_bus_call_method(bus, "org.ofono", modem.c_str(), interface, "SetProperty", &e, nullptr,
                                     "sv", name, type, value);
    sd_bus_error_free(&e);
    return r >= 0;
}

} // namespace

std::vector<StandInCall> OfonoCalls(sd_bus* bus, const std::string& modem) {
    std::vector<StandInCall> calls;
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus, "org.ofono", modem.c_str(), "org.ofono.VoiceCallManager", "GetCalls", &e,
                           &reply, "") >= 0 &&
        sd_bus_message_enter_container(reply, 'a', "(oa{sv})") > 0) {
        while (sd_bus_message_enter_container(reply, 'r', "oa{sv}") > 0) {
            const char* path = nullptr;
            sd_bus_message_read(reply, "o", &path);
            StandInCall call{path, {}};
            sd_bus_message_enter_container(reply, 'a', "{sv}");
            while (sd_bus_message_enter_container(reply, 'e', "sv") > 0) {
                const char* name = nullptr;
                sd_bus_message_read(reply, "s", &name);
                if (std::string(name) == "LineIdentification") {
                    const char* number = nullptr;
                    sd_bus_message_read(reply, "v", "s", &number);
                    call.number = number;
                } else {
                    sd_bus_message_skip(reply, "v");
                }
                sd_bus_message_exit_container(reply);
            }
            sd_bus_message_exit_container(reply);
            sd_bus_message_exit_container(reply);
            calls.push_back(std::move(call));
        }
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&e);
    return calls;
}

bool SetOfonoCallState(sd_bus* bus, const std::string& path, const std::string& state) {
    return Emit(bus, path, "org.ofono.VoiceCall", "PropertyChanged", "sv", "State", state.c_str());
}

bool SetOfonoDisconnectReason(sd_bus* bus, const std::string& path, const std::string& reason) {
    return Emit(bus, path, "org.ofono.VoiceCall", "DisconnectReason", "s", reason.c_str());
}

bool RemoveOfonoCall(sd_bus* bus, const std::string& path, const std::string& modem) {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    const int r =
        sd_bus_call_method(bus, "org.ofono", path.c_str(), "org.ofono.VoiceCall", "Hangup", &e, nullptr, "");
    sd_bus_error_free(&e);
    return r >= 0 && Emit(bus, modem, "org.ofono.VoiceCallManager", "CallRemoved", "o", path.c_str());
}

bool SetOfonoProperty(sd_bus* bus, const char* interface, const char* name, bool value,
                      const std::string& modem) {
    return SetProperty(bus, modem, interface, name, "b", static_cast<int>(value));
}

bool SetOfonoProperty(sd_bus* bus, const char* interface, const char* name, const char* value,
                      const std::string& modem) {
    return SetProperty(bus, modem, interface, name, "s", value);
}

} // namespace dbustest
