#include "platform/wave/SimulatedRoom.h"

#include <algorithm>
#include <vector>

#include "platform/win/Clock.h"

namespace platform::wave {

std::uint64_t SimulatedRoom::NowSample() {
    return platform::Clock::NowMs() * 8;
}

void SimulatedRoom::Switch(SoundScene scene) {
    scene.origin = NowSample();
    std::lock_guard lock(mutex_);
    previous_ = std::move(current_);
    current_ = std::move(scene);
}

void SimulatedRoom::Render(std::uint64_t first, BYTE* out, std::size_t n) const {
    SoundScene previous;
    SoundScene current;
    {
        std::lock_guard lock(mutex_);
        previous = previous_;
        current = current_;
    }
    std::size_t before = 0;
    if (first < current.origin) {
        before = static_cast<std::size_t>(std::min<std::uint64_t>(current.origin - first, n));
        previous.Render(first, out, before);
    }
    current.Render(first + before, out + before, n - before);
}

std::string SimulatedRoom::Describe() const {
    constexpr std::size_t kSecond = 8000;
    const std::uint64_t now = NowSample();
    std::vector<BYTE> last(kSecond);
    Render(now >= kSecond ? now - kSecond : 0, last.data(), last.size());
    long sum = 0;
    long count = 0;
    for (BYTE s : last) {
        if (s > 128) {
            sum += s - 128;
            ++count;
        }
    }
    SoundScene current;
    {
        std::lock_guard lock(mutex_);
        current = current_;
    }
    return current.Describe(now) + "; excursion " + std::to_string(count == 0 ? 0 : sum / count);
}

} // namespace platform::wave
