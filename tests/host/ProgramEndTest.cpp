// Ending the program from outside: the main window gets the OK command, and a program that does not end
// within its grace period is ended with exit code 3.
#include "platform/host/ProgramEnd.h"
#include "platform/win/Desktop.h"
#include "support/WindowThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> g_bottomCommand{0};
std::atomic<int> g_topCommand{0};

LRESULT RecordingProc(std::atomic<int>& into, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) {
        into = LOWORD(wParam);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}
LRESULT BottomProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return RecordingProc(g_bottomCommand, h, m, w, l);
}
LRESULT TopProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return RecordingProc(g_topCommand, h, m, w, l);
}

HWND Make(testing_support::WindowThread& thread, const wchar_t* className, WNDPROC proc) {
    WNDCLASS wc{};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = className;
    RegisterClass(&wc);
    HWND hwnd = nullptr;
    thread.Run([&] {
        hwnd = CreateWindowEx(0, className, L"", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr,
                              nullptr, nullptr);
    });
    return hwnd;
}

TEST(ProgramEndTest, TheMainWindowGetsTheOkCommand) {
    testing_support::WindowThread thread;
    Make(thread, L"EndBottom", BottomProc);
    Make(thread, L"EndTop", TopProc); // above it, but not modal: left alone
    platform::host::CloseProgramWindows();
    EXPECT_TRUE(
        platform::desktop::WaitUntil([] { return g_bottomCommand == IDOK; }, std::chrono::seconds(10)));
    EXPECT_EQ(g_topCommand, 0);
}

TEST(ProgramEndDeathTest, AProgramThatDoesNotEndIsEnded) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            platform::host::ProgramEnd end("device", std::chrono::milliseconds(50));
            end.Request("asked to");
            std::this_thread::sleep_for(std::chrono::seconds(30));
        },
        ::testing::ExitedWithCode(3), "did not end within");
}

TEST(ProgramEndTest, AProgramThatEndsInTimeIsLeftAlone) {
    platform::host::ProgramEnd end("device", std::chrono::milliseconds(50));
    end.Request("asked to");
    EXPECT_TRUE(end.Requested());
    end.Finished();
} // no exit: the destructor returns once the watchdog has stood down

} // namespace
