// Threads: exit codes while running and long after, suspended start, windows gone when a thread ends,
// per-thread last error.
#include "TestWindows.h"

#include "platform/win/Clock.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace lwtest;

namespace {

class ThreadTest : public WinTest {};

std::atomic<bool> g_release{false};
std::atomic<bool> g_started{false};
std::atomic<HWND> g_window{nullptr};

DWORD WaitForRelease(LPVOID) {
    g_started = true;
    while (!g_release) {
        Sleep(1);
    }
    return 1234;
}

DWORD MakeWindowAndEnd(LPVOID) {
    g_window = MakeWindow("left", WS_POPUP | WS_VISIBLE);
    return 0;
}

DWORD SetErrorSeven(LPVOID) {
    SetLastError(7);
    return GetLastError();
}

DWORD ReturnZero(LPVOID) {
    return 0;
}

TEST_F(ThreadTest, ExitCodeIsStillActiveWhileRunningAndKeptLongAfter) {
    g_release = false;
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, WaitForRelease, nullptr, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 10), WAIT_TIMEOUT);
    g_release = true;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 1234u);

    // Long after: other threads have come and gone, and a minute of device time has passed.
    for (int i = 0; i < 8; ++i) {
        const HANDLE other = CreateThread(nullptr, 0, ReturnZero, nullptr, 0, nullptr);
        WaitForSingleObject(other, INFINITE);
        CloseHandle(other);
    }
    platform::Clock::SetFactor(2000);
    Sleep(60000);
    platform::Clock::SetFactor(20);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 1234u);

    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_FALSE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(thread));
}

TEST_F(ThreadTest, ASuspendedThreadStartsOnResume) {
    g_release = true;
    g_started = false;
    const HANDLE thread = CreateThread(nullptr, 0, WaitForRelease, nullptr, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    EXPECT_FALSE(g_started.load());
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(g_started.load());
    CloseHandle(thread);
}

TEST_F(ThreadTest, AThreadsWindowsAreGoneWhenItHasEnded) {
    const HANDLE thread = CreateThread(nullptr, 0, MakeWindowAndEnd, nullptr, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_NE(g_window.load(), nullptr);
    EXPECT_FALSE(IsWindow(g_window));
    CloseHandle(thread);
}

TEST_F(ThreadTest, LastErrorBelongsToEachThread) {
    SetLastError(5);
    const HANDLE thread = CreateThread(nullptr, 0, SetErrorSeven, nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(GetLastError(), 5u);
    CloseHandle(thread);
}

} // namespace
