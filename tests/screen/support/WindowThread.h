// A thread that owns windows for tests: it runs a message loop, and runs given code on itself (as a
// window thread must, for creating and destroying its windows). Its windows go when it ends.
//
// Also a plain window class for tests, "TestPane": a window that paints its client area in one colour
// (the COLORREF kept in GWL_USERDATA) and nothing else.
#pragma once

#include "platform/win/WinApi.h"

#include <functional>
#include <future>
#include <string>
#include <thread>

namespace testing_support {

class WindowThread {
public:
    WindowThread();
    ~WindowThread(); // ends the loop and joins; the thread's windows are removed
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    // Runs `work` on the window thread and waits for it.
    void Run(const std::function<void()>& work);

    // A visible top-level TestPane at `rect` (screen coordinates), painted `color`.
    HWND CreatePane(const RECT& rect, COLORREF color, const std::wstring& caption);

    // Changes a pane's colour and invalidates `rect` of it (nullptr: all).
    void Repaint(HWND pane, COLORREF color, const RECT* rect = nullptr);

    DWORD threadId() const { return threadId_; }

private:
    void Loop(std::promise<DWORD> started);

    DWORD threadId_ = 0;
    std::thread thread_;
};

// The screen's pixels as 0x00RRGGBB, for comparing with frames.
constexpr std::uint32_t PixelOf(COLORREF color) {
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

} // namespace testing_support
