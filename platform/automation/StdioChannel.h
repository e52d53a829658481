// The automation channel on the process's standard input and output: one command per input line, its
// reply on the output. Meant for a controlling process that started the device (tests, scripts), so the
// end of the input means that the controller has gone: the `ended` callback is called then (the host
// ends the program), unless Stop came first.
#pragma once

#include "platform/automation/Channel.h"
#include "platform/automation/LineIo.h"

#include <atomic>
#include <functional>
#include <thread>

namespace platform::automation {

class StdioChannel {
public:
    StdioChannel(const Channel& channel, int in, int out, std::function<void()> ended);
    ~StdioChannel();
    StdioChannel(const StdioChannel&) = delete;
    StdioChannel& operator=(const StdioChannel&) = delete;

    // Starts the automation thread.
    void Start();
    // Ends it after the command in progress (if any) has been answered. Idempotent.
    void Stop();

private:
    void Run();

    const Channel& channel_;
    const int in_;
    const int out_;
    std::function<void()> ended_;
    StopSignal stop_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace platform::automation
