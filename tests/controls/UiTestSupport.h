// Helpers for tests that drive windows the way a user does: a window thread of the test's own, waits for
// conditions with a deadline, and input through the desktop's input path.
#pragma once

#include "platform/controls/ControlClasses.h"
#include "platform/win/Desktop.h"
#include "platform/win/WinApi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lullwatch::test {

using namespace std::chrono_literals;

inline constexpr auto kDeadline = 10s;

// Runs `body` on a window thread of its own; the destructor waits for it to end.
class UiThread {
public:
    explicit UiThread(std::function<void()> body) : thread_(std::move(body)) {}
    ~UiThread() { join(); }
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;
    void join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::thread thread_;
};

inline bool Eventually(const std::function<bool()>& condition) {
    return platform::desktop::WaitUntil(condition, kDeadline);
}

inline bool Idle() {
    return platform::desktop::WaitUntilIdle(kDeadline);
}

// The first top-level window (top of the z-order first) whose caption is `caption`, once one is visible.
inline HWND WaitForTopLevel(const std::wstring& caption) {
    HWND found = nullptr;
    Eventually([&] {
        for (const auto& w : platform::desktop::EnumerateTopLevels()) {
            if (w.visible && w.text == caption) {
                found = w.hwnd;
                return true;
            }
        }
        return false;
    });
    return found;
}

inline RECT ScreenRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

inline POINT Centre(HWND hwnd) {
    const RECT r = ScreenRect(hwnd);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

inline void Click(HWND hwnd) {
    platform::desktop::InjectClick(Centre(hwnd));
}

inline void Press(UINT vk) {
    platform::desktop::InjectKey(vk, true);
    platform::desktop::InjectKey(vk, false);
}

inline void Type(const std::wstring& text) {
    for (const wchar_t ch : text) {
        platform::desktop::InjectChar(ch);
    }
}

inline std::wstring TextOf(HWND hwnd) {
    for (const auto& w : platform::desktop::EnumerateTopLevels()) {
        if (w.hwnd == hwnd) {
            return w.text;
        }
        for (const auto& c : platform::desktop::EnumerateChildren(w.hwnd)) {
            if (c.hwnd == hwnd) {
                return c.text;
            }
        }
    }
    return L"";
}

inline bool HasFocus(HWND hwnd) {
    for (const auto& w : platform::desktop::EnumerateTopLevels()) {
        for (const auto& c : platform::desktop::EnumerateChildren(w.hwnd)) {
            if (c.hwnd == hwnd) {
                return c.focused;
            }
        }
    }
    return false;
}

// A thread-safe record of messages, for checking what a window was told.
struct MessageLog {
    struct Entry {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    void add(UINT message, WPARAM wParam, LPARAM lParam) {
        std::lock_guard lock(mutex);
        entries.push_back(Entry{message, wParam, lParam});
    }
    std::size_t count(const std::function<bool(const Entry&)>& match) const {
        std::lock_guard lock(mutex);
        std::size_t n = 0;
        for (const auto& e : entries) {
            n += match(e) ? 1 : 0;
        }
        return n;
    }
    std::size_t commands(WORD id, WORD code = BN_CLICKED) const {
        return count([&](const Entry& e) {
            return e.message == WM_COMMAND && LOWORD(e.wParam) == id && HIWORD(e.wParam) == code;
        });
    }
    mutable std::mutex mutex;
    std::vector<Entry> entries;
};

} // namespace lullwatch::test
