// The room's sound for a call: a thread of its own opens the device profile's sound source (the same
// microphone, recording or generator the monitor listens to), reads it in 20 ms frames and hands each
// frame on, paced in real time whatever the source's own pace. A source that cannot be opened or fails
// gives silence instead, so that the far end still hears a live call, and says why on standard error.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::wave {
class CaptureSource;
}

namespace platform::tapi::sipline {

constexpr std::size_t kFrameSamples = 160;             // 20 ms at 8000 Hz
using Frame = std::array<std::uint8_t, kFrameSamples>; // unsigned 8-bit, silence at 128

class CallAudio {
public:
    // Starts reading; `frame` is called on the audio thread with every frame.
    explicit CallAudio(std::function<void(const Frame&)> frame);
    // Stops reading and closes the source; returns once the thread has ended.
    ~CallAudio();
    CallAudio(const CallAudio&) = delete;
    CallAudio& operator=(const CallAudio&) = delete;

private:
    void Run();
    bool Stopping() const { return stopping_.load(std::memory_order_acquire); }

    std::function<void(const Frame&)> frame_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<wave::CaptureSource> source_; // set once the thread has opened it; under mutex_
    std::thread thread_;
};

} // namespace platform::tapi::sipline
