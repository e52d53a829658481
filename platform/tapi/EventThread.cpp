#include "platform/tapi/EventThread.h"

#include "platform/win/Clock.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace platform::tapi {
namespace {

// A wait for a timed task never lasts longer than this (real time), so that a change of the clock's
// speed factor is noticed.
constexpr auto kLongestTimedWait = std::chrono::milliseconds(50);

} // namespace

struct EventThread::State {
    struct Queued {
        LineMessage message;
        MessageSubject subject;
    };

    LINECALLBACK callback;
    SubjectCheck stillValid;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Queued> queue;
    std::multimap<std::uint64_t, std::function<void()>> timed; // by device time
    bool stopping = false;
    std::thread thread;
    std::thread::id threadId;

    // Waits for a message or a due timed task. Returns false when stopping; else either `next` is set
    // (true in *isMessage) or `task` holds the due task.
    bool Take(Queued* next, std::function<void()>* task, bool* isMessage) {
        std::unique_lock lock(mutex);
        for (;;) {
            if (stopping) {
                return false;
            }
            if (!queue.empty()) {
                *next = queue.front();
                queue.pop_front();
                *isMessage = true;
                return true;
            }
            if (timed.empty()) {
                wake.wait(lock);
                continue;
            }
            const auto first = timed.begin();
            if (Clock::NowMs() >= first->first) {
                *task = std::move(first->second);
                timed.erase(first);
                *isMessage = false;
                return true;
            }
            const auto now = std::chrono::steady_clock::now();
            wake.wait_until(lock, std::min(Clock::RealTimeAt(first->first), now + kLongestTimedWait));
        }
    }

    void Run() {
        for (;;) {
            Queued next;
            std::function<void()> task;
            bool isMessage = false;
            if (!Take(&next, &task, &isMessage)) {
                return;
            }
            if (isMessage && next.subject.kind != MessageSubject::Kind::None && !stillValid(next.subject)) {
                continue;
            }
            // A Stop that came in after the message was taken must still win: check once more, holding
            // the lock only for the check. Stop waits for the callback (join), so nothing starts after it.
            {
                std::lock_guard lock(mutex);
                if (stopping) {
                    return;
                }
            }
            if (!isMessage) {
                task();
                continue;
            }
            const LineMessage& m = next.message;
            callback(m.device, m.message, m.instance, m.param1, m.param2, m.param3);
        }
    }
};

EventThread::EventThread(LINECALLBACK callback, SubjectCheck stillValid) : state_(std::make_shared<State>()) {
    state_->callback = callback;
    state_->stillValid = std::move(stillValid);
    std::lock_guard lock(state_->mutex);
    // The thread keeps the state alive by itself, so that a thread stopped from its own callback can
    // finish after this object is gone.
    state_->thread = std::thread([state = state_] { state->Run(); });
    state_->threadId = state_->thread.get_id();
}

EventThread::~EventThread() {
    Stop();
}

void EventThread::Post(const LineMessage& message, MessageSubject subject) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->stopping) {
            return;
        }
        state_->queue.push_back({message, subject});
    }
    state_->wake.notify_one();
}

void EventThread::PostAt(std::uint64_t deviceMs, std::function<void()> task) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->stopping) {
            return;
        }
        state_->timed.emplace(deviceMs, std::move(task));
    }
    state_->wake.notify_one();
}

void EventThread::Stop() {
    std::thread thread;
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        state_->queue.clear();
        state_->timed.clear();
        thread = std::move(state_->thread);
    }
    state_->wake.notify_one();
    if (!thread.joinable()) {
        return;
    }
    if (thread.get_id() == std::this_thread::get_id()) {
        thread.detach();
    } else {
        thread.join();
    }
}

bool EventThread::IsEventThread() const {
    std::lock_guard lock(state_->mutex);
    return state_->threadId == std::this_thread::get_id();
}

} // namespace platform::tapi
