// The tone detector against files whose content is known: pure tones, other tones, silence around the
// tone, noise, and tones that went through G.711 the way call audio does.
#include "tests/sippeer/ToneCheck.h"
#include "tests/sippeer/TempFolder.h"
#include "tests/sippeer/ToneWav.h"

#include <cstdint>

extern "C" {
#include <rem_g711.h>
}

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace sippeer {
namespace {

struct Piece {
    double hz; // 0: silence, -1: white noise
    double seconds;
};

// Writes the pieces one after another at 8000 Hz, optionally through a G.711 mu-law round trip.
void WritePieces(const std::filesystem::path& path, const std::vector<Piece>& pieces, bool g711) {
    std::vector<short> samples;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-12000, 12000);
    for (const auto& piece : pieces) {
        const int count = static_cast<int>(piece.seconds * 8000);
        for (int i = 0; i < count; ++i) {
            double x = 0;
            if (piece.hz > 0) {
                x = 12000 * std::sin(2 * std::numbers::pi * piece.hz * i / 8000);
            } else if (piece.hz < 0) {
                x = noise(random);
            }
            auto s = static_cast<int16_t>(std::lround(x));
            samples.push_back(g711 ? g711_ulaw2pcm(g711_pcm2ulaw(s)) : s);
        }
    }
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

struct ToneCase {
    const char* name;
    std::vector<Piece> pieces;
    bool g711;
    double probeHz;
    bool present;       // HasTone(probe, 0.5 s)
    double toneSeconds; // expected within 0.1 s
};

class ToneCheckTest : public ::testing::TestWithParam<ToneCase> {};

TEST_P(ToneCheckTest, FindsTheToneWhereItIs) {
    const auto& c = GetParam();
    TempFolder folder("lullwatch-tone-");
    const auto path = folder.path() / "sound.wav";
    WritePieces(path, c.pieces, c.g711);
    const ToneReport report = AnalyzeTone(path, c.probeHz);
    EXPECT_TRUE(report.readable);
    EXPECT_EQ(HasTone(path, c.probeHz), c.present) << report.Describe();
    EXPECT_NEAR(report.toneSeconds, c.toneSeconds, 0.1) << report.Describe();
    if (c.toneSeconds > 0) {
        EXPECT_GT(report.share, 0.9) << report.Describe();
        EXPECT_GT(report.ratio, 50.0) << report.Describe();
    } else {
        EXPECT_LT(report.share, 0.2) << report.Describe();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, ToneCheckTest,
    ::testing::Values(ToneCase{"PureTone", {{1000, 1.0}}, false, 1000, true, 1.0},
                      ToneCase{"ThroughG711", {{440, 1.0}}, true, 440, true, 1.0},
                      ToneCase{
                          "AfterLeadingSilence", {{0, 0.7}, {1000, 1.0}, {0, 0.3}}, true, 1000, true, 1.0},
                      ToneCase{"OtherTone", {{440, 1.0}}, true, 1000, false, 0.0},
                      ToneCase{"NearbyTone", {{800, 1.0}}, true, 1000, false, 0.0},
                      ToneCase{"Silence", {{0, 1.0}}, false, 1000, false, 0.0},
                      ToneCase{"Noise", {{-1, 1.0}}, true, 1000, false, 0.0},
                      ToneCase{"ShortTone", {{0, 0.5}, {1000, 0.3}}, true, 1000, false, 0.3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToneWavTest, WritesWhatTheFileSourceAccepts) {
    TempFolder folder("lullwatch-tone-");
    const auto path = folder.path() / "tone.wav";
    ASSERT_TRUE(WriteToneWav(path, 1000, 2.0));
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    sf_close(file);
    EXPECT_EQ(info.samplerate, 8000);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.frames, 16000);
    EXPECT_TRUE(HasTone(path, 1000, 1.9)) << AnalyzeTone(path, 1000).Describe();
}

TEST(ToneCheckTest, UnreadableFileHasNoTone) {
    EXPECT_FALSE(AnalyzeTone("/nonexistent/sound.wav", 1000).readable);
    EXPECT_FALSE(HasTone("/nonexistent/sound.wav", 1000));
}

} // namespace
} // namespace sippeer
