// Sending and posting: the machinery behind SendMessage, PostMessage and the tasks the platform hands
// to window threads.
//
// A message sent to a window of the calling thread is a direct call of its window procedure. One sent
// to a window of another thread is queued to that thread as a SentMessage, and the sender waits on its
// own queue; while it waits it handles the messages other threads send to it, so that two threads
// sending to each other both make progress. The owner handles queued sends in ProcessIncoming, which
// every message retrieval calls first. A send to a dead window or thread returns 0 at once, and a
// send that is still waiting when its receiver's thread ends is answered with 0.
//
// A few messages are handled by the sender itself, standing in for the owner, when the owner waits for
// messages with nothing to handle (MessageQueue::lend, StandIn): those a window class declares with
// AllowStandIn, whose handling touches only the window's own state and never waits. The owner cannot
// run meanwhile, the handler sees the owner's thread id and queue, and the sender gets the result as
// before; only the two thread switches of a round trip are saved. The level meter's PBM_SETPOS, sent
// for every sound buffer all night, is the reason.
#pragma once

#include "platform/win/MessageQueue.h"
#include "platform/win/WinApi.h"

#include <functional>

namespace platform::win {

// Handles everything other threads have handed to the calling thread's queue: each sent message is
// answered, each task run.
void ProcessIncoming(MessageQueue& queue);

// Runs `task` on the thread that owns `hwnd`: at once when that is the calling thread, otherwise the next
// time the owner retrieves messages. False when the window or its thread is gone.
bool RunOnWindowThread(HWND hwnd, std::function<void()> task);

// Lets the sender of `msg` to a window of class `className` handle it in the owner's place (see above).
void AllowStandIn(const wchar_t* className, UINT msg);

// Calls the window procedure of hwnd on the calling thread, whoever owns it; 0 for a dead window.
LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace platform::win
