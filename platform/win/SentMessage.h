// One item that another thread hands to a thread's queue for immediate handling: either a message sent
// to one of its windows, whose sender waits for the result, or a small task for the owner thread to run
// (used where the platform must not block, e.g. resizing windows when the screen turns).
//
// `done` and `result` belong to the sender's queue: they are written and read under that queue's mutex
// (see MessageQueue::complete and MessageQueue::waitForReply).
#pragma once

#include "platform/win/WinTypes.h"

#include <functional>
#include <memory>

namespace platform::win {

class MessageQueue;

struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::function<void()> task;           // set for a task; then there is no sender
    std::shared_ptr<MessageQueue> sender; // waits for the result of a sent message

    bool done = false;
    LRESULT result = 0;
};

} // namespace platform::win
