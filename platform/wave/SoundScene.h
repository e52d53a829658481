// What the simulated microphone hears: silence, a tone, noise or a recording. A scene is a pure
// function of the sample index (8000 per second of device time since the device clock started), so
// any stretch of it can be rendered at any time, by any thread, with the same result. `origin` is the
// sample at which the scene began: the tone's phase and the recording's start count from there.
//
// Generator words (the profile's `generator` key and the automation command use them):
//   silence                every sample 128
//   tone <hz> <level>      a sine wave: 128 + level * sin(2 pi hz t), hz above 0 and below 4000,
//                          level (the peak excursion) 0..127
//   noise <level>          white noise: samples evenly spread over 128 - level .. 128 + level
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/wave/Recording.h"

namespace platform::wave {

struct SoundScene {
    enum class Kind { Silence, Tone, Noise, Playback };

    Kind kind = Kind::Silence;
    double hz = 0.0;
    int level = 0;
    std::uint64_t seed = 1;
    std::shared_ptr<const Recording> recording;
    bool loop = false;
    std::uint64_t origin = 0;

    // Writes samples `first` .. `first + n - 1` to `out`.
    void Render(std::uint64_t first, BYTE* out, std::size_t n) const;

    // The scene in the words that make it ("tone 440 64", "play <file> loop"), and for a recording
    // where it stands at sample `now`.
    std::string Describe(std::uint64_t now) const;
};

// Parses generator words into `scene` (kind, hz, level); false with `error` on a bad word or value.
bool ParseGenerator(const std::vector<std::string>& words, SoundScene* scene, std::string* error);

} // namespace platform::wave
