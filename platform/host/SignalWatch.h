// SIGINT and SIGTERM as requests to end the program, handled on a thread of their own rather than in a
// signal handler. Block() must run in the main thread before any other thread starts, so that every
// thread inherits the blocked signals and only the watcher receives them. A second signal while the
// program is already ending ends the process at once (exit code 130).
#pragma once

#include "platform/automation/LineIo.h"

#include <functional>
#include <thread>

namespace platform::host {

class SignalWatch {
public:
    // Blocks SIGINT and SIGTERM in the calling thread (and the threads it starts later), and ignores SIGPIPE
    // and SIGXFSZ.
    static void Block();

    explicit SignalWatch(std::function<void(int signal)> onSignal);
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

private:
    void Run();

    std::function<void(int)> onSignal_;
    int fd_;
    automation::StopSignal stop_;
    std::thread thread_;
};

} // namespace platform::host
