// Sound files made ready for the simulated microphone.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <numbers>

#include "WaveTestSupport.h"
#include "platform/wave/Recording.h"

namespace {

using namespace wavetest;
using platform::wave::LoadRecording;
using platform::wave::Recording;

// Writes `seconds` of a sine at `hz` and peak `amplitude` (of full scale) as 16-bit PCM WAV.
void WriteSineWav(const std::string& path, int rate, int channels, double hz, double amplitude,
                  double seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    const auto frames = static_cast<std::size_t>(rate * seconds);
    std::vector<double> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate);
        for (int c = 0; c < channels; ++c) {
            samples[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] = v;
        }
    }
    ASSERT_EQ(sf_writef_double(f, samples.data(), static_cast<sf_count_t>(frames)),
              static_cast<sf_count_t>(frames));
    sf_close(f);
}

int UpwardCrossings(const std::vector<BYTE>& s) {
    int n = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        n += (s[i - 1] < 128 && s[i] >= 128) ? 1 : 0;
    }
    return n;
}

TEST(Recording, CdQualityStereoBecomes8kHzUnsigned8BitMono) {
    TempDir dir;
    const std::string path = dir.Path() + "/sine.wav";
    WriteSineWav(path, 44100, 2, 437.0, 0.5, 1.0); // not a divisor of 8000: the samples fall on every phase
    Recording r;
    std::string error;
    ASSERT_TRUE(LoadRecording(path, &r, &error)) << error;

    EXPECT_NEAR(static_cast<double>(r.samples.size()), 8000.0, 8.0);
    // A peak of half scale is 64 steps above silence; a sine rises on average 2/pi of its peak.
    EXPECT_NEAR(MeanUpwardExcursion(r.samples), 2.0 / std::numbers::pi * 64.0, 1.5);
    EXPECT_NEAR(UpwardCrossings(r.samples), 437, 5);
    double sum = 0;
    for (BYTE b : r.samples) {
        sum += b;
    }
    EXPECT_NEAR(sum / static_cast<double>(r.samples.size()), 128.0, 1.0);
}

TEST(Recording, AFileInTheDeviceFormatComesThroughByteForByte) {
    TempDir dir;
    std::vector<BYTE> samples(3000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<BYTE>((i * 37) % 256);
    }
    WriteU8Wav(dir.Path() + "/u8.wav", samples);
    Recording r;
    std::string error;
    ASSERT_TRUE(LoadRecording(dir.Path() + "/u8.wav", &r, &error)) << error;
    EXPECT_EQ(r.samples, samples);
}

TEST(Recording, AMissingFileIsAnErrorNamingIt) {
    Recording r;
    std::string error;
    EXPECT_FALSE(LoadRecording("/nonexistent/room.wav", &r, &error));
    EXPECT_NE(error.find("/nonexistent/room.wav"), std::string::npos) << error;
}

} // namespace
