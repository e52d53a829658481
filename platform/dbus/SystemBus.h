// The process's one connection to the system bus, shared by every user: the sleep inhibitor and the
// cellular line services. The connection lives on a thread of its own that runs sd-bus's event
// processing; every sd-bus call, async reply handler and signal match callback of a user runs on that
// thread, so users need no lock against the bus. Users make async calls and matches inside Post and keep
// their sd_bus_slot* themselves (unref them on the bus thread).
//
// The bus is the one in DBUS_SYSTEM_BUS_ADDRESS when that is set, else the system's. The connection is
// made on first use; when it cannot be made, or breaks, work runs with a null connection and
// ConnectError says why, and the next Post tries to connect afresh. Shutdown ends the thread and closes
// the connection; a later Get() starts afresh.
#pragma once

#include <systemd/sd-bus.h>

#include <functional>
#include <string>

namespace platform::dbus {

class SystemBus {
public:
    // The process's connection, made on first use; on the bus thread, the one that runs it.
    static SystemBus& Get();

    // Runs `work` on the bus thread with the connection (nullptr when there is no bus: the user reports
    // that). Returns at once; any thread. Work runs in the order it was posted.
    void Post(std::function<void(sd_bus* bus)> work);
    // Post and wait for the work to have run (never from the window, audio-callback or line-event
    // threads; for start-up and tests). Called on the bus thread itself it runs the work at once.
    void Run(std::function<void(sd_bus* bus)> work);
    // Why the connection could not be made or was lost ("" while connected or not yet tried).
    std::string ConnectError();

    // Ends the thread (work still queued runs first) and closes the connection; a later Get() starts
    // afresh. Never from the bus thread.
    static void Shutdown();

    SystemBus(const SystemBus&) = delete;
    SystemBus& operator=(const SystemBus&) = delete;

private:
    struct Loop;
    SystemBus();
    ~SystemBus();

    Loop* loop_;
};

} // namespace platform::dbus
