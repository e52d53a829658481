#include "tests/dbus/LogindMock.h"

namespace dbustest {

std::vector<HeldInhibitor> LogindInhibitors(sd_bus* bus) {
    std::vector<HeldInhibitor> held;
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                           "org.freedesktop.login1.Manager", "ListInhibitors", &e, &reply, "") >= 0 &&
        sd_bus_message_enter_container(reply, 'a', "(ssssuu)") > 0) {
        const char *what, *who, *why, *mode;
        uint32_t uid, pid;
        while (sd_bus_message_read(reply, "(ssssuu)", &what, &who, &why, &mode, &uid, &pid) > 0) {
            held.push_back({what, who, why, mode});
        }
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&e);
    return held;
}

bool RefuseInhibit(sd_bus* bus, bool lidOnly) {
    const std::string refuse = "raise dbus.exceptions.DBusException('inhibitors are not for you', "
                               "name='org.freedesktop.DBus.Error.AccessDenied')";
    const std::string code = lidOnly ? "if 'handle-lid-switch' in args[0]:\n    " + refuse +
                                           "\nimport os\nr, w = os.pipe()\nret = dbus.types.UnixFd(w)\n"
                                           "os.close(w)\n"
                                     : refuse + "\n";
    sd_bus_error e = SD_BUS_ERROR_NULL;
    const int r = sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                                     "org.freedesktop.DBus.Mock", "AddMethod", &e, nullptr, "sssss",
                                     "org.freedesktop.login1.Manager", "Inhibit", "ssss", "h", code.c_str());
    sd_bus_error_free(&e);
    return r >= 0;
}

} // namespace dbustest
