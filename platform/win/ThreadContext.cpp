#include "platform/win/ThreadContext.h"

#include "platform/win/Hooks.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WindowLifecycle.h"

#include <atomic>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace platform::win {
namespace {

std::atomic<DWORD> g_nextThreadId{0x100};

struct QueueDirectory {
    std::mutex mutex;
    std::unordered_map<DWORD, std::weak_ptr<MessageQueue>> queues;
};

QueueDirectory& Directory() {
    static auto* directory = new QueueDirectory; // never destroyed: threads end after static destruction
    return *directory;
}

struct ThreadContext {
    DWORD id = 0;
    std::shared_ptr<MessageQueue> queue;
    bool ended = false;
    DWORD lastError = 0;

    ~ThreadContext() { EndCurrentThread(); }
};

thread_local ThreadContext t_context;

} // namespace

DWORD ReserveThreadId() {
    return g_nextThreadId.fetch_add(1, std::memory_order_relaxed);
}

void AdoptThreadId(DWORD id) {
    t_context.id = id;
}

DWORD CurrentThreadId() {
    if (t_context.id == 0) {
        t_context.id = ReserveThreadId();
    }
    return t_context.id;
}

std::shared_ptr<MessageQueue> CurrentQueue() {
    if (!t_context.queue) {
        auto queue = std::make_shared<MessageQueue>(CurrentThreadId());
        auto& d = Directory();
        {
            std::lock_guard lock(d.mutex);
            d.queues[queue->threadId()] = queue;
        }
        t_context.queue = std::move(queue);
    }
    return t_context.queue;
}

std::shared_ptr<MessageQueue> CurrentQueueIfAny() {
    return t_context.queue;
}

std::shared_ptr<MessageQueue> QueueOfThread(DWORD threadId) {
    auto& d = Directory();
    std::lock_guard lock(d.mutex);
    const auto it = d.queues.find(threadId);
    return it == d.queues.end() ? nullptr : it->second.lock();
}

bool IsCurrentThread(const MessageQueue& queue) {
    return queue.threadId() == CurrentThreadId();
}

void EndCurrentThread() {
    if (t_context.ended || !t_context.queue) {
        return;
    }
    t_context.ended = true;
    const auto queue = t_context.queue;
    for (const auto& item : queue->close()) {
        if (item->sender) {
            item->sender->complete(*item, 0);
        }
    }
    RemoveWindowsOfThread(*queue);
    RemoveHooksOfThread(queue->threadId());
    auto& d = Directory();
    std::lock_guard lock(d.mutex);
    d.queues.erase(queue->threadId());
}

DWORD& LastErrorSlot() {
    return t_context.lastError;
}

StandIn::StandIn(const std::shared_ptr<MessageQueue>& queue)
    : id_(t_context.id), queue_(std::exchange(t_context.queue, queue)) {
    t_context.id = queue->threadId();
}

StandIn::~StandIn() {
    t_context.id = id_;
    t_context.queue = std::move(queue_);
}

} // namespace platform::win
