#include "platform/dbus/AsyncCall.h"

namespace platform::dbus {
namespace {

int Dispatch(sd_bus_message* message, void* userdata, sd_bus_error*) {
    (*static_cast<MessageHandler*>(userdata))(message);
    return 0;
}

void Destroy(void* userdata) {
    delete static_cast<MessageHandler*>(userdata);
}

} // namespace

int CallMethod(sd_bus* bus, sd_bus_message* call, MessageHandler onReply) {
    auto* handler = new MessageHandler(std::move(onReply));
    sd_bus_slot* slot = nullptr;
    const int r = sd_bus_call_async(bus, &slot, call, Dispatch, handler, 0);
    if (r < 0) {
        delete handler;
        return r;
    }
    sd_bus_slot_set_destroy_callback(slot, Destroy);
    // From here the connection holds the slot (until the reply has been handled or the bus closes).
    sd_bus_slot_set_floating(slot, 1);
    sd_bus_slot_unref(slot);
    return r;
}

sd_bus_slot* MatchSignal(sd_bus* bus, const char* sender, const char* path, const char* interface,
                         const char* member, MessageHandler onSignal, int* error) {
    auto* handler = new MessageHandler(std::move(onSignal));
    sd_bus_slot* slot = nullptr;
    const int r =
        sd_bus_match_signal_async(bus, &slot, sender, path, interface, member, Dispatch, nullptr, handler);
    if (r < 0) {
        delete handler;
        if (error != nullptr) {
            *error = r;
        }
        return nullptr;
    }
    sd_bus_slot_set_destroy_callback(slot, Destroy);
    return slot;
}

} // namespace platform::dbus
