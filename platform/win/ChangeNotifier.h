// Tells the outside world that the window state changed. Two kinds of news:
// - every change of window state (a window made, destroyed, moved, shown, enabled, retitled, focused,
//   painted, a thread gone idle) advances a generation count that waiters can block on;
// - changes of pixels or of the window stack also go to the desktop's change listener (the compositor),
//   with the screen rectangle affected.
// The listener is called on whatever thread made the change, never with a window-core lock held.
#pragma once

#include "platform/win/WinTypes.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace platform::win {

void NotifyStateChanged();
void NotifyScreenChanged(const RECT& screenRect); // also counts as a state change

void SetScreenListener(std::function<void(const RECT&)> listener);

// Blocks until `condition` holds (true) or `timeout` of real time has passed (false). The condition is
// evaluated on the calling thread, with no lock held, after every state change (and now and then
// anyway, for conditions that depend on something else).
bool WaitForState(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

} // namespace platform::win
