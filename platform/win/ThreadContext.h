// What the window core keeps per thread: the thread's id (numbers of our own, stable for the life of
// the thread), its message queue (made on first need), and its last error. When a thread ends, whether
// it was started by CreateThread or otherwise, its queue is closed, the messages still waiting to be
// sent to it are answered with 0, and its windows and hooks are removed.
#pragma once

#include "platform/win/WinTypes.h"

#include <memory>

namespace platform::win {

class MessageQueue;

DWORD CurrentThreadId();
// Reserves an id for a thread about to start; the thread takes it with AdoptThreadId before anything
// else, so that CreateThread can report the id at once.
DWORD ReserveThreadId();
void AdoptThreadId(DWORD id);

std::shared_ptr<MessageQueue> CurrentQueue(); // made on first use
std::shared_ptr<MessageQueue> CurrentQueueIfAny();
std::shared_ptr<MessageQueue> QueueOfThread(DWORD threadId);
bool IsCurrentThread(const MessageQueue& queue);

// Ends the calling thread's part in the window system (see above). Runs by itself when the thread ends;
// calling it earlier (CreateThread does, so that waiters see the windows gone) makes the later run a
// no-op.
void EndCurrentThread();

DWORD& LastErrorSlot();

// While it lives, the calling thread counts as the owner of `queue` (its thread id and its queue), for a
// thread that handles a message in the owner's place (MessageQueue::lend): the window code it runs sees
// the window system as the owner thread would. The calling thread's own id and queue come back after.
class StandIn {
public:
    explicit StandIn(const std::shared_ptr<MessageQueue>& queue);
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

private:
    DWORD id_;
    std::shared_ptr<MessageQueue> queue_;
};

} // namespace platform::win
