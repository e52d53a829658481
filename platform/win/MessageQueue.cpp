#include "platform/win/MessageQueue.h"

#include "platform/win/ChangeNotifier.h"
#include "platform/win/Clock.h"

#include <algorithm>
#include <chrono>

namespace platform::win {
namespace {

// The longest a thread with a timer sleeps without looking again: timer deadlines are real times derived
// from the device clock, whose speed may change while the thread waits. A thread without timers sleeps
// until an event comes.
constexpr std::chrono::milliseconds kLongestWait{100};

} // namespace

void MessageQueue::touchLocked() {
    ++events_;
    idle_.store(false, std::memory_order_release);
    cv_.notify_all();
}

bool MessageQueue::post(const MSG& msg) {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return false;
    }
    posted_.push_back(msg);
    touchLocked();
    return true;
}

bool MessageQueue::send(const std::shared_ptr<SentMessage>& item) {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return false;
    }
    incoming_.push_back(item);
    touchLocked();
    return true;
}

void MessageQueue::wake() {
    std::lock_guard lock(mutex_);
    touchLocked();
}

bool MessageQueue::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

void MessageQueue::setTimer(HWND hwnd, UINT_PTR id, UINT periodMs, TIMERPROC proc) {
    const std::uint64_t due = Clock::NowMs() + periodMs;
    std::lock_guard lock(mutex_);
    if (closed_) {
        return;
    }
    const auto it = std::find_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it != timers_.end()) {
        *it = Timer{hwnd, id, periodMs, proc, due};
    } else {
        timers_.push_back(Timer{hwnd, id, periodMs, proc, due});
    }
    touchLocked(); // the owner may be waiting for a later deadline
}

bool MessageQueue::killTimer(HWND hwnd, UINT_PTR id) {
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers_.end()) {
        return false;
    }
    timers_.erase(it);
    return true;
}

void MessageQueue::killTimersOf(HWND hwnd) {
    std::lock_guard lock(mutex_);
    std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
}

bool MessageQueue::hasTimer(HWND hwnd, UINT_PTR id, TIMERPROC proc) const {
    std::lock_guard lock(mutex_);
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.hwnd == hwnd && t.id == id && t.proc == proc; });
}

std::uint64_t MessageQueue::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::shared_ptr<SentMessage> MessageQueue::nextIncoming() {
    std::lock_guard lock(mutex_);
    if (incoming_.empty()) {
        return nullptr;
    }
    auto item = std::move(incoming_.front());
    incoming_.pop_front();
    return item;
}

bool MessageQueue::takePosted(MSG& out, const MessageFilter& filter, bool remove) {
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(posted_.begin(), posted_.end(),
                                 [&](const MSG& m) { return filter.accepts(m.hwnd, m.message); });
    if (it == posted_.end()) {
        return false;
    }
    out = *it;
    if (remove) {
        posted_.erase(it);
    }
    return true;
}

void MessageQueue::postQuit(int exitCode) {
    std::lock_guard lock(mutex_);
    quit_ = true;
    quitCode_ = exitCode;
    touchLocked();
}

bool MessageQueue::takeQuit(MSG& out, const MessageFilter& filter, bool remove) {
    std::lock_guard lock(mutex_);
    if (!quit_ || !filter.acceptsMessage(WM_QUIT)) {
        return false;
    }
    out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode_), 0, 0, POINT{0, 0}};
    if (remove) {
        quit_ = false;
    }
    return true;
}

bool MessageQueue::takeTimer(MSG& out, const MessageFilter& filter, bool remove, std::uint64_t nowMs) {
    std::lock_guard lock(mutex_);
    if (!filter.acceptsMessage(WM_TIMER)) {
        return false;
    }
    Timer* next = nullptr;
    for (auto& t : timers_) {
        if (t.dueMs <= nowMs && filter.acceptsWindow(t.hwnd) && (!next || t.dueMs < next->dueMs)) {
            next = &t;
        }
    }
    if (!next) {
        return false;
    }
    out = MSG{next->hwnd, WM_TIMER, next->id, reinterpret_cast<LPARAM>(next->proc), static_cast<DWORD>(nowMs),
              POINT{0, 0}};
    if (remove) {
        next->dueMs = nowMs + next->periodMs; // one message however many periods went by, as on the device
    }
    return true;
}

void MessageQueue::waitForEvents(std::uint64_t seen) {
    std::unique_lock lock(mutex_);
    if (events_ != seen || !incoming_.empty()) {
        return;
    }
    // Parked before it says it is idle: whoever sees the thread idle may stand in for it at once.
    parked_ = true;
    parkedSeen_ = seen;
    if (!idle_.exchange(true, std::memory_order_acq_rel)) {
        lock.unlock();
        NotifyStateChanged(); // someone may wait for this thread to become idle
        lock.lock();
    }
    std::uint64_t firstDue = UINT64_MAX;
    for (const auto& t : timers_) {
        firstDue = std::min(firstDue, t.dueMs);
    }
    // Whatever happens, the owner goes on only once a thread standing in for it has given the turn back.
    const auto woken = [&] { return events_ != seen && !lent_; };
    if (firstDue == UINT64_MAX) {
        // No timer: only an event can give this thread work, so it sleeps until one comes.
        cv_.wait(lock, woken);
    } else {
        const auto deadline =
            std::min(std::chrono::steady_clock::now() + kLongestWait, Clock::RealTimeAt(firstDue));
        cv_.wait_until(lock, deadline, woken);
        if (lent_) { // the timer fell due while another thread stands in for this one
            turnWanted_ = true;
            cv_.wait(lock, [&] { return !lent_; });
            turnWanted_ = false;
        }
        if (events_ == seen && Clock::NowMs() >= firstDue) {
            idle_.store(false, std::memory_order_release); // a timer is due: there is work again
        }
    }
    parked_ = false;
}

bool MessageQueue::lend() {
    std::lock_guard lock(mutex_);
    if (!parked_ || lent_ || closed_ || events_ != parkedSeen_ || !incoming_.empty()) {
        return false;
    }
    lent_ = true;
    idle_.store(false, std::memory_order_release); // the thread is at work, if on another's behalf
    return true;
}

void MessageQueue::giveBack() {
    bool idleAgain = false;
    {
        std::lock_guard lock(mutex_);
        lent_ = false;
        if (events_ != parkedSeen_ || turnWanted_) {
            cv_.notify_all(); // the message left work for the owner (a repaint, say), or a timer fell due
        } else {
            idleAgain = true;
            idle_.store(true, std::memory_order_release);
        }
    }
    if (idleAgain) {
        NotifyStateChanged(); // as when the owner itself goes back to waiting
    }
}

std::vector<std::shared_ptr<SentMessage>> MessageQueue::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    std::vector<std::shared_ptr<SentMessage>> pending(incoming_.begin(), incoming_.end());
    incoming_.clear();
    posted_.clear();
    timers_.clear();
    idle_.store(false, std::memory_order_release);
    return pending;
}

void MessageQueue::complete(SentMessage& item, LRESULT result) {
    std::lock_guard lock(mutex_);
    item.result = result;
    item.done = true;
    cv_.notify_all();
}

bool MessageQueue::waitForReply(const SentMessage& item) {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return item.done || !incoming_.empty(); });
    return item.done;
}

} // namespace platform::win
