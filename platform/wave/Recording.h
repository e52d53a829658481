// A recording made ready for the simulated microphone: a sound file in any format libsndfile reads,
// mixed down to mono, resampled to 8000 Hz (libsamplerate) and converted to unsigned 8-bit samples
// with silence at 128. A file that already is 8000 Hz 8-bit mono comes through byte for byte.
//
// The decoding lives in the module lullwatch-recording.so (libsndfile, libsamplerate and the codecs under
// them), loaded the first time a recording is; LoadRecording reaches it through the module's entry point.
#pragma once

#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

namespace platform::wave {

struct Recording {
    std::string path;
    std::vector<BYTE> samples; // 8000 Hz, unsigned 8-bit, mono
};

// Loads and converts `path`. On failure returns false with `error` naming the file and the reason, or
// the module and the reason it could not be loaded.
bool LoadRecording(const std::string& path, Recording* out, std::string* error);

} // namespace platform::wave

// The module's entry point: LoadRecording's work.
extern "C" bool lullwatch_load_recording(const std::string& path, platform::wave::Recording* out,
                                         std::string* error);
