// Test tones as WAV files: a sine of one frequency, 16-bit PCM, mono, for a peer to send into a call
// (baresip's file source wants exactly 8000 Hz, mono, 16-bit).
#pragma once

#include <filesystem>

namespace sippeer {

// Writes `seconds` of a sine at `hz` and `amplitude` (0..1 of full scale) to `path`; false when the
// file could not be written.
bool WriteToneWav(const std::filesystem::path& path, double hz, double seconds, int sampleRate = 8000,
                  double amplitude = 0.5);

} // namespace sippeer
