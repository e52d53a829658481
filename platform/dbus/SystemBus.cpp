#include "platform/dbus/SystemBus.h"

#include "platform/dbus/BusError.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <utility>

namespace platform::dbus {
namespace {

using Work = std::function<void(sd_bus* bus)>;

// The instance whose thread this is, on a bus thread: work that calls Get() reaches its own bus even
// while Shutdown drains it.
thread_local SystemBus* t_busOfThread = nullptr;

std::mutex g_instanceMutex;
SystemBus* g_instance = nullptr; // under g_instanceMutex

// Milliseconds until sd-bus's next timeout (an absolute CLOCK_MONOTONIC time in µs), -1 for none.
int PollTimeout(sd_bus* bus) {
    std::uint64_t until = 0;
    if (bus == nullptr || sd_bus_get_timeout(bus, &until) < 0 || until == UINT64_MAX) {
        return -1;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t nowUs =
        static_cast<std::uint64_t>(now.tv_sec) * 1000000U + static_cast<std::uint64_t>(now.tv_nsec) / 1000U;
    if (until <= nowUs) {
        return 0;
    }
    const std::uint64_t ms = (until - nowUs + 999U) / 1000U;
    return ms > 60000U ? 60000 : static_cast<int>(ms);
}

} // namespace

// The queue of work, the wake-up descriptor and the bus thread. `bus` belongs to the bus thread alone.
struct SystemBus::Loop {
    std::mutex mutex; // guards queue, stopping and connectError
    std::deque<Work> queue;
    bool stopping = false;
    std::string connectError;
    int wakeFd = -1;
    sd_bus* bus = nullptr;
    std::thread thread;

    void Wake() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(wakeFd, &one, sizeof one);
    }

    void SetError(std::string text) {
        std::lock_guard lock(mutex);
        connectError = std::move(text);
    }

    void Connect() {
        if (bus != nullptr) {
            return;
        }
        const int r = sd_bus_open_system_with_description(&bus, "lullwatch");
        if (r < 0) {
            bus = nullptr;
            const char* address = getenv("DBUS_SYSTEM_BUS_ADDRESS");
            SetError("cannot connect to the system bus" +
                     (address != nullptr ? std::string(" at ") + address : std::string()) + ": " +
                     DescribeError(nullptr, r));
            return;
        }
        SetError({});
    }

    // Dispatches everything sd-bus has ready; a broken connection is dropped (its pending calls have
    // had their error replies by then) and the next work connects afresh.
    void Process() {
        while (bus != nullptr) {
            const int r = sd_bus_process(bus, nullptr);
            if (r > 0) {
                continue;
            }
            if (r < 0) {
                SetError("the system bus connection was lost: " + DescribeError(nullptr, r));
                std::fprintf(stderr, "lullwatch: the system bus connection was lost (%s)\n",
                             DescribeError(nullptr, r).c_str());
                sd_bus_flush_close_unref(bus);
                bus = nullptr;
            }
            return;
        }
    }

    void WaitForEvents() {
        pollfd fds[2] = {{wakeFd, POLLIN, 0}, {-1, 0, 0}};
        nfds_t count = 1;
        if (bus != nullptr) {
            const int fd = sd_bus_get_fd(bus);
            const int events = sd_bus_get_events(bus);
            if (fd >= 0 && events >= 0) {
                fds[1] = {fd, static_cast<short>(events), 0};
                count = 2;
            }
        }
        poll(fds, count, PollTimeout(bus));
        if (fds[0].revents & POLLIN) {
            std::uint64_t value = 0;
            [[maybe_unused]] const ssize_t n = read(wakeFd, &value, sizeof value);
        }
    }

    void Main(SystemBus* owner) {
        t_busOfThread = owner;
        for (;;) {
            std::deque<Work> batch;
            bool stop = false;
            {
                std::lock_guard lock(mutex);
                batch.swap(queue);
                stop = stopping;
            }
            if (!batch.empty()) {
                Connect();
            }
            for (auto& work : batch) {
                work(bus);
                Process();
            }
            if (stop) {
                break;
            }
            Process();
            WaitForEvents();
        }
        if (bus != nullptr) {
            sd_bus_flush_close_unref(bus);
            bus = nullptr;
        }
    }
};

SystemBus::SystemBus() : loop_(new Loop) {
    loop_->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    loop_->thread = std::thread([loop = loop_, this] { loop->Main(this); });
}

SystemBus::~SystemBus() {
    {
        std::lock_guard lock(loop_->mutex);
        loop_->stopping = true;
    }
    loop_->Wake();
    loop_->thread.join();
    close(loop_->wakeFd);
    delete loop_;
}

SystemBus& SystemBus::Get() {
    if (t_busOfThread != nullptr) {
        return *t_busOfThread;
    }
    std::lock_guard lock(g_instanceMutex);
    if (g_instance == nullptr) {
        // Never destroyed at exit unless Shutdown is called: users may still post while the process ends.
        g_instance = new SystemBus;
    }
    return *g_instance;
}

void SystemBus::Shutdown() {
    SystemBus* instance = nullptr;
    {
        std::lock_guard lock(g_instanceMutex);
        std::swap(instance, g_instance);
    }
    delete instance;
}

void SystemBus::Post(Work work) {
    {
        std::lock_guard lock(loop_->mutex);
        loop_->queue.push_back(std::move(work));
    }
    loop_->Wake();
}

void SystemBus::Run(Work work) {
    if (t_busOfThread == this) {
        work(loop_->bus);
        return;
    }
    std::promise<void> done;
    auto finished = done.get_future();
    Post([&work, &done](sd_bus* bus) {
        work(bus);
        done.set_value();
    });
    finished.wait();
}

std::string SystemBus::ConnectError() {
    std::lock_guard lock(loop_->mutex);
    return loop_->connectError;
}

} // namespace platform::dbus
