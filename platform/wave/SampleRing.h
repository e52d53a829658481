// The input device's own recording ring: sound that arrives while the program has no buffer queued is
// kept here, oldest first, and goes into the next buffer queued before anything newer. The ring has a
// fixed capacity; when a write finds it full, the oldest bytes make room and are counted as dropped, so
// the newest sound is always kept and a loss is never silent. Not thread-safe: the device's lock guards
// it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/wave/WaveApi.h"

namespace platform::wave {

class SampleRing {
public:
    explicit SampleRing(std::size_t capacity);

    // Appends `n` bytes, dropping the oldest ones when there is no room; returns how many were dropped.
    std::size_t Write(const BYTE* data, std::size_t n);
    // Moves up to `max` of the oldest bytes to `out`; returns how many.
    std::size_t Read(BYTE* out, std::size_t max);
    void Clear();

    std::size_t Size() const { return size_; }
    std::size_t Capacity() const { return bytes_.size(); }

private:
    std::vector<BYTE> bytes_;
    std::size_t head_ = 0; // the oldest byte
    std::size_t size_ = 0;
};

} // namespace platform::wave
