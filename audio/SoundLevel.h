// The sound level: the program's one measure of loudness. A buffer of unsigned 8-bit samples (silence at
// 128) is reduced to the mean upward excursion above silence, divided by the sensitivity reduction
// factor, and forced to 0 when the buffer holds too little non-quiet sound. The samples 127 and 128 are
// quiet; 129 and above count as sound (and toward the mean), 126 and below count as sound for the noise
// gate only. The function is pure and safe to call from any thread.
#pragma once

#include <cstdint>

#include "platform/win/WinTypes.h"

// Returns the sound level (0 or more) of `count` bytes at `samples`.
// - No byte above 128: 0 (this covers count 0).
// - Non-quiet bytes (every byte but 127 and 128) not more than 8 * `noiseLengthMs` (8 samples are one
//   millisecond at 8000 samples per second): 0.
// - Otherwise: the sum of (s - 128) over the bytes s above 128, divided by (their number * `factor`),
//   truncated.
// A `factor` below 1 counts as 1, so a damaged setting can never divide by zero or flip the sign.
// `samples` may be null when `count` is 0.
std::int32_t MeasureSoundLevel(const BYTE* samples, DWORD count, std::int32_t factor,
                               std::int32_t noiseLengthMs);
