// Deadlines for the waits of the test peers: every wait on a peer process ends when its condition holds
// or when the deadline passes, whichever comes first. The peers are real processes, so deadlines are
// real (steady) time, never the program's sped-up clock.
#pragma once

#include <chrono>

namespace sippeer {

using Deadline = std::chrono::steady_clock::time_point;

// The deadline `span` from now.
inline Deadline Within(std::chrono::milliseconds span) {
    return std::chrono::steady_clock::now() + span;
}

// Milliseconds left until `deadline`, never negative.
inline int MillisecondsLeft(Deadline deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace sippeer
