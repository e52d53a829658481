#include "audio/SoundLevel.h"

#include <cstddef>

namespace {

// The buffer is tallied in fixed blocks of kBlock bytes with 8- and 16-bit accumulators, which the
// compiler turns into byte-wide vector arithmetic (a fixed trip count also lets -O2's cheap vectoriser
// take the loop); the blocks' tallies are then added in 64 bits. Each step of the block loop takes one
// byte from each half of the block: their two excursions (at most 127 each) add up in 8 bits before
// being widened, which halves the widening work. A block's excursion sum fits 16 bits
// (128 * 127 = 16256) and its counts fit 8 bits.
constexpr std::size_t kBlock = 128;
constexpr std::size_t kHalf = kBlock / 2;

struct Tally {
    std::uint64_t upSum = 0;       // sum of the excursions above 128
    std::uint64_t notPositive = 0; // bytes at or below 128
    std::uint64_t low = 0;         // bytes at or below 126
};

// The excursion above silence, 0 for a byte at or below it.
inline BYTE Up(BYTE s) {
    return static_cast<BYTE>((s > 128 ? s : 128) - 128);
}

void AddBlock(const BYTE* p, Tally& tally) {
    std::uint16_t upSum = 0;
    std::uint8_t notPositive = 0;
    std::uint8_t low = 0;
    for (std::size_t i = 0; i < kHalf; ++i) {
        const BYTE a = p[i];
        const BYTE b = p[i + kHalf];
        const BYTE upA = Up(a);
        const BYTE upB = Up(b);
        // Comparisons give 0 or 1: no branch in the loop.
        upSum = static_cast<std::uint16_t>(upSum + static_cast<BYTE>(upA + upB));
        notPositive = static_cast<std::uint8_t>(notPositive + (upA == 0) + (upB == 0));
        low = static_cast<std::uint8_t>(low + (a < 127) + (b < 127));
    }
    tally.upSum += upSum;
    tally.notPositive += notPositive;
    tally.low += low;
}

void AddBytes(const BYTE* p, std::size_t n, Tally& tally) {
    for (std::size_t i = 0; i < n; ++i) {
        const BYTE up = Up(p[i]);
        tally.upSum += up;
        tally.notPositive += (up == 0);
        tally.low += (p[i] < 127);
    }
}

} // namespace

std::int32_t MeasureSoundLevel(const BYTE* samples, DWORD count, std::int32_t factor,
                               std::int32_t noiseLengthMs) {
    if (count == 0) {
        return 0;
    }
    Tally tally;
    const std::size_t n = count;
    const std::size_t whole = n - n % kBlock;
    for (std::size_t i = 0; i < whole; i += kBlock) {
        AddBlock(samples + i, tally);
    }
    AddBytes(samples + whole, n - whole, tally);

    const std::uint64_t positive = n - tally.notPositive;
    if (positive == 0) {
        return 0;
    }
    const auto nonQuiet = static_cast<std::int64_t>(positive + tally.low);
    if (nonQuiet <= 8 * static_cast<std::int64_t>(noiseLengthMs)) {
        return 0;
    }
    // The quotient is at most 127, so it fits 32 bits; the divisor is formed in 64 bits so that an
    // absurd factor cannot overflow it.
    const std::int64_t divisor = static_cast<std::int64_t>(positive) * (factor < 1 ? 1 : factor);
    return static_cast<std::int32_t>(static_cast<std::int64_t>(tally.upSum) / divisor);
}
