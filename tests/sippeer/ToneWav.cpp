#include "tests/sippeer/ToneWav.h"

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace sippeer {

bool WriteToneWav(const std::filesystem::path& path, double hz, double seconds, int sampleRate,
                  double amplitude) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    const auto frames = static_cast<sf_count_t>(std::lround(seconds * sampleRate));
    std::vector<short> samples(static_cast<size_t>(frames));
    const double step = 2.0 * std::numbers::pi * hz / sampleRate;
    for (sf_count_t i = 0; i < frames; ++i) {
        samples[static_cast<size_t>(i)] =
            static_cast<short>(std::lround(amplitude * 32767.0 * std::sin(step * i)));
    }
    const bool written = sf_writef_short(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

} // namespace sippeer
