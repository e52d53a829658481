#include "platform/win/ChangeNotifier.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace platform::win {
namespace {

// How long a waiter sleeps without a change before it looks at its condition again.
constexpr std::chrono::milliseconds kRecheck{50};

struct Notifier {
    std::mutex mutex;
    std::condition_variable cv;
    std::uint64_t generation = 0;
    std::shared_ptr<const std::function<void(const RECT&)>> listener;
};

Notifier& State() {
    static auto* notifier = new Notifier; // never destroyed: threads may report changes during exit
    return *notifier;
}

} // namespace

void NotifyStateChanged() {
    auto& n = State();
    {
        std::lock_guard lock(n.mutex);
        ++n.generation;
    }
    n.cv.notify_all();
}

void NotifyScreenChanged(const RECT& screenRect) {
    auto& n = State();
    std::shared_ptr<const std::function<void(const RECT&)>> listener;
    {
        std::lock_guard lock(n.mutex);
        ++n.generation;
        listener = n.listener;
    }
    n.cv.notify_all();
    if (listener && *listener) {
        (*listener)(screenRect);
    }
}

void SetScreenListener(std::function<void(const RECT&)> listener) {
    auto& n = State();
    auto shared = std::make_shared<const std::function<void(const RECT&)>>(std::move(listener));
    std::lock_guard lock(n.mutex);
    n.listener = std::move(shared);
}

bool WaitForState(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    auto& n = State();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::uint64_t seen = 0;
        {
            std::lock_guard lock(n.mutex);
            seen = n.generation;
        }
        if (condition()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        std::unique_lock lock(n.mutex);
        n.cv.wait_until(lock, std::min(deadline, now + kRecheck), [&] { return n.generation != seen; });
    }
}

} // namespace platform::win
