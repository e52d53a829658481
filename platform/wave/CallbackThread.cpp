#include "platform/wave/CallbackThread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/win/Clock.h"

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
    : device_(device), proc_(proc), instance_(instance),
      timerFd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)), thread_([this] { Run(); }) {}

CallbackThread::~CallbackThread() {
    // Normally joined already (JoinRetired). A thread that never got its WIM_CLOSE (a device whose
    // open failed half-way) is told to end without a further callback. The object is never destroyed
    // on its own thread: the retired list, which holds the last reference, skips the calling thread.
    if (thread_.joinable()) {
        Item quit;
        quit.quit = true;
        Push(quit, true);
        thread_.join();
    }
    if (timerFd_ >= 0) {
        close(timerFd_);
    }
}

void CallbackThread::Post(UINT message, DWORD_PTR param1) {
    Item item;
    item.message = message;
    item.param1 = param1;
    Push(item, true);
}

void CallbackThread::Queue(UINT message, DWORD_PTR param1) {
    Item item;
    item.message = message;
    item.param1 = param1;
    Push(item, false);
}

void CallbackThread::WakeUp() {
    wake_.notify_one();
}

void CallbackThread::PostError(WAVEINERRORPROC proc, DWORD_PTR instance, MMRESULT code) {
    Item item;
    item.isError = true;
    item.errorProc = proc;
    item.errorInstance = instance;
    item.code = code;
    Push(item, true);
}

void CallbackThread::Push(Item item, bool wake) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(item);
    }
    if (wake) {
        wake_.notify_one();
    }
}

void CallbackThread::Attach(std::function<bool()> read) {
    {
        std::lock_guard lock(mutex_);
        read_ = std::move(read);
        kicked_ = true;
    }
    wake_.notify_one();
}

void CallbackThread::Kick() {
    {
        std::lock_guard lock(mutex_);
        kicked_ = true;
    }
    wake_.notify_one();
}

void CallbackThread::Detach() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !reading_; }); // a read ends at once: the device woke its source
    read_ = nullptr;
}

bool CallbackThread::Delivering() const {
    return delivering_.load(std::memory_order_acquire);
}

int CallbackThread::StandbyTimer() const {
    return timerFd_;
}

bool CallbackThread::IsCurrentThread() const {
    return thread_.get_id() == std::this_thread::get_id();
}

void CallbackThread::Run() {
    // The thread reads the sound device, which wakes it through the sound server's client thread while
    // that thread still holds its lock. Woken on the same processor, a normal thread would preempt the
    // waker, run into the held lock at once and sleep again, twice per period on both sides. A batch
    // thread does not preempt on waking, so it runs when the waker has let go; a few milliseconds later
    // at most, against a period of 125 ms.
    sched_param batch{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &batch);
    for (;;) {
        Item item;
        bool standby = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !queue_.empty() || (read_ && (!readerIdle_ || kicked_)); });
            if (queue_.empty()) {
                kicked_ = false;
                reading_ = true;
                lock.unlock();
                const bool read = read_(); // Detach waits for this call, so read_ stays as it is
                lock.lock();
                reading_ = false;
                readerIdle_ = !read;
                wake_.notify_all(); // for Detach
                continue;
            }
            item = queue_.front();
            queue_.pop_front();
            standby = static_cast<bool>(read_);
        }
        if (item.quit) {
            return;
        }
        Deliver(item, standby);
        if (!item.isError && item.message == WIM_CLOSE) {
            ended_.store(true, std::memory_order_release);
            return;
        }
    }
}

void CallbackThread::Deliver(const Item& item, bool standby) {
    delivering_.store(true, std::memory_order_release);
    if (standby) {
        ArmStandby(true);
    }
    if (item.isError) {
        if (item.errorProc != nullptr) {
            item.errorProc(device_, item.code, item.errorInstance);
        }
    } else if (proc_ != nullptr) {
        proc_(device_, item.message, instance_, item.param1, 0);
    }
    if (standby) {
        ArmStandby(false);
    }
    delivering_.store(false, std::memory_order_release);
}

void CallbackThread::ArmStandby(bool on) {
    if (timerFd_ < 0) {
        return;
    }
    const auto ns = std::max<std::int64_t>(platform::Clock::ToReal(kStandbyAfterMs).count(), 1000000);
    const timespec every{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    itimerspec setting{};
    if (on) {
        setting.it_interval = every;
        setting.it_value = every;
    }
    timerfd_settime(timerFd_, 0, &setting, nullptr);
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
