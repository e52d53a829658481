// A system bus of the test's own: a private dbus-daemon (a configuration of ours that lets the current
// user own and call everything) whose address the constructor puts into DBUS_SYSTEM_BUS_ADDRESS for the
// test process and for every program the test starts, and python3-dbusmock stand-ins on it. The
// destructor stops the stand-ins and the daemon and unsets the variable; the process's SystemBus should
// be shut down before (it would only lose its connection). Create it on the test's own thread: the
// daemon and the stand-ins are killed when the thread that started them ends.
#pragma once

#include "tests/sippeer/ChildProcess.h"
#include "tests/sippeer/TempFolder.h"

#include <systemd/sd-bus.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace dbustest {

class PrivateSystemBus {
public:
    PrivateSystemBus();
    ~PrivateSystemBus();
    PrivateSystemBus(const PrivateSystemBus&) = delete;
    PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

    // True when the daemon runs and answers; error() says why not.
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& address() const { return address_; }
    const std::filesystem::path& folder() const { return folder_.path(); }

    // Starts `/usr/bin/python3 -m dbusmock --system --template <templ> [--parameters <json>]` and
    // waits until `busName` has an owner on the bus. `templ` is a template name or a file path.
    // False (with error() set) when it did not come up within the deadline.
    bool StartMock(const std::string& templ, const std::string& busName, const std::string& parameters = {},
                   std::chrono::milliseconds within = std::chrono::seconds(15));
    // Stops the stand-in that owns `busName` and waits until the name is gone.
    bool StopMock(const std::string& busName);

    // True when `busName` has an owner on the bus now.
    bool HasOwner(const std::string& busName);

    // The test's own connection to the bus, for driving the stand-ins (the org.freedesktop.DBus.Mock
    // interface) from the test's thread alone.
    sd_bus* Connection() const { return connection_; }

    // The stand-ins' and the daemon's output, for a failed test's message.
    std::string Logs() const;

private:
    struct Mock {
        std::string busName;
        std::string logName;
        std::unique_ptr<sippeer::ChildProcess> process;
    };

    bool StartDaemon();
    bool WaitForOwner(const std::string& busName, bool owned, sippeer::Deadline deadline,
                      sippeer::ChildProcess* process);

    sippeer::TempFolder folder_;
    sippeer::ChildProcess daemon_;
    std::vector<Mock> mocks_;
    std::string address_;
    std::string error_;
    sd_bus* connection_ = nullptr;
};

// Reads the arguments of dbusmock's GetMethodCalls(`method`) on `path` of `busName`: one entry per
// call, each argument given as text (strings as they are, numbers in decimal, others by type letter).
std::vector<std::vector<std::string>> MockMethodCalls(sd_bus* bus, const std::string& busName,
                                                      const std::string& path, const std::string& method);

} // namespace dbustest
