// Making and destroying windows (CreateWindowEx, DestroyWindow), and the silent removal of the windows
// of a thread that has ended.
#pragma once

#include "platform/win/WinTypes.h"

namespace platform::win {

class MessageQueue;

// Removes every window that `queue`'s thread owns, without messages: that thread no longer runs.
void RemoveWindowsOfThread(const MessageQueue& queue);

} // namespace platform::win
