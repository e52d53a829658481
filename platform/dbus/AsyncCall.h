// Method calls and signal matches whose handlers are C++ callables, for the users of the system bus.
// Everything here runs on the bus thread (inside SystemBus::Post and in the handlers themselves).
//
// CallMethod sends a call whose reply (or error) goes to `onReply` once; the call's slot belongs to the
// connection, so nothing needs releasing, and a handler whose connection closes first is dropped without
// being called. Handlers that outlive their user must check that it still exists (hold a weak_ptr).
// MatchSignal gives the match's slot to the caller, who unrefs it on the bus thread to end the match.
#pragma once

#include <systemd/sd-bus.h>

#include <functional>

namespace platform::dbus {

using MessageHandler = std::function<void(sd_bus_message* message)>;

// Sends `call` (a method call made with sd_bus_message_new_method_call and filled in); `onReply` gets
// the reply or the error reply, also a synthesized one for a timeout or a lost connection. A negative
// errno when it could not be sent (then `onReply` is never called).
int CallMethod(sd_bus* bus, sd_bus_message* call, MessageHandler onReply);

// Builds and sends a call with the arguments `types`, `args...` as sd_bus_message_append takes them.
template <typename... Args>
int CallMethod(sd_bus* bus, const char* destination, const char* path, const char* interface,
               const char* member, MessageHandler onReply, const char* types, Args... args) {
    sd_bus_message* call = nullptr;
    int r = sd_bus_message_new_method_call(bus, &call, destination, path, interface, member);
    if (r >= 0 && types != nullptr && *types != '\0') {
        r = sd_bus_message_append(call, types, args...);
    }
    if (r >= 0) {
        r = CallMethod(bus, call, std::move(onReply));
    }
    sd_bus_message_unref(call);
    return r;
}

// Matches the signals `interface`.`member` from `sender` (a bus name; null: anyone) on `path` (null: any
// object). The slot, or null with `*error` set to the negative errno.
sd_bus_slot* MatchSignal(sd_bus* bus, const char* sender, const char* path, const char* interface,
                         const char* member, MessageHandler onSignal, int* error = nullptr);

} // namespace platform::dbus
