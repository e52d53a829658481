// The message queue of one thread.
//
// Any thread may post messages to it, hand it sent messages and tasks (SentMessage), wake it, and set or
// kill the timers of the windows it owns. Only the owner thread takes things out, and it does so in the
// device's order: sent messages and tasks first, then posted messages, the quit request, and last the
// timers (WM_PAINT, which sits between the quit request and the timers, is found by the painting code).
// A timer message is generated when it is due and nothing of higher priority waits.
//
// The queue also carries what is kept per thread: its focus window (guarded by the window lock, not by
// the queue's mutex, as it belongs to the window state) and the state of the keys it has retrieved.
//
// When the owner thread ends the queue is closed: pending sent messages are answered with 0, and posts
// and sends are refused from then on. A thread waiting in a SendMessage of its own waits on its own
// queue, so that sent messages reaching it meanwhile are handled (see Messaging.h).
#pragma once

#include "platform/win/MessageFilter.h"
#include "platform/win/SentMessage.h"
#include "platform/win/WinTypes.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::win {

class MessageQueue {
public:
    explicit MessageQueue(DWORD threadId) : threadId_(threadId) {}
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    DWORD threadId() const { return threadId_; }

    // --- Any thread ---
    bool post(const MSG& msg);                           // false once closed
    bool send(const std::shared_ptr<SentMessage>& item); // false once closed
    void wake();                                         // something else (paint, a dialog's end) changed
    bool closed() const;
    // True while the owner waits for messages and has nothing it could handle now.
    bool idle() const { return idle_.load(std::memory_order_acquire); }

    // Timers. setTimer restarts a timer with the same window and id.
    void setTimer(HWND hwnd, UINT_PTR id, UINT periodMs, TIMERPROC proc);
    bool killTimer(HWND hwnd, UINT_PTR id);
    void killTimersOf(HWND hwnd);
    bool hasTimer(HWND hwnd, UINT_PTR id, TIMERPROC proc) const;

    // --- Owner thread ---
    std::uint64_t events() const;
    std::shared_ptr<SentMessage> nextIncoming();
    bool takePosted(MSG& out, const MessageFilter& filter, bool remove);
    void postQuit(int exitCode);
    bool takeQuit(MSG& out, const MessageFilter& filter, bool remove);
    bool takeTimer(MSG& out, const MessageFilter& filter, bool remove, std::uint64_t nowMs);
    // Blocks until something was queued since `seen` was read from events(), or the next timer is due.
    void waitForEvents(std::uint64_t seen);
    // Closes the queue; returns what was still waiting, for the caller to answer.
    std::vector<std::shared_ptr<SentMessage>> close();

    // --- Standing in for the owner ---
    // A thread that sends one of the few messages whose handling never waits for anything (see
    // Messaging.cpp) may handle it itself, in the owner's place, when the owner waits for messages with
    // nothing to handle: lend() then returns true, and the owner stays asleep until giveBack(), so the two
    // never run window code at once. This spares the owner a wake-up, and the sender a sleep, per message.
    bool lend();
    void giveBack();

    // --- The sender's side of a SendMessage (on the sender's own queue) ---
    void complete(SentMessage& item, LRESULT result); // called by the thread that handled the message
    bool waitForReply(const SentMessage& item);       // true when answered, false when a send arrived

    // Per-thread state.
    HWND focus = nullptr;             // guarded by the window lock
    std::array<bool, 256> keysDown{}; // owner thread only

private:
    struct Timer {
        HWND hwnd;
        UINT_PTR id;
        UINT periodMs;
        TIMERPROC proc;
        std::uint64_t dueMs;
    };

    void touchLocked(); // counts an event, clears idle and wakes the owner

    const DWORD threadId_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::shared_ptr<SentMessage>> incoming_;
    std::deque<MSG> posted_;
    std::vector<Timer> timers_;
    bool quit_ = false;
    int quitCode_ = 0;
    bool closed_ = false;
    std::uint64_t events_ = 0;
    std::atomic<bool> idle_{false};
    bool parked_ = false;          // the owner waits in waitForEvents
    std::uint64_t parkedSeen_ = 0; // ... for events after this count
    bool lent_ = false;            // another thread handles a message in the owner's place
    bool turnWanted_ = false;      // the owner has work (a timer) and waits for the turn back
};

} // namespace platform::win
