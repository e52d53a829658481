// The threading rules of SendMessage: cross-thread sends run on the owner thread, inside whatever loop
// it runs; threads sending to each other do not deadlock; dead windows and dead threads answer 0.
#include "TestWindows.h"

#include "platform/win/Desktop.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Messaging.h"
#include "platform/win/ThreadContext.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace lwtest;

namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kAsk = WM_USER + 2;
constexpr UINT kAnswer = WM_USER + 3;
constexpr UINT kOpenBox = WM_USER + 5;

class SendMessageTest : public WinTest {};

TEST_F(SendMessageTest, CrossThreadSendRunsOnTheOwnerThread) {
    std::atomic<HWND> window{nullptr};
    std::atomic<DWORD> handledOn{0};
    UiThread owner([&] {
        window = MakeWindow("b", WS_POPUP, nullptr, {0, 26, 10, 10},
                            [&](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
                                if (msg != kPing) {
                                    return std::nullopt;
                                }
                                handledOn = GetCurrentThreadId();
                                return 40 + static_cast<LRESULT>(wParam);
                            });
        RunMessageLoop();
    });
    WaitOrDie([&] { return window.load() != nullptr; }, "window");
    EXPECT_EQ(SendMessage(window, kPing, 2, 0), 42);
    EXPECT_EQ(handledOn.load(), owner.id());
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), owner.id());
}

// The owner runs a modal dialog: sends to the owner and to the dialog are handled in the dialog's
// loop, the owner is disabled meanwhile and enabled again afterwards.
TEST_F(SendMessageTest, SendsReachAThreadRunningAModalDialog) {
    Log().watch({kPing, kAsk, WM_ENABLE, WM_COMMAND});
    std::atomic<HWND> owner{nullptr};
    std::atomic<HWND> dialog{nullptr};
    std::atomic<INT_PTR> result{-5};
    DialogScript script{"dlg", [&](HWND d, UINT msg, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
                            if (msg == WM_INITDIALOG) {
                                dialog = d;
                            } else if (msg == kAsk) {
                                SetWindowLongPtr(d, DWL_MSGRESULT, 77);
                                return TRUE;
                            } else if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
                                EndDialog(d, 7);
                                return TRUE;
                            }
                            return std::nullopt;
                        }};
    TemplateBuilder tmpl(WS_POPUP | WS_CAPTION, 100, 100);
    UiThread thread([&] {
        const HWND o = MakeWindow("owner", WS_POPUP | WS_VISIBLE, nullptr, {0, 26, 240, 268},
                                  [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
                                      return msg == kPing ? std::optional<LRESULT>(11) : std::nullopt;
                                  });
        owner = o;
        result = RunDialog(tmpl.get(), o, script);
        DestroyWindow(o);
    });
    WaitOrDie([&] { return dialog.load() && IsWindowVisible(dialog); }, "the dialog");
    EXPECT_EQ(SendMessage(owner, kPing, 0, 0), 11);
    EXPECT_EQ(SendMessage(dialog, kAsk, 0, 0), 77);
    EXPECT_FALSE(IsWindowEnabled(owner));
    SendMessage(dialog, WM_COMMAND, IDOK, 0);
    thread.join();
    EXPECT_EQ(result.load(), 7);
    ExpectSequence(Log().take(),
                   {
                       {"owner", WM_ENABLE, FALSE},
                       {"owner", kPing},
                       {"dlg", kAsk},
                       {"dlg", WM_COMMAND, IDOK},
                       {"owner", WM_ENABLE, TRUE},
                   },
                   "sends to a thread in a modal dialog");
}

// A meter update sent while its window's thread shows a message box (a small modal dialog over the main
// dialog) is handled in the box's loop, and so are the main dialog's timer ticks.
std::atomic<int> g_ticksWhileBoxUp{0};
std::atomic<bool> g_boxUp{false};
void CountTick(HWND, UINT, UINT_PTR id, DWORD) {
    if (id == 2 && g_boxUp) {
        ++g_ticksWhileBoxUp;
    }
}

TEST_F(SendMessageTest, SendsAndTimersReachAThreadInANestedModalLoop) {
    Log().watch({kPing, WM_COMMAND});
    g_ticksWhileBoxUp = 0;
    g_boxUp = false;
    std::atomic<HWND> mainDialog{nullptr};
    std::atomic<HWND> box{nullptr};
    TemplateBuilder boxTemplate(WS_POPUP | DS_CENTER, 80, 40);
    DialogScript boxScript{"box", [&](HWND d, UINT msg, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
                               if (msg == WM_INITDIALOG) {
                                   box = d;
                                   g_boxUp = true;
                               } else if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
                                   g_boxUp = false;
                                   EndDialog(d, IDOK);
                                   return TRUE;
                               }
                               return std::nullopt;
                           }};
    TemplateBuilder mainTemplate(WS_POPUP, 113, 116);
    mainTemplate.add(L"LwTestWindow", 1002, 0, 24, 0, 11, 115);
    DialogScript mainScript{"main", [&](HWND d, UINT msg, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
                                if (msg == WM_INITDIALOG) {
                                    mainDialog = d;
                                    SetTimer(d, 2, 1000, CountTick);
                                    PostMessage(d, kOpenBox, 0, 0);
                                } else if (msg == kOpenBox) {
                                    RunDialog(boxTemplate.get(), d, boxScript);
                                    return TRUE;
                                } else if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
                                    KillTimer(d, 2);
                                    EndDialog(d, IDCANCEL);
                                    return TRUE;
                                }
                                return std::nullopt;
                            }};
    UiThread thread([&] { RunDialog(mainTemplate.get(), nullptr, mainScript); });
    WaitOrDie([&] { return box.load() && IsWindowVisible(box); }, "the message box");
    const HWND meter = GetDlgItem(mainDialog, 1002);
    ASSERT_NE(meter, nullptr);
    SendMessage(meter, kPing, 3, 0);
    WaitOrDie([] { return g_ticksWhileBoxUp >= 2; }, "two timer ticks while the box is up");
    SendMessage(box, WM_COMMAND, IDOK, 0);
    SendMessage(mainDialog, WM_COMMAND, IDCANCEL, 0);
    thread.join();
    ExpectSequence(Log().take(),
                   {
                       {"ctl1002", kPing, 3},
                       {"box", WM_COMMAND, IDOK},
                       {"main", WM_COMMAND, IDCANCEL},
                   },
                   "sends during a nested modal loop");
}

// A asks B, and B asks A back while A still waits: A handles B's question inside its own SendMessage.
// Then both send to each other at the same moment: each handles the other's message while it waits.
TEST_F(SendMessageTest, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    constexpr UINT kCross = WM_USER + 10;
    constexpr UINT kCrossed = WM_USER + 11;
    Log().watch({kPing, kAsk, kAnswer});
    std::atomic<HWND> a{nullptr};
    std::atomic<HWND> b{nullptr};
    std::atomic<int> crossed{0};
    UiThread threadA([&] {
        a = MakeWindow("a", WS_POPUP, nullptr, {0, 26, 10, 10},
                       [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
                           switch (msg) {
                           case kPing:
                               return SendMessage(b, kAsk, 0, 0) + 1;
                           case kAnswer:
                               return 3;
                           case kCross:
                               SendMessage(b, kCrossed, 0, 0);
                               ++crossed;
                               return 0;
                           default:
                               return std::nullopt;
                           }
                       });
        RunMessageLoop();
    });
    UiThread threadB([&] {
        b = MakeWindow("b", WS_POPUP, nullptr, {0, 26, 10, 10},
                       [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
                           switch (msg) {
                           case kAsk:
                               return SendMessage(a, kAnswer, 0, 0) * 10;
                           case kCross:
                               SendMessage(a, kCrossed, 0, 0);
                               ++crossed;
                               return 0;
                           default:
                               return std::nullopt;
                           }
                       });
        RunMessageLoop();
    });
    WaitOrDie([&] { return a.load() && b.load(); }, "both windows");

    std::atomic<LRESULT> chain{-1};
    std::thread caller([&] { chain = SendMessage(a, kPing, 0, 0); });
    WaitOrDie([&] { return chain.load() != -1; }, "the chain of sends (deadlock?)");
    caller.join();
    EXPECT_EQ(chain.load(), 31);
    ExpectSequence(Log().take(), {{"a", kPing}, {"b", kAsk}, {"a", kAnswer}}, "send chain");

    Log().watch({kCross, kCrossed});
    PostMessage(a, kCross, 0, 0);
    PostMessage(b, kCross, 0, 0);
    WaitOrDie([&] { return crossed.load() == 2; }, "crossed sends (deadlock?)");
    EXPECT_EQ(Log().count("a", kCrossed), 1u);
    EXPECT_EQ(Log().count("b", kCrossed), 1u);
}

// Every call on a destroyed window fails harmlessly.
TEST_F(SendMessageTest, ADestroyedWindowAnswersNothing) {
    const HWND dead = MakeWindow("dead", WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(DestroyWindow(dead));
    RECT r{};
    wchar_t text[8] = L"x";
    const struct {
        const char* call;
        LRESULT result;
    } calls[] = {
        {"IsWindow", IsWindow(dead)},
        {"SendMessage", SendMessage(dead, kPing, 0, 0)},
        {"PostMessage", PostMessage(dead, kPing, 0, 0)},
        {"SetTimer", static_cast<LRESULT>(SetTimer(dead, 1, 100, nullptr))},
        {"KillTimer", KillTimer(dead, 1)},
        {"ShowWindow", ShowWindow(dead, SW_SHOW)},
        {"EnableWindow", EnableWindow(dead, FALSE)},
        {"DestroyWindow", DestroyWindow(dead)},
        {"GetWindowText", GetWindowText(dead, text, 8)},
        {"SetWindowText", SetWindowText(dead, L"y")},
        {"GetClientRect", GetClientRect(dead, &r)},
        {"InvalidateRect", InvalidateRect(dead, nullptr, TRUE)},
        {"GetDC", reinterpret_cast<LRESULT>(GetDC(dead))},
        {"SetFocus", reinterpret_cast<LRESULT>(SetFocus(dead))},
        {"GetWindowLongPtr", GetWindowLongPtr(dead, GWL_STYLE)},
        {"EndDialog", EndDialog(dead, 1)},
        {"GetDlgItem", reinterpret_cast<LRESULT>(GetDlgItem(dead, 1))},
    };
    for (const auto& c : calls) {
        EXPECT_EQ(c.result, 0) << c.call;
    }
    EXPECT_EQ(text[0], L'\0');
}

// A window whose thread has ended is gone: sends return 0 at once.
TEST_F(SendMessageTest, AWindowOfAnEndedThreadIsGone) {
    std::atomic<HWND> orphan{nullptr};
    {
        UiThread thread([&] { orphan = MakeWindow("orphan", WS_POPUP | WS_VISIBLE); });
        thread.join();
    }
    EXPECT_FALSE(IsWindow(orphan));
    EXPECT_EQ(SendMessage(orphan, kPing, 0, 0), 0);
    EXPECT_FALSE(PostMessage(orphan, kPing, 0, 0));
    for (const auto& top : platform::desktop::EnumerateTopLevels()) {
        EXPECT_NE(top.hwnd, orphan.load());
    }
}

// The thread ends while a sender waits for it: the sender gets 0.
TEST_F(SendMessageTest, ASenderWaitingForAnEndingThreadGetsZero) {
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> release{false};
    std::shared_ptr<platform::win::MessageQueue> queue;
    std::atomic<bool> queueKnown{false};
    UiThread owner([&] {
        window = MakeWindow("busy", WS_POPUP, nullptr, {0, 26, 10, 10},
                            [](HWND, UINT, WPARAM, LPARAM) -> std::optional<LRESULT> { return 5; });
        queue = platform::win::CurrentQueue();
        queueKnown = true;
        WaitOrDie([&] { return release.load(); }, "release"); // busy: retrieves nothing
    });
    WaitOrDie([&] { return queueKnown.load(); }, "the window");
    const auto before = queue->events();
    std::atomic<LRESULT> result{-1};
    std::thread sender([&] { result = SendMessage(window, kPing, 0, 0); });
    WaitOrDie([&] { return queue->events() != before; }, "the send to be queued");
    release = true;
    WaitOrDie([&] { return result.load() != -1; }, "the sender to return");
    sender.join();
    owner.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace

// A message its class lets senders handle in the owner's place: while the owner waits for messages with
// nothing to do, the sender runs the handler itself, as the owner (its thread id); while the owner is
// busy, the send waits for it and runs on the owner's own thread, after what the owner was doing. Other
// messages to the same window always go to the owner thread.
TEST_F(SendMessageTest, AStandInMessageRunsOnTheSenderOnlyWhileTheOwnerWaits) {
    constexpr UINT kStandIn = WM_USER + 40;
    platform::win::AllowStandIn(L"LwTestWindow", kStandIn);
    struct Handled {
        std::thread::id osThread;
        DWORD winThread;
    };
    std::mutex mutex;
    std::vector<Handled> handled;
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> release{false};
    std::atomic<bool> busy{false};
    UiThread owner([&] {
        window = MakeWindow("bar", WS_POPUP, nullptr, {0, 26, 10, 10},
                            [&](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
                                if (msg == kPing) { // keeps the owner busy until released
                                    busy = true;
                                    WaitOrDie([&] { return release.load(); }, "the release");
                                    return 0;
                                }
                                if (msg != kStandIn && msg != kAsk) {
                                    return std::nullopt;
                                }
                                std::lock_guard lock(mutex);
                                handled.push_back({std::this_thread::get_id(), GetCurrentThreadId()});
                                return 100 + static_cast<LRESULT>(wParam);
                            });
        RunMessageLoop();
    });
    WaitOrDie([&] { return window.load() != nullptr; }, "window");
    WaitOrDie([&] { return platform::win::QueueOfThread(owner.id())->idle(); }, "the owner waiting");

    EXPECT_EQ(SendMessage(window, kStandIn, 1, 0), 101); // the owner waits: handled here
    EXPECT_EQ(SendMessage(window, kAsk, 2, 0), 102);     // not a stand-in message: handled there
    PostMessage(window, kPing, 0, 0);
    WaitOrDie([&] { return busy.load(); }, "the owner busy");
    const auto queue = platform::win::QueueOfThread(owner.id());
    const auto before = queue->events();
    std::thread::id lateId;
    std::thread late([&] {
        lateId = std::this_thread::get_id();
        EXPECT_EQ(SendMessage(window, kStandIn, 3, 0), 103);
    });
    WaitOrDie([&] { return queue->events() != before; }, "the late send queued");
    release = true;
    late.join();

    std::lock_guard lock(mutex);
    ASSERT_EQ(handled.size(), 3u);
    EXPECT_EQ(handled[0].osThread, std::this_thread::get_id());
    EXPECT_NE(handled[1].osThread, std::this_thread::get_id());
    EXPECT_NE(handled[2].osThread, lateId); // the owner was busy: it handled the send itself
    EXPECT_EQ(handled[2].osThread, handled[1].osThread);
    for (const auto& h : handled) {
        EXPECT_EQ(h.winThread, owner.id());
    }
}
