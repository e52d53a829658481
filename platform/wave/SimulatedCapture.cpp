#include "platform/wave/SimulatedCapture.h"

#include <algorithm>
#include <chrono>

#include "platform/win/Clock.h"

namespace platform::wave {
namespace {

constexpr std::uint64_t kMaxLag = 8000; // one second of samples

} // namespace

SimulatedCapture::SimulatedCapture(std::shared_ptr<const SimulatedRoom> room) : room_(std::move(room)) {}

MMRESULT SimulatedCapture::Start(std::string*) {
    next_ = SimulatedRoom::NowSample();
    return MMSYSERR_NOERROR;
}

void SimulatedCapture::Stop() {}

ReadResult SimulatedCapture::Read(BYTE* out, std::size_t max) {
    ReadResult result;
    const std::uint64_t now = SimulatedRoom::NowSample();
    if (now > next_ + kMaxLag) {
        next_ = now - max;
    }
    const std::uint64_t dueMs = (next_ + max + 7) / 8; // the device time at which the last sample is due
    {
        std::unique_lock lock(mutex_);
        while (!woken_ && platform::Clock::NowMs() < dueMs) {
            // At most 100 ms at a time, so that a change of the clock's factor takes effect soon.
            const auto soon = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
            wake_.wait_until(lock, std::min(platform::Clock::RealTimeAt(dueMs), soon));
        }
        if (woken_) {
            woken_ = false;
            return result;
        }
    }
    room_->Render(next_, out, max);
    next_ += max;
    result.bytes = max;
    return result;
}

void SimulatedCapture::Wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    wake_.notify_all();
}

std::string SimulatedCapture::Describe() const {
    return "simulated microphone";
}

} // namespace platform::wave
