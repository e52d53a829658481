#include "platform/tapi/EventThread.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform::tapi {

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
    bool stopping = false;
    std::thread thread;
    std::thread::id threadId;

    void Run() {
        for (;;) {
            Queued next;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return stopping || !queue.empty(); });
                if (stopping) {
                    return;
                }
                next = queue.front();
                queue.pop_front();
            }
            if (next.subject.kind != MessageSubject::Kind::None && !stillValid(next.subject)) {
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

void EventThread::Stop() {
    std::thread thread;
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        state_->queue.clear();
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
