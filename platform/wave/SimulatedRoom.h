// The simulated room: the one sound scene that the simulated microphone hears, shared by the device
// (which renders it while recording) and the automation channel (which switches it). A switch takes
// effect at the sample the device clock shows at that moment; samples before it keep the previous
// scene, even when they are rendered after the switch, so a recording never loses or repeats a
// stretch. Thread-safe.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/wave/SoundScene.h"

namespace platform::wave {

class SimulatedRoom {
public:
    // The sample index that the device clock shows now (8 samples per device millisecond).
    static std::uint64_t NowSample();

    // Makes `scene` sound from now on (its origin is set to now).
    void Switch(SoundScene scene);

    void Render(std::uint64_t first, BYTE* out, std::size_t n) const;

    // The current scene in words, with the mean upward excursion of its last second ("excursion N":
    // the sound level that second would have with factor 1 and no noise gate).
    std::string Describe() const;

private:
    mutable std::mutex mutex_;
    SoundScene previous_;
    SoundScene current_;
};

} // namespace platform::wave
