#include "platform/wave/SoundScene.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/wave/TextValues.h"

namespace platform::wave {
namespace {

constexpr double kRate = 8000.0;

// A well-mixed 64-bit hash (splitmix64's finaliser): noise without state, so any stretch renders alike.
std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

BYTE Clamp(long v) {
    return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
}

std::string Seconds(std::uint64_t samples) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(samples) / kRate);
    return text;
}

} // namespace

void SoundScene::Render(std::uint64_t first, BYTE* out, std::size_t n) const {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t sample = first + i;
        const std::uint64_t t = sample >= origin ? sample - origin : 0;
        switch (kind) {
        case Kind::Silence:
            out[i] = 128;
            break;
        case Kind::Tone: {
            const double phase = std::fmod(hz * static_cast<double>(t) / kRate, 1.0);
            out[i] = Clamp(128 + std::lround(level * std::sin(2.0 * std::numbers::pi * phase)));
            break;
        }
        case Kind::Noise: {
            const auto span = static_cast<std::uint64_t>(2 * level + 1);
            out[i] = Clamp(128 - level + static_cast<long>(Mix(seed ^ Mix(sample)) % span));
            break;
        }
        case Kind::Playback: {
            const auto& s = recording->samples;
            if (s.empty() || (!loop && t >= s.size())) {
                out[i] = 128;
            } else {
                out[i] = s[t % s.size()];
            }
            break;
        }
        }
    }
}

std::string SoundScene::Describe(std::uint64_t now) const {
    switch (kind) {
    case Kind::Silence:
        return "silence";
    case Kind::Tone:
        return "tone " + FormatNumber(hz) + " " + std::to_string(level);
    case Kind::Noise:
        return "noise " + std::to_string(level);
    case Kind::Playback: {
        const std::uint64_t length = recording->samples.size();
        const std::uint64_t t = now >= origin ? now - origin : 0;
        std::string text = "play \"" + recording->path + "\"" + (loop ? " loop" : "");
        if (!loop && t >= length) {
            return text + " (ended)";
        }
        return text + " at " + Seconds(length == 0 ? 0 : t % length) + " of " + Seconds(length) + " s";
    }
    }
    return "";
}

bool ParseGenerator(const std::vector<std::string>& words, SoundScene* scene, std::string* error) {
    const std::string kind = words.empty() ? "" : Lower(words[0]);
    if (kind == "silence" && words.size() == 1) {
        scene->kind = SoundScene::Kind::Silence;
        return true;
    }
    if (kind == "tone" && words.size() == 3) {
        double hz = 0.0;
        long level = 0;
        if (!ParseDouble(words[1], &hz) || !(hz > 0.0 && hz < kRate / 2)) {
            *error = "bad tone frequency '" + words[1] + "' (above 0 and below 4000 Hz)";
            return false;
        }
        if (!ParseLong(words[2], &level) || level < 0 || level > 127) {
            *error = "bad tone level '" + words[2] + "' (0..127)";
            return false;
        }
        scene->kind = SoundScene::Kind::Tone;
        scene->hz = hz;
        scene->level = static_cast<int>(level);
        return true;
    }
    if (kind == "noise" && words.size() == 2) {
        long level = 0;
        if (!ParseLong(words[1], &level) || level < 0 || level > 127) {
            *error = "bad noise level '" + words[1] + "' (0..127)";
            return false;
        }
        scene->kind = SoundScene::Kind::Noise;
        scene->level = static_cast<int>(level);
        return true;
    }
    *error = "expected 'silence', 'tone <hz> <level>' or 'noise <level>'";
    return false;
}

} // namespace platform::wave
