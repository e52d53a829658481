#include "platform/wave/Recording.h"

#include <samplerate.h>
#include <sndfile.h>

#include <cmath>
#include <memory>

namespace platform::wave {
namespace {

constexpr int kRate = 8000;

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};

// Reads the whole file as float frames and averages the channels.
bool ReadMono(const std::string& path, std::vector<float>* mono, int* rate, std::string* error) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        *error = "cannot read the sound file '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        *error = "the sound file '" + path + "' has no usable sound";
        return false;
    }
    std::vector<float> frames(static_cast<std::size_t>(info.frames) *
                              static_cast<std::size_t>(info.channels));
    const sf_count_t got = sf_readf_float(file.get(), frames.data(), info.frames);
    mono->assign(static_cast<std::size_t>(got), 0.0f);
    for (std::size_t i = 0; i < mono->size(); ++i) {
        float sum = 0.0f;
        for (int c = 0; c < info.channels; ++c) {
            sum += frames[i * static_cast<std::size_t>(info.channels) + static_cast<std::size_t>(c)];
        }
        (*mono)[i] = sum / static_cast<float>(info.channels);
    }
    *rate = info.samplerate;
    return true;
}

bool Resample(const std::vector<float>& in, int rate, std::vector<float>* out, std::string* error) {
    const double ratio = static_cast<double>(kRate) / rate;
    out->assign(static_cast<std::size_t>(std::ceil(static_cast<double>(in.size()) * ratio)) + 16, 0.0f);
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = static_cast<long>(in.size());
    data.data_out = out->data();
    data.output_frames = static_cast<long>(out->size());
    data.src_ratio = ratio;
    const int rc = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1);
    if (rc != 0) {
        *error = std::string("cannot resample the sound file: ") + src_strerror(rc);
        return false;
    }
    out->resize(static_cast<std::size_t>(data.output_frames_gen));
    return true;
}

BYTE ToUnsigned8(float v) {
    // libsndfile reads an 8-bit sample s as (s - 128) / 128, so this is its exact inverse.
    const long s = std::lround(static_cast<double>(v) * 128.0) + 128;
    return static_cast<BYTE>(s < 0 ? 0 : s > 255 ? 255 : s);
}

bool Decode(const std::string& path, Recording* out, std::string* error) {
    std::vector<float> mono;
    int rate = 0;
    if (!ReadMono(path, &mono, &rate, error)) {
        return false;
    }
    std::vector<float> resampled;
    if (rate != kRate && !mono.empty()) {
        if (!Resample(mono, rate, &resampled, error)) {
            *error += " ('" + path + "')";
            return false;
        }
    } else {
        resampled = std::move(mono);
    }
    out->path = path;
    out->samples.resize(resampled.size());
    for (std::size_t i = 0; i < resampled.size(); ++i) {
        out->samples[i] = ToUnsigned8(resampled[i]);
    }
    return true;
}

} // namespace
} // namespace platform::wave

extern "C" bool lullwatch_load_recording(const std::string& path, platform::wave::Recording* out,
                                         std::string* error) {
    return platform::wave::Decode(path, out, error);
}
