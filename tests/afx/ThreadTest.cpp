// AfxBeginThread: the thread's handle answers STILL_ACTIVE while it runs and its exit code afterwards,
// for as long as the caller keeps the object.
#include "tests/afx/AfxTestSupport.h"

#include <condition_variable>
#include <memory>

namespace lullwatch::test {
namespace {

struct Gate {
    std::mutex mutex;
    std::condition_variable cv;
    bool open = false;
    bool entered = false;
};

UINT WaitAtGate(LPVOID param) {
    auto* gate = static_cast<Gate*>(param);
    std::unique_lock lock(gate->mutex);
    gate->entered = true;
    gate->cv.notify_all();
    gate->cv.wait(lock, [&] { return gate->open; });
    return 17;
}

UINT ReturnParam(LPVOID param) {
    return static_cast<UINT>(reinterpret_cast<std::uintptr_t>(param));
}

DWORD ExitCode(const CWinThread& thread) {
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread.m_hThread, &code));
    return code;
}

bool Finished(const CWinThread& thread) {
    return ExitCode(thread) != STILL_ACTIVE;
}

TEST(AfxBeginThread, StillActiveWhileRunningThenTheExitCodeLongAfter) {
    Gate gate;
    const std::unique_ptr<CWinThread> thread(AfxBeginThread(WaitAtGate, &gate));
    ASSERT_NE(thread, nullptr);
    EXPECT_FALSE(thread->m_bAutoDelete);
    {
        std::unique_lock lock(gate.mutex);
        gate.cv.wait(lock, [&] { return gate.entered; });
    }
    EXPECT_EQ(ExitCode(*thread), STILL_ACTIVE);
    {
        std::lock_guard lock(gate.mutex);
        gate.open = true;
    }
    gate.cv.notify_all();
    ASSERT_TRUE(Eventually([&] { return Finished(*thread); }));
    EXPECT_EQ(ExitCode(*thread), 17u);

    // Other threads come and go; the record still answers.
    for (std::uintptr_t i = 1; i <= 3; ++i) {
        const std::unique_ptr<CWinThread> other(
            AfxBeginThread(ReturnParam, reinterpret_cast<LPVOID>(i), THREAD_PRIORITY_NORMAL, 0, 0, nullptr));
        ASSERT_TRUE(Eventually([&] { return Finished(*other); }));
        EXPECT_EQ(ExitCode(*other), i);
    }
    EXPECT_EQ(ExitCode(*thread), 17u);
}

TEST(AfxBeginThread, SuspendedThreadRunsOnlyAfterResume) {
    std::atomic<bool> ran{false};
    const std::unique_ptr<CWinThread> thread(AfxBeginThread(
        [](LPVOID p) -> UINT {
            static_cast<std::atomic<bool>*>(p)->store(true);
            return 3;
        },
        &ran, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(ExitCode(*thread), STILL_ACTIVE);
    EXPECT_FALSE(ran.load());
    thread->ResumeThread();
    ASSERT_TRUE(Eventually([&] { return Finished(*thread); }));
    EXPECT_TRUE(ran.load());
    EXPECT_EQ(ExitCode(*thread), 3u);
}

TEST(AfxBeginThread, NoProcedureNoThread) {
    EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
}

} // namespace
} // namespace lullwatch::test
