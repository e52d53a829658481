// The sound level: worked examples as a table, then agreement with a plain one-byte-at-a-time
// reference over random buffers of the sizes the capture uses.
#include "audio/SoundLevel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

// The level computed the obvious way: one branchy pass in signed 32-bit arithmetic.
std::int32_t ReferenceLevel(const std::vector<BYTE>& s, std::int32_t factor, std::int32_t noiseLengthMs) {
    std::int32_t nonQuiet = 0;
    std::int32_t positiveSum = 0;
    std::int32_t positiveCount = 0;
    for (BYTE b : s) {
        const int e = b - 128;
        if (e >= 1) {
            ++nonQuiet;
            positiveSum += e;
            ++positiveCount;
        } else if (e <= -2) {
            ++nonQuiet;
        }
    }
    if (positiveCount == 0 || nonQuiet <= 8 * noiseLengthMs) {
        return 0;
    }
    return positiveSum / (positiveCount * (factor < 1 ? 1 : factor));
}

// A buffer made of runs: {value, how many}.
std::vector<BYTE> Runs(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<BYTE> out;
    for (const auto& [value, n] : runs) {
        out.insert(out.end(), static_cast<std::size_t>(n), static_cast<BYTE>(value));
    }
    return out;
}

struct Example {
    std::string name;
    std::vector<BYTE> samples;
    std::int32_t factor;
    std::int32_t noiseLengthMs;
    std::int32_t level;
};

const std::vector<Example>& Examples() {
    static const std::vector<Example> examples = {
        {"empty", {}, 1, 0, 0},
        {"quiet band only", Runs({{127, 500}, {128, 500}}), 1, 0, 0},
        {"all 129", Runs({{129, 1000}}), 1, 0, 1},
        {"single 129 passes gate 0", Runs({{128, 999}, {129, 1}}), 1, 0, 1},
        {"all at or below 126", Runs({{126, 300}, {0, 300}, {50, 400}}), 1, 0, 0},
        {"loudest negative only", Runs({{0, 40000}}), 1, 0, 0},
        {"gate 10, 80 non-quiet", Runs({{128, 920}, {200, 40}, {20, 40}}), 1, 10, 0},
        {"gate 10, 81 non-quiet", Runs({{128, 919}, {200, 41}, {20, 40}}), 1, 10, 72},
        {"gate counts scattered samples", Runs({{129, 1}, {128, 100}, {126, 80}}), 1, 10, 1},
        {"factor 4, mean 48", Runs({{176, 1000}}), 4, 0, 12},
        {"factor 3, mean 14 truncates", Runs({{142, 1000}}), 3, 0, 4},
        {"factor 3, mixed to mean 14", Runs({{129, 500}, {155, 500}}), 3, 0, 4},
        {"negatives do not lower the mean", Runs({{138, 100}, {0, 900}}), 1, 0, 10},
        {"max excursion", Runs({{255, 40000}}), 1, 0, 127},
        {"max excursion, largest factor", Runs({{255, 40000}}), 20, 250, 6},
        {"gate 250 needs more than 2000", Runs({{255, 2000}, {128, 38000}}), 1, 250, 0},
        {"gate 250 passes at 2001", Runs({{255, 2001}, {128, 37999}}), 1, 250, 127},
        {"factor 0 counts as 1", Runs({{160, 1000}}), 0, 0, 32},
        {"negative factor counts as 1", Runs({{160, 1000}}), -7, 0, 32},
        {"odd length tail", Runs({{130, 129}}), 1, 0, 2},
    };
    return examples;
}

TEST(SoundLevel, Examples) {
    for (const auto& ex : Examples()) {
        SCOPED_TRACE(ex.name);
        EXPECT_EQ(MeasureSoundLevel(ex.samples.data(), static_cast<DWORD>(ex.samples.size()), ex.factor,
                                    ex.noiseLengthMs),
                  ex.level);
        EXPECT_EQ(ReferenceLevel(ex.samples, ex.factor, ex.noiseLengthMs), ex.level);
    }
}

TEST(SoundLevel, NullSamplesWithZeroCount) {
    EXPECT_EQ(MeasureSoundLevel(nullptr, 0, 1, 0), 0);
}

TEST(SoundLevel, OnlyTheCountedBytesAreRead) {
    std::vector<BYTE> s = Runs({{130, 100}, {255, 900}});
    EXPECT_EQ(MeasureSoundLevel(s.data(), 100, 1, 0), 2);
}

// Random buffers around the quiet band and across the full range, sizes covering empty, the block
// boundaries and both ends of the capture buffer's range.
TEST(SoundLevel, AgreesWithReference) {
    std::mt19937 rng(20240611);
    const std::vector<std::size_t> sizes = {0, 1, 127, 128, 129, 255, 256, 1000, 1001, 8000, 40000};
    const std::vector<std::int32_t> factors = {1, 2, 3, 7, 20};
    const std::vector<std::int32_t> gates = {0, 1, 10, 125, 250};
    for (std::size_t size : sizes) {
        for (int round = 0; round < 12; ++round) {
            // Alternate a narrow spread around silence (where the quiet band matters) and the full range.
            const int spread = (round % 3 == 0) ? 3 : (round % 3 == 1) ? 40 : 128;
            std::uniform_int_distribution<int> dist(std::max(0, 128 - spread), std::min(255, 128 + spread));
            std::vector<BYTE> s(size);
            for (auto& b : s) {
                b = static_cast<BYTE>(dist(rng));
            }
            const std::int32_t factor = factors[static_cast<std::size_t>(round) % factors.size()];
            const std::int32_t gate = gates[static_cast<std::size_t>(round / 2) % gates.size()];
            SCOPED_TRACE("size " + std::to_string(size) + " spread " + std::to_string(spread) + " factor " +
                         std::to_string(factor) + " gate " + std::to_string(gate));
            ASSERT_EQ(MeasureSoundLevel(s.data(), static_cast<DWORD>(s.size()), factor, gate),
                      ReferenceLevel(s, factor, gate));
        }
    }
}

} // namespace
