// Words for what went wrong on the bus, for the lines the D-Bus users write on standard error: the
// D-Bus error's name and message from a failed reply, or the errno text of a local failure.
#pragma once

#include <systemd/sd-bus.h>

#include <string>

namespace platform::dbus {

// "org.freedesktop.DBus.Error.ServiceUnknown: The name is not activatable" for an error reply; the
// errno text (with its number) otherwise. `error` may be null or unset.
std::string DescribeError(const sd_bus_error* error, int negativeErrno = 0);

// The error carried by a method reply, or "" when `reply` is a success.
std::string ReplyError(sd_bus_message* reply);

} // namespace platform::dbus
