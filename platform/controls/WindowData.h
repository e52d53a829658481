// The private state that a control keeps per window, outside the window manager.
//
// State is made on first use and dropped when the window goes (Drop on WM_NCDESTROY). Windows that
// vanish without messages (their thread ended) are swept out the next time state is made, so nothing
// outlives the table. The table itself is shared by all threads; the state of one window is used only by
// that window's own thread, which is where its window procedure runs. Of() hands out shared ownership,
// so a procedure that destroys its own window while it runs keeps valid state until it returns.
#pragma once

#include "platform/win/WinApi.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform::controls {

template <typename State> class WindowData {
public:
    std::shared_ptr<State> Of(HWND hwnd) {
        std::lock_guard lock(mutex_);
        auto it = states_.find(hwnd);
        if (it != states_.end()) {
            return it->second;
        }
        if (++madeSinceSweep_ >= kSweepEvery) {
            madeSinceSweep_ = 0;
            std::erase_if(states_, [](const auto& entry) { return !IsWindow(entry.first); });
        }
        auto state = std::make_shared<State>();
        states_.emplace(hwnd, state);
        return state;
    }

    void Drop(HWND hwnd) {
        std::lock_guard lock(mutex_);
        states_.erase(hwnd);
    }

private:
    static constexpr std::size_t kSweepEvery = 32;

    std::mutex mutex_;
    std::unordered_map<HWND, std::shared_ptr<State>> states_;
    std::size_t madeSinceSweep_ = 0;
};

} // namespace platform::controls
