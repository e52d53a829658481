#include "platform/dbus/BusError.h"

#include <cstring>

namespace platform::dbus {

std::string DescribeError(const sd_bus_error* error, int negativeErrno) {
    if (error != nullptr && sd_bus_error_is_set(error)) {
        std::string text = error->name;
        if (error->message != nullptr && *error->message != '\0') {
            text += ": ";
            text += error->message;
        }
        return text;
    }
    const int code = negativeErrno < 0 ? -negativeErrno : negativeErrno;
    return std::string(std::strerror(code)) + " (errno " + std::to_string(code) + ")";
}

std::string ReplyError(sd_bus_message* reply) {
    if (reply == nullptr) {
        return "no reply";
    }
    const sd_bus_error* error = sd_bus_message_get_error(reply);
    if (error == nullptr || !sd_bus_error_is_set(error)) {
        return {};
    }
    return DescribeError(error);
}

} // namespace platform::dbus
