#include "platform/wave/CallbackThread.h"

#include <algorithm>
#include <vector>

namespace platform::wave {
namespace {

struct RetiredList {
    std::mutex mutex;
    std::vector<std::shared_ptr<CallbackThread>> threads;
};

RetiredList& Retired() {
    static RetiredList list;
    return list;
}

} // namespace

CallbackThread::CallbackThread(HWAVEIN device, WAVEINPROC proc, DWORD_PTR instance)
    : device_(device), proc_(proc), instance_(instance), thread_([this] { Run(); }) {}

CallbackThread::~CallbackThread() {
    // Normally joined already (JoinRetired). A thread that never got its WIM_CLOSE (a device whose
    // open failed half-way) is told to end without a further callback. The object is never destroyed
    // on its own thread: the retired list, which holds the last reference, skips the calling thread.
    if (thread_.joinable()) {
        Item quit;
        quit.quit = true;
        Push(quit);
        thread_.join();
    }
}

void CallbackThread::Post(UINT message, DWORD_PTR param1) {
    Item item;
    item.message = message;
    item.param1 = param1;
    Push(item);
}

void CallbackThread::PostError(WAVEINERRORPROC proc, DWORD_PTR instance, MMRESULT code) {
    Item item;
    item.isError = true;
    item.errorProc = proc;
    item.errorInstance = instance;
    item.code = code;
    Push(item);
}

void CallbackThread::Push(Item item) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(item);
    }
    wake_.notify_one();
}

bool CallbackThread::IsCurrentThread() const {
    return thread_.get_id() == std::this_thread::get_id();
}

void CallbackThread::Run() {
    for (;;) {
        Item item;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !queue_.empty(); });
            item = queue_.front();
            queue_.pop_front();
        }
        if (item.quit) {
            return;
        }
        if (item.isError) {
            if (item.errorProc != nullptr) {
                item.errorProc(device_, item.code, item.errorInstance);
            }
            continue;
        }
        if (proc_ != nullptr) {
            proc_(device_, item.message, instance_, item.param1, 0);
        }
        if (item.message == WIM_CLOSE) {
            ended_.store(true, std::memory_order_release);
            return;
        }
    }
}

void CallbackThread::Retire(std::shared_ptr<CallbackThread> thread) {
    auto& r = Retired();
    std::lock_guard lock(r.mutex);
    r.threads.push_back(std::move(thread));
}

void CallbackThread::JoinRetired(bool wait) {
    // Take the threads to join out of the list first: joining happens without the list's lock, so a
    // callback that closes another device (and retires its thread) meanwhile cannot block on it.
    std::vector<std::shared_ptr<CallbackThread>> toJoin;
    {
        auto& r = Retired();
        std::lock_guard lock(r.mutex);
        auto keep = std::partition(r.threads.begin(), r.threads.end(), [wait](const auto& t) {
            return t->IsCurrentThread() || !(wait || t->ended_.load(std::memory_order_acquire));
        });
        toJoin.assign(std::make_move_iterator(keep), std::make_move_iterator(r.threads.end()));
        r.threads.erase(keep, r.threads.end());
    }
    for (auto& t : toJoin) {
        t->thread_.join();
    }
}

} // namespace platform::wave
