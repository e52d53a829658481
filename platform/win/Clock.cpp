#include "platform/win/Clock.h"

#include <mutex>
#include <thread>

namespace platform {
namespace {

struct ClockState {
    std::mutex mutex;
    Clock::RealTime realOrigin = std::chrono::steady_clock::now();
    double deviceOriginMs = 0.0; // device time at realOrigin
    double factor = 1.0;
};

ClockState& State() {
    static ClockState state;
    return state;
}

double DeviceMsAt(const ClockState& s, Clock::RealTime t) {
    const double realMs = std::chrono::duration<double, std::milli>(t - s.realOrigin).count();
    return s.deviceOriginMs + realMs * s.factor;
}

} // namespace

void Clock::SetFactor(double factor) {
    if (!(factor > 0.0)) {
        factor = 1.0;
    }
    auto& s = State();
    std::lock_guard lock(s.mutex);
    const auto now = std::chrono::steady_clock::now();
    s.deviceOriginMs = DeviceMsAt(s, now);
    s.realOrigin = now;
    s.factor = factor;
}

double Clock::Factor() {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    return s.factor;
}

std::uint64_t Clock::NowMs() {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    return static_cast<std::uint64_t>(DeviceMsAt(s, std::chrono::steady_clock::now()));
}

Clock::RealTime Clock::RealTimeAt(std::uint64_t deviceMs) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    const double realMs = (static_cast<double>(deviceMs) - s.deviceOriginMs) / s.factor;
    return s.realOrigin + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double, std::milli>(realMs));
}

std::chrono::nanoseconds Clock::ToReal(std::uint64_t deviceMs) {
    const double realMs = static_cast<double>(deviceMs) / Factor();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<double, std::milli>(realMs));
}

void Clock::SleepFor(std::uint64_t deviceMs) {
    std::this_thread::sleep_until(RealTimeAt(NowMs() + deviceMs));
}

} // namespace platform
