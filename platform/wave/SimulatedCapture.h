// The simulated microphone: records the simulated room at 8000 samples per second of device time
// (platform/win/Clock.h), so a sped-up clock speeds the sound up with everything else. A Read of n
// samples waits until the device clock has passed the last of them, then renders them. A reader that
// falls more than one second behind (a stalled reader) skips ahead, as a real device's buffer
// would overrun.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/wave/CaptureSource.h"
#include "platform/wave/SimulatedRoom.h"

namespace platform::wave {

class SimulatedCapture : public CaptureSource {
public:
    explicit SimulatedCapture(std::shared_ptr<const SimulatedRoom> room);

    MMRESULT Start(std::string* detail) override;
    void Stop() override;
    ReadResult Read(BYTE* out, std::size_t max) override;
    void Wake() override;
    std::string Describe() const override;

private:
    const std::shared_ptr<const SimulatedRoom> room_;
    std::uint64_t next_ = 0; // the next sample to read; the reader's only
    std::mutex mutex_;
    std::condition_variable wake_;
    bool woken_ = false;
};

} // namespace platform::wave
