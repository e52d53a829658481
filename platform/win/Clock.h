// The device clock. Every notion of time on the platform (GetTickCount, Sleep, timers, the pacing of
// simulated sound sources and telephony scripts) reads this one clock. It runs at real time times a
// factor that the device profile sets at start-up, so that tests and demos of a 31-second countdown need
// not take 31 seconds. Real devices (ALSA, SIP) are never used with a factor other than 1.
#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

class Clock {
public:
    using RealTime = std::chrono::steady_clock::time_point;

    // Sets how many device milliseconds pass per real millisecond (1 = real time). Device time stays
    // continuous across the change.
    static void SetFactor(double factor);
    static double Factor();

    // Device milliseconds since the clock started.
    static std::uint64_t NowMs();

    // The real time at which the device clock shows `deviceMs`.
    static RealTime RealTimeAt(std::uint64_t deviceMs);

    // A device duration expressed in real time.
    static std::chrono::nanoseconds ToReal(std::uint64_t deviceMs);

    // Blocks the calling thread for `deviceMs` of device time.
    static void SleepFor(std::uint64_t deviceMs);
};

} // namespace platform
