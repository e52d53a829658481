// The display's power state, SetSystemPowerState and SystemIdleTimerReset.
#include "platform/shell/Power.h"

#include "platform/shell/PowerApi.h"

#include <atomic>
#include <mutex>

namespace platform::shell {
namespace {

struct DisplayState {
    std::mutex mutex; // guards on (for its changes) and the listener
    std::atomic<bool> on{true};
    DisplayListener listener;
};

DisplayState& Display() {
    static auto* state = new DisplayState; // threads may still change it while the process exits
    return *state;
}

std::atomic<std::int64_t> g_lastResetTicks{0}; // steady_clock ticks; 0 = never
std::atomic<std::uint64_t> g_resetCount{0};

} // namespace

bool IsDisplayOn() {
    return Display().on.load(std::memory_order_acquire);
}

void SetDisplayOn(bool on) {
    auto& d = Display();
    DisplayListener listener;
    {
        std::lock_guard lock(d.mutex);
        if (d.on.load(std::memory_order_relaxed) == on) {
            return;
        }
        d.on.store(on, std::memory_order_release);
        listener = d.listener;
    }
    if (listener) {
        listener(on);
    }
}

void SetDisplayListener(DisplayListener listener) {
    auto& d = Display();
    std::lock_guard lock(d.mutex);
    d.listener = std::move(listener);
}

std::optional<std::chrono::steady_clock::time_point> LastIdleTimerReset() {
    const std::int64_t ticks = g_lastResetTicks.load(std::memory_order_relaxed);
    if (ticks == 0) {
        return std::nullopt;
    }
    return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(ticks));
}

std::uint64_t IdleTimerResetCount() {
    return g_resetCount.load(std::memory_order_relaxed);
}

} // namespace platform::shell

DWORD SetSystemPowerState(LPCWSTR, DWORD StateFlags, DWORD) {
    if (StateFlags & POWER_STATE_IDLE) {
        platform::shell::SetDisplayOn(false);
        return ERROR_SUCCESS;
    }
    if (StateFlags & POWER_STATE_ON) {
        platform::shell::SetDisplayOn(true);
        return ERROR_SUCCESS;
    }
    return ERROR_NOT_SUPPORTED;
}

void SystemIdleTimerReset() {
    using platform::shell::g_lastResetTicks;
    g_lastResetTicks.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                           std::memory_order_relaxed);
    platform::shell::g_resetCount.fetch_add(1, std::memory_order_relaxed);
}
