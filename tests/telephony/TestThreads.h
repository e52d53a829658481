// The threads and windows around the program's telephony in the tests: a stand-in main window on a
// window thread of its own (published in g_session, counting the ID_CALL_FINISHED it receives), the alarm
// thread that places the call as the program's does and records every status text shown in the call
// window, a start-up thread, and the message boxes the program shows, found and answered as a user would.
#pragma once

#include "platform/win/WinApi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace lullwatch::test {

using namespace std::chrono_literals;

// Generous: only reached when something is broken (sanitizer builds are slow).
constexpr auto kDeadline = 10s;

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kDeadline);

// The main window as far as telephony sees it: a window whose framework object is g_session.mainDialog.
class StandInMainWindow {
public:
    void Start();
    void Stop();
    HWND Hwnd() const { return hwnd_.load(); }
    // WM_COMMAND ID_CALL_FINISHED with lParam 0 received so far; anything else with 1124 counts as
    // malformed.
    int CallsFinished() const { return finished_.load(); }
    int Malformed() const { return malformed_.load(); }
    // Returns once every message posted to the window before the call has been handled.
    void Flush();

private:
    static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Run();

    std::thread thread_;
    std::atomic<HWND> hwnd_{nullptr};
    std::atomic<int> finished_{0};
    std::atomic<int> malformed_{0};
    std::atomic<int> flushes_{0};
};

// The alarm thread: PlaceAlarmCall on a thread of its own. A CBT hook on that thread records every text
// set into the call window's status control, and can run `beforeCallWindow` while the call window is
// being created (before it has initialised), which lets a test deliver events that come too early.
class AlarmThread {
public:
    ~AlarmThread();
    void Start(std::wstring number, HINSTANCE instance, HWND parent,
               std::function<void()> beforeCallWindow = nullptr);
    bool Done() const { return done_.load(); }
    // Waits for PlaceAlarmCall to return and joins; false at the deadline.
    bool Join();

private:
    std::thread thread_;
    std::atomic<bool> done_{false};
};

// Status texts shown since the last Clear, in order (empty texts of the window's creation left out).
struct StatusLog {
    static void Clear();
    static std::vector<std::wstring> Texts();
    static bool WaitForCount(std::size_t count);
};

// Runs TelephonyStartup on a thread of its own (its message boxes block that thread, not the test).
class StartupThread {
public:
    explicit StartupThread(HINSTANCE instance);
    ~StartupThread();
    std::optional<LONG> Result(); // waits up to the deadline

private:
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::atomic<LONG> result_{0};
};

struct BoxSeen {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    UINT type = 0;
    std::uint64_t seenAtMs = 0; // device time when the test first saw it
};

// Waits for a message box other than `except`.
std::optional<BoxSeen> WaitForMessageBox(HWND except = nullptr);
// Answers it and waits until it has gone.
bool Answer(HWND box, int button);
// Answers every message box that is up (a failed test may leave some behind).
void DismissMessageBoxes();

// Registers a copy of the program's call window template (dialog 105) in `instance`.
void RegisterCallDialogTemplate(HINSTANCE instance);

} // namespace lullwatch::test
