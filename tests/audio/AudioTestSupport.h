// What the capture and detector tests share: a level meter on a window thread of its own with a real
// message loop (which can be made slow, or held inside its PBM_SETPOS handler), the message boxes that
// capture shows, the simulated microphone, and a fixture that sets all of it up around each test.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/afx/Afx.h"
#include "platform/wave/WaveService.h"

namespace audiotest {

using namespace std::chrono_literals;

// Long enough for a loaded machine under ThreadSanitizer; conditions normally hold in milliseconds.
constexpr auto kDeadline = 30s;
// The device clock runs this many times faster than real time in these tests.
constexpr double kClockFactor = 10.0;

// Polls `condition` until it holds; false at the deadline.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = kDeadline);

// A gate that one thread waits at until another opens it.
class Gate {
public:
    void Arrive();         // marks the arrival and waits until opened
    bool WaitForArrival(); // false at the deadline
    bool Arrived();
    void Open();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool arrived_ = false;
    bool open_ = false;
};

// The progress bar of the meter window: every PBM_SETPOS is recorded before it reaches the control.
class TestMeter : public CProgressCtrl {
public:
    struct SetPos {
        int position;
        DWORD threadId; // the thread that handled it
    };
    std::vector<SetPos> Log() const;
    std::size_t Count() const;

    // Runs in the handler of each PBM_SETPOS, on the window thread, before the delay and the hold.
    std::function<void(int position)> onSetPos;
    // Every PBM_SETPOS takes at least this long: a deliberately slow window thread.
    std::atomic<int> delayMicroseconds{0};
    // When set, the next PBM_SETPOS waits at this gate (the gate is then cleared).
    std::shared_ptr<Gate> holdNext;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    mutable std::mutex mutex_;
    std::vector<SetPos> log_;
};

// A top-level window with the meter as its child, on a window thread of its own that runs a message
// loop. The window is published as g_session.mainDialog and the meter as g_session.levelMeter for the
// object's life. Destroy it only once capture has been stopped.
class MeterWindow {
public:
    MeterWindow();
    ~MeterWindow();
    MeterWindow(const MeterWindow&) = delete;
    MeterWindow& operator=(const MeterWindow&) = delete;

    // Runs `task` on the window thread from its message loop (or from any modal loop it runs then).
    std::future<void> Post(std::function<void()> task);
    // Runs `task` on the window thread and waits for it; `task` must not need the calling thread.
    void Run(std::function<void()> task);

    // Waits until the meter has been set `count` times in all.
    bool WaitForCount(std::size_t count);
    // Waits until the meter has been set to `position` after the first `from` updates.
    bool WaitForPosition(int position, std::size_t from = 0);

    TestMeter& meter() { return meter_; }
    HWND Window() const { return window_; }
    DWORD ThreadId() const { return threadId_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    TestMeter meter_;
    CDialog main_;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
};

// A message box that is up.
struct Box {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
    UINT type = 0;
    DWORD threadId = 0;
};
// Waits for a message box to be up; nullopt at the deadline.
std::optional<Box> WaitForBox();
// Presses OK on `box` and waits until it has gone.
void Answer(const Box& box);
// The box that is up now, if any.
std::optional<Box> CurrentBox();
// Waits for a box, checks that it says `text` under "Microphone error" with the capture's style, and
// answers it. The box's thread, or 0 when no box came.
DWORD ExpectMicrophoneError(const std::wstring& text);

// The changes of the microphone's indicator while the object lives: the detail when it is raised (or
// reworded), "" when it is cleared.
class MicrophoneLog {
public:
    MicrophoneLog();
    ~MicrophoneLog();
    MicrophoneLog(const MicrophoneLog&) = delete;
    MicrophoneLog& operator=(const MicrophoneLog&) = delete;

    std::vector<std::string> Changes() const;
    // Waits until the indicator has been raised with a detail starting with `detail` and cleared after.
    bool WaitForRaisedThenCleared(const std::string& detail);
    // How many times it has been cleared.
    std::size_t Clears() const;

private:
    struct Changes_ {
        std::mutex mutex;
        std::vector<std::string> changes;
    };
    // Shared with the listener, which may still be running on another thread when this object goes.
    std::shared_ptr<Changes_> log_ = std::make_shared<Changes_>();
    int listener_ = 0;
};

// What the simulated microphone hears from now on: "silence", "tone 440 100", "noise 50".
void Hear(const std::string& generatorWords);
platform::wave::DeviceState Device();
void FailNext(platform::wave::WaveCall call, MMRESULT code);
void FailAlways(platform::wave::WaveCall call, MMRESULT code);

// Each test starts with the settings' defaults, a silent microphone, no faults, capture stopped, the
// alarm disarmed, the device clock sped up and a fresh meter window; it ends with capture stopped and
// every box answered.
class CaptureFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts capture on the window thread, as the main window does; returns when StartCapture has.
    void StartOnWindowThread();
    // Starts capture on the window thread and returns at once (for starts that show a box).
    std::future<void> BeginStartOnWindowThread();

    std::unique_ptr<MeterWindow> window;
};

} // namespace audiotest
