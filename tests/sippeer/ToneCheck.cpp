#include "tests/sippeer/ToneCheck.h"

#include <cstdint>

extern "C" {
#include <rem_goertzel.h>
}

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace sippeer {
namespace {

// Blocks quieter than this RMS (about -50 dB of full scale) count as silence.
constexpr double kSilenceRms = 100.0;
// A block carries the tone when at least this share of its energy lies at the tone.
constexpr double kToneShare = 0.5;

// The first channel of an audio file as 16-bit samples; false when it cannot be read.
bool ReadSamples(const std::filesystem::path& path, std::vector<short>* samples, int* sampleRate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return false;
    }
    std::vector<short> frames(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t got = sf_readf_short(file, frames.data(), info.frames);
    sf_close(file);
    samples->clear();
    for (sf_count_t i = 0; i < got; ++i) {
        samples->push_back(frames[static_cast<size_t>(i * info.channels)]);
    }
    *sampleRate = info.samplerate;
    return info.samplerate > 0;
}

// A Hann window over a block: it keeps a strong tone's leakage away from the off frequencies. Its
// coherent gain and energy gain turn the filter's power into a share of the block's energy.
struct Window {
    explicit Window(size_t n) : weights(n) {
        for (size_t i = 0; i < n; ++i) {
            weights[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / n);
            coherent += weights[i];
            energyGain += weights[i] * weights[i];
        }
        coherent /= n;
        energyGain /= n;
    }

    std::vector<double> weights;
    double coherent = 0;
    double energyGain = 0;
};

// One block's measurements.
struct Block {
    bool voiced = false;
    double energy = 0; // of the windowed samples
    double tone = 0;   // the part of it at the tone
    double off = 0;    // the strongest part at an off frequency
};

// The Goertzel power at `hz` of windowed samples, as energy comparable with theirs.
double EnergyAt(const std::vector<short>& windowed, const Window& window, double hz, int sampleRate) {
    goertzel g;
    goertzel_init(&g, hz, static_cast<unsigned>(sampleRate));
    for (short s : windowed) {
        goertzel_update(&g, s);
    }
    return goertzel_result(&g) * window.energyGain /
           (window.coherent * window.coherent * static_cast<double>(windowed.size()));
}

Block Measure(const short* samples, const Window& window, double hz, int sampleRate) {
    const size_t n = window.weights.size();
    std::vector<short> windowed(n);
    Block block;
    double raw = 0;
    for (size_t i = 0; i < n; ++i) {
        raw += static_cast<double>(samples[i]) * samples[i];
        windowed[i] = static_cast<short>(std::lround(samples[i] * window.weights[i]));
        block.energy += static_cast<double>(windowed[i]) * windowed[i];
    }
    block.voiced = std::sqrt(raw / n) >= kSilenceRms && block.energy > 0;
    if (!block.voiced) {
        return block;
    }
    block.tone = EnergyAt(windowed, window, hz, sampleRate);
    const double top = sampleRate / 2.0 - 50.0;
    for (double f : {std::min(hz * 0.7, top), std::min(hz * 1.4, top)}) {
        block.off = std::max(block.off, EnergyAt(windowed, window, f, sampleRate));
    }
    return block;
}

} // namespace

std::string ToneReport::Describe() const {
    char text[200];
    std::snprintf(text, sizeof text,
                  "%s, %.2f s long, %.2f s above silence, %.2f s of tone, tone share %.2f, ratio to off "
                  "frequencies %.1f",
                  readable ? "readable" : "unreadable", seconds, voicedSeconds, toneSeconds, share, ratio);
    return text;
}

ToneReport AnalyzeTone(const std::filesystem::path& path, double hz) {
    ToneReport report;
    std::vector<short> samples;
    int rate = 0;
    if (!ReadSamples(path, &samples, &rate)) {
        return report;
    }
    report.readable = true;
    report.sampleRate = rate;
    report.seconds = static_cast<double>(samples.size()) / rate;

    const Window window(static_cast<size_t>(std::max(rate / 20, 16))); // 50 ms blocks
    const size_t n = window.weights.size();
    double toneTotal = 0, offTotal = 0, energyTotal = 0;
    int voiced = 0, toned = 0;
    for (size_t start = 0; start + n <= samples.size(); start += n) {
        const Block block = Measure(samples.data() + start, window, hz, rate);
        if (!block.voiced) {
            continue;
        }
        ++voiced;
        toned += block.tone / block.energy >= kToneShare ? 1 : 0;
        toneTotal += block.tone;
        offTotal += block.off;
        energyTotal += block.energy;
    }
    const double blockSeconds = static_cast<double>(n) / rate;
    report.voicedSeconds = voiced * blockSeconds;
    report.toneSeconds = toned * blockSeconds;
    report.share = energyTotal > 0 ? std::min(toneTotal / energyTotal, 1.0) : 0;
    report.ratio = offTotal > 0 ? toneTotal / offTotal : (toneTotal > 0 ? 1e9 : 0);
    return report;
}

bool HasTone(const std::filesystem::path& path, double hz, double minSeconds) {
    return AnalyzeTone(path, hz).toneSeconds >= minSeconds;
}

double ToneRatio(const std::filesystem::path& path, double hz) {
    return AnalyzeTone(path, hz).ratio;
}

} // namespace sippeer
