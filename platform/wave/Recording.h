// A recording made ready for the simulated microphone: a sound file in any format libsndfile reads,
// mixed down to mono, resampled to 8000 Hz (libsamplerate) and converted to unsigned 8-bit samples
// with silence at 128. A file that already is 8000 Hz 8-bit mono comes through byte for byte.
#pragma once

#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

namespace platform::wave {

struct Recording {
    std::string path;
    std::vector<BYTE> samples; // 8000 Hz, unsigned 8-bit, mono
};

// Loads and converts `path`. On failure returns false with `error` naming the file and the reason.
bool LoadRecording(const std::string& path, Recording* out, std::string* error);

} // namespace platform::wave
