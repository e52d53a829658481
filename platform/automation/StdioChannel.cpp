#include "platform/automation/StdioChannel.h"

namespace platform::automation {

StdioChannel::StdioChannel(const Channel& channel, int in, int out, std::function<void()> ended)
    : channel_(channel), in_(in), out_(out), ended_(std::move(ended)) {}

StdioChannel::~StdioChannel() {
    Stop();
}

void StdioChannel::Start() {
    thread_ = std::thread([this] { Run(); });
}

void StdioChannel::Stop() {
    stopping_.store(true, std::memory_order_release);
    stop_.Raise();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void StdioChannel::Run() {
    LineReader reader(in_, stop_);
    std::string line;
    while (reader.ReadLine(&line)) {
        if (!WriteAll(out_, channel_.Execute(line))) {
            break;
        }
    }
    // The input ended, or the output is gone, without a Stop: the controller has gone.
    if (ended_ && !stopping_.load(std::memory_order_acquire)) {
        ended_();
    }
}

} // namespace platform::automation
