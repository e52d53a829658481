// Timers: they run from whatever loop their thread runs, a modal dialog's included; re-setting an id
// restarts it; KillTimer is harmless without a timer; without a procedure WM_TIMER reaches the window.
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

using namespace lwtest;

namespace {

class TimerTest : public WinTest {};

struct Tick {
    HWND hwnd;
    UINT msg;
    UINT_PTR id;
    DWORD time;
};
std::mutex g_mutex;
std::vector<Tick> g_ticks;
std::atomic<HWND> g_dialogToEnd{nullptr};
std::atomic<DWORD> g_restartedAt{0};

std::vector<Tick> Ticks(UINT_PTR id) {
    std::lock_guard lock(g_mutex);
    std::vector<Tick> out;
    for (const auto& t : g_ticks) {
        if (t.id == id) {
            out.push_back(t);
        }
    }
    return out;
}

void RecordTick(HWND hwnd, UINT msg, UINT_PTR id, DWORD time) {
    std::lock_guard lock(g_mutex);
    g_ticks.push_back(Tick{hwnd, msg, id, time});
}

void TickThenEndDialog(HWND hwnd, UINT msg, UINT_PTR id, DWORD time) {
    RecordTick(hwnd, msg, id, time);
    if (Ticks(id).size() == 3) {
        EndDialog(g_dialogToEnd, 55);
    }
}

void RestartTimerTwo(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    g_restartedAt = GetTickCount();
    SetTimer(hwnd, 2, 1000, RecordTick);
}

void ClearTicks() {
    std::lock_guard lock(g_mutex);
    g_ticks.clear();
}

// Pumps this thread's messages until `done` holds.
void PumpUntil(const std::function<bool()>& done) {
    const DWORD giveUp = GetTickCount() + 200000; // device time
    MSG msg{};
    while (!done() && GetTickCount() < giveUp && GetMessage(&msg, nullptr, 0, 0) > 0) {
        DispatchMessage(&msg);
    }
    ASSERT_TRUE(done());
}

TEST_F(TimerTest, ATimerOfTheOwnerFiresInsideAModalDialogLoop) {
    ClearTicks();
    std::atomic<HWND> owner{nullptr};
    std::atomic<INT_PTR> result{0};
    DialogScript script{"dlg", [](HWND d, UINT msg, WPARAM, LPARAM) -> std::optional<INT_PTR> {
                            if (msg == WM_INITDIALOG) {
                                g_dialogToEnd = d;
                            }
                            return std::nullopt;
                        }};
    TemplateBuilder tmpl(WS_POPUP, 50, 50);
    UiThread thread([&] {
        owner = MakeWindow("owner", WS_POPUP | WS_VISIBLE);
        SetTimer(owner, 2, 1000, TickThenEndDialog);
        result = RunDialog(tmpl.get(), owner, script);
        KillTimer(owner, 2);
        DestroyWindow(owner);
    });
    thread.join();
    EXPECT_EQ(result.load(), 55);
    const auto ticks = Ticks(2);
    ASSERT_EQ(ticks.size(), 3u);
    for (const auto& t : ticks) {
        EXPECT_EQ(t.hwnd, owner.load());
        EXPECT_EQ(t.msg, WM_TIMER);
    }
    EXPECT_GE(ticks[1].time - ticks[0].time, 1000u);
}

TEST_F(TimerTest, SettingARunningIdRestartsIt) {
    ClearTicks();
    const HWND w = MakeWindow("w", WS_POPUP);
    ASSERT_NE(SetTimer(w, 2, 1000, RecordTick), 0u);
    ASSERT_NE(SetTimer(w, 3, 600, RestartTimerTwo), 0u);
    PumpUntil([] { return Ticks(2).size() >= 2; });
    const auto ticks = Ticks(2);
    ASSERT_NE(g_restartedAt.load(), 0u);
    EXPECT_GE(ticks[0].time, g_restartedAt + 1000) << "the first tick must count from the restart";
    EXPECT_GE(ticks[1].time, ticks[0].time + 1000);
    KillTimer(w, 2);
    DestroyWindow(w);
}

TEST_F(TimerTest, KillTimerIsHarmlessWhenNoneRuns) {
    ClearTicks();
    const HWND w = MakeWindow("w", WS_POPUP);
    EXPECT_FALSE(KillTimer(w, 99));
    EXPECT_FALSE(KillTimer(nullptr, 99));
    ASSERT_NE(SetTimer(w, 1, 10, RecordTick), 0u);
    EXPECT_TRUE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(w, 1));
    ASSERT_NE(SetTimer(w, 4, 50, RecordTick), 0u);
    PumpUntil([] { return !Ticks(4).empty(); });
    EXPECT_TRUE(Ticks(1).empty()) << "a killed timer fired";
    DestroyWindow(w);
    EXPECT_FALSE(KillTimer(w, 4)) << "a destroyed window's timers are gone";
}

TEST_F(TimerTest, WithoutAProcedureWmTimerGoesToTheWindow) {
    Log().watch({WM_TIMER});
    const HWND w = MakeWindow("w", WS_POPUP);
    EXPECT_NE(SetTimer(w, 7, 10, nullptr), 0u);
    PumpUntil([] { return Log().count("w", WM_TIMER) > 0; });
    KillTimer(w, 7);
    ExpectSequence(Log().take(), {{"w", WM_TIMER, 7}}, "WM_TIMER", "w");
    DestroyWindow(w);
}

TEST_F(TimerTest, AThreadTimerCallsItsProcedureWithoutAWindow) {
    ClearTicks();
    const UINT_PTR id = SetTimer(nullptr, 0, 10, RecordTick);
    ASSERT_NE(id, 0u);
    PumpUntil([&] { return !Ticks(id).empty(); });
    EXPECT_EQ(Ticks(id)[0].hwnd, nullptr);
    EXPECT_TRUE(KillTimer(nullptr, id));
}

} // namespace
