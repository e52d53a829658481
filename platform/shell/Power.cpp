// The display's power state, SetSystemPowerState, SystemIdleTimerReset and PowerPolicyNotify.
#include "platform/shell/Power.h"

#include "platform/shell/PowerApi.h"
#include "platform/shell/SleepInhibitor.h"

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

struct UnattendedState {
    std::mutex mutex; // guards requests and the listener
    unsigned requests = 0;
    UnattendedListener listener;
};

UnattendedState& Unattended() {
    static auto* state = new UnattendedState;
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

bool IsUnattendedMode() {
    auto& u = Unattended();
    std::lock_guard lock(u.mutex);
    return u.requests > 0;
}

void SetUnattendedListener(UnattendedListener listener) {
    auto& u = Unattended();
    std::lock_guard lock(u.mutex);
    u.listener = std::move(listener);
}

// Counts a request made (`hold`) or given back; tells the listener when the mode comes or goes.
void ChangeUnattended(bool hold) {
    auto& u = Unattended();
    UnattendedListener listener;
    bool held = false;
    {
        std::lock_guard lock(u.mutex);
        const bool before = u.requests > 0;
        if (hold) {
            ++u.requests;
        } else if (u.requests > 0) {
            --u.requests;
        }
        held = u.requests > 0;
        if (held == before) {
            return;
        }
        listener = u.listener;
    }
    if (listener) {
        listener(held);
    }
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

BOOL PowerPolicyNotify(DWORD dwMessage, DWORD dwData) {
    if (dwMessage == PPN_UNATTENDEDMODE) {
        platform::shell::ChangeUnattended(dwData != FALSE);
        if (dwData != FALSE) {
            platform::shell::AcquireSleepInhibitor();
        } else {
            platform::shell::ReleaseSleepInhibitor();
        }
    }
    return TRUE;
}
