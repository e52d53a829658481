#include "platform/wave/SampleRing.h"

#include <algorithm>
#include <cstring>

namespace platform::wave {

SampleRing::SampleRing(std::size_t capacity) : bytes_(capacity) {}

std::size_t SampleRing::Write(const BYTE* data, std::size_t n) {
    const std::size_t capacity = bytes_.size();
    std::size_t dropped = 0;
    if (n >= capacity) { // only the newest `capacity` bytes can stay
        dropped = size_ + n - capacity;
        data += n - capacity;
        n = capacity;
        head_ = 0;
        size_ = 0;
    } else if (size_ + n > capacity) {
        dropped = size_ + n - capacity;
        head_ = (head_ + dropped) % capacity;
        size_ -= dropped;
    }
    std::size_t tail = (head_ + size_) % capacity;
    while (n > 0) {
        const std::size_t part = std::min(n, capacity - tail);
        std::memcpy(bytes_.data() + tail, data, part);
        data += part;
        n -= part;
        size_ += part;
        tail = (tail + part) % capacity;
    }
    return dropped;
}

std::size_t SampleRing::Read(BYTE* out, std::size_t max) {
    const std::size_t capacity = bytes_.size();
    std::size_t done = 0;
    while (done < max && size_ > 0) {
        const std::size_t part = std::min({max - done, size_, capacity - head_});
        std::memcpy(out + done, bytes_.data() + head_, part);
        done += part;
        size_ -= part;
        head_ = (head_ + part) % capacity;
    }
    return done;
}

void SampleRing::Clear() {
    head_ = 0;
    size_ = 0;
}

} // namespace platform::wave
