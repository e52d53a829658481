// Throughput of the sound level on the largest capture buffer (40,000 bytes, 5 s of sound), against
// two byte sums over the same buffer: the plain loop a first version would write, and the same sum in
// fixed blocks that the compiler vectorises. Bytes per second are reported for each; the level should
// run at least half as fast as a byte sum.
#include "audio/SoundLevel.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

std::vector<BYTE> RoomBuffer() {
    std::vector<BYTE> s(40000);
    std::mt19937 rng(7);
    std::normal_distribution<double> voice(128.0, 30.0);
    for (auto& b : s) {
        const double v = voice(rng);
        b = static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
    return s;
}

std::uint32_t PlainByteSum(const BYTE* p, std::size_t n) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += p[i];
    }
    return sum;
}

std::uint32_t BlockedByteSum(const BYTE* p, std::size_t n) {
    constexpr std::size_t kBlock = 128;
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        std::uint16_t block = 0;
        for (std::size_t j = 0; j < kBlock; ++j) {
            block = static_cast<std::uint16_t>(block + p[i + j]);
        }
        sum += block;
    }
    for (; i < n; ++i) {
        sum += p[i];
    }
    return sum;
}

void BM_MeasureSoundLevel(benchmark::State& state) {
    const auto s = RoomBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.data());
        benchmark::DoNotOptimize(MeasureSoundLevel(s.data(), static_cast<DWORD>(s.size()), 2, 100));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(s.size()));
}

void BM_PlainByteSum(benchmark::State& state) {
    const auto s = RoomBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.data());
        benchmark::DoNotOptimize(PlainByteSum(s.data(), s.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(s.size()));
}

void BM_BlockedByteSum(benchmark::State& state) {
    const auto s = RoomBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.data());
        benchmark::DoNotOptimize(BlockedByteSum(s.data(), s.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(s.size()));
}

BENCHMARK(BM_MeasureSoundLevel);
BENCHMARK(BM_PlainByteSum);
BENCHMARK(BM_BlockedByteSum);

} // namespace
