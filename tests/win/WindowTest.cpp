// Windows: the messages of creation and destruction, the CBT hook, classes and window longs, focus,
// text and relations.
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace lwtest;

namespace {

constexpr UINT kHookRow = WM_APP + 1; // the CBT hook's call, as a row of the log

class WindowTest : public WinTest {};

HHOOK g_hook = nullptr;
std::atomic<bool> g_hookSawLiveWindow{false};
std::atomic<bool> g_refuseCreation{false};

LRESULT CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const auto hwnd = reinterpret_cast<HWND>(wParam);
        g_hookSawLiveWindow = IsWindow(hwnd) && reinterpret_cast<CBT_CREATEWND*>(lParam)->lpcs->x == 5;
        Log().add("hook", kHookRow, 0, 0);
        if (g_refuseCreation) {
            return 1;
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST_F(WindowTest, CreationSendsItsMessagesAfterTheHook) {
    Log().watch({kHookRow, WM_CREATE, WM_SIZE, WM_SHOWWINDOW, WM_DESTROY, WM_NCDESTROY});
    g_hook = SetWindowsHookEx(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    g_refuseCreation = false;
    const HWND w = MakeWindow("w", WS_POPUP | WS_VISIBLE, nullptr, {5, 30, 100, 50});
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(g_hookSawLiveWindow.load());
    ExpectSequence(
        Log().take(),
        {{"hook", kHookRow}, {"w", WM_CREATE}, {"w", WM_SIZE, SIZE_RESTORED}, {"w", WM_SHOWWINDOW, TRUE}},
        "creation");

    g_refuseCreation = true;
    EXPECT_EQ(MakeWindow("refused", WS_POPUP, nullptr, {5, 30, 10, 10}), nullptr);
    ExpectSequence(Log().take(), {{"hook", kHookRow}}, "a hook refusing creation");
    EXPECT_TRUE(UnhookWindowsHookEx(g_hook));
    EXPECT_FALSE(UnhookWindowsHookEx(g_hook));
    DestroyWindow(w);
}

TEST_F(WindowTest, MinusOneFromWmCreateFailsTheCreation) {
    Log().watch({WM_CREATE, WM_DESTROY, WM_NCDESTROY});
    const HWND w = MakeWindow("w", WS_POPUP, nullptr, {0, 26, 10, 10},
                              [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
                                  return msg == WM_CREATE ? std::optional<LRESULT>(-1) : std::nullopt;
                              });
    EXPECT_EQ(w, nullptr);
    ExpectSequence(Log().take(), {{"w", WM_CREATE}, {"w", WM_DESTROY}, {"w", WM_NCDESTROY}},
                   "failed creation");
}

TEST_F(WindowTest, DestructionGoesOwnedFirstThenParentBeforeChildren) {
    const HWND parent = MakeWindow("parent", WS_POPUP | WS_VISIBLE);
    const HWND c1 = MakeWindow("c1", WS_CHILD | WS_VISIBLE, parent, {0, 0, 10, 10});
    const HWND g = MakeWindow("g", WS_CHILD | WS_VISIBLE, c1, {0, 0, 5, 5});
    const HWND c2 = MakeWindow("c2", WS_CHILD | WS_VISIBLE, parent, {20, 0, 10, 10});
    const HWND owned = MakeWindow("owned", WS_POPUP | WS_VISIBLE, c1, {0, 26, 10, 10});
    EXPECT_EQ(GetWindow(owned, GW_OWNER), parent) << "the owner is the top-level window";

    std::atomic<BOOL> fromOtherThread{TRUE};
    std::thread([&] { fromOtherThread = DestroyWindow(parent); }).join();
    EXPECT_FALSE(fromOtherThread.load()) << "only the owner thread destroys a window";

    Log().watch({WM_DESTROY, WM_NCDESTROY});
    ASSERT_TRUE(DestroyWindow(parent));
    ExpectSequence(Log().take(),
                   {{"owned", WM_DESTROY},
                    {"owned", WM_NCDESTROY},
                    {"parent", WM_DESTROY},
                    {"c1", WM_DESTROY},
                    {"g", WM_DESTROY},
                    {"c2", WM_DESTROY},
                    {"g", WM_NCDESTROY},
                    {"c1", WM_NCDESTROY},
                    {"c2", WM_NCDESTROY},
                    {"parent", WM_NCDESTROY}},
                   "destruction");
    for (const HWND h : {parent, c1, g, c2, owned}) {
        EXPECT_FALSE(IsWindow(h));
    }
}

LRESULT CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return msg == WM_USER ? 99 : DefWindowProc(hwnd, msg, wParam, lParam);
}

WNDPROC g_original = nullptr;
LRESULT SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return msg == WM_USER ? 1 + CallWindowProc(g_original, hwnd, msg, wParam, lParam)
                          : CallWindowProc(g_original, hwnd, msg, wParam, lParam);
}

TEST_F(WindowTest, ClassesAndWindowLongs) {
    WNDCLASS wc{};
    wc.lpfnWndProc = CountingProc;
    wc.cbWndExtra = 8;
    wc.lpszClassName = L"LwExtraBytes";
    ASSERT_NE(RegisterClass(&wc), 0);
    EXPECT_EQ(RegisterClass(&wc), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

    const HWND w = CreateWindowEx(0, L"lwEXTRAbytes", L"title", WS_POPUP, 0, 26, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(w, nullptr) << "class names are case-blind";
    wchar_t name[32] = {};
    EXPECT_EQ(GetClassName(w, name, 32), 12);
    EXPECT_STREQ(name, L"LwExtraBytes");

    EXPECT_EQ(SetWindowLongPtr(w, 0, 0x1234), 0);
    EXPECT_EQ(GetWindowLongPtr(w, 0), 0x1234);
    EXPECT_EQ(GetWindowLongPtr(w, 64), 0) << "beyond the window memory";
    SetWindowLongPtr(w, GWL_USERDATA, 77);
    EXPECT_EQ(GetWindowLongPtr(w, GWL_USERDATA), 77);
    EXPECT_EQ(GetWindowLongPtr(w, GWL_STYLE), static_cast<LONG_PTR>(WS_POPUP));

    EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 99);
    g_original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtr(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    EXPECT_EQ(g_original, CountingProc);
    EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 100);

    wchar_t text[16] = {};
    EXPECT_EQ(GetWindowText(w, text, 16), 5);
    EXPECT_STREQ(text, L"title");
    std::atomic<bool> sent{false};
    std::thread setter([&] {
        SetWindowText(w, L"from afar"); // a send to this thread, handled when it looks for messages
        sent = true;
    });
    WaitOrDie(
        [&] {
            Pump();
            return sent.load();
        },
        "the cross-thread WM_SETTEXT");
    setter.join();
    EXPECT_EQ(GetWindowTextLength(w), 9);
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClass(L"LwExtraBytes", nullptr));
}

TEST_F(WindowTest, FocusMovesWithItsMessages) {
    Log().watch({WM_SETFOCUS, WM_KILLFOCUS, WM_ENABLE});
    const HWND top = MakeWindow("top", WS_POPUP | WS_VISIBLE);
    const HWND a = MakeWindow("a", WS_CHILD | WS_VISIBLE, top, {0, 0, 10, 10});
    const HWND b = MakeWindow("b", WS_CHILD | WS_VISIBLE, top, {20, 0, 10, 10});
    Log().clear(); // showing the top-level window gave it the focus
    SetFocus(a);
    SetFocus(b);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(GetActiveWindow(), top);
    EnableWindow(b, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    ExpectSequence(Log().take(),
                   {{"top", WM_KILLFOCUS},
                    {"a", WM_SETFOCUS},
                    {"a", WM_KILLFOCUS},
                    {"b", WM_SETFOCUS},
                    {"b", WM_KILLFOCUS},
                    {"b", WM_ENABLE, FALSE}},
                   "focus");
    std::atomic<HWND> otherResult{reinterpret_cast<HWND>(1)};
    std::thread([&] { otherResult = SetFocus(a); }).join();
    EXPECT_EQ(otherResult.load(), nullptr) << "focus is per thread: a window of another thread is refused";
    DestroyWindow(top);
}

TEST_F(WindowTest, RelationsBetweenWindows) {
    const HWND top = MakeWindow("top", WS_POPUP);
    const HWND first = MakeWindow("first", WS_CHILD, top, {0, 0, 10, 10}, nullptr, 7);
    const HWND second = MakeWindow("second", WS_CHILD, top, {0, 0, 10, 10}, nullptr, 65535);
    EXPECT_EQ(GetParent(first), top);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_TRUE(IsChild(top, second));
    EXPECT_FALSE(IsChild(first, second));
    EXPECT_EQ(GetWindow(top, GW_CHILD), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDPREV), first);
    EXPECT_EQ(GetDlgItem(top, 7), first);
    EXPECT_EQ(GetDlgItem(top, IDC_STATIC), second) << "-1 and 65535 name the same control";
    EXPECT_EQ(GetDlgCtrlID(first), 7);
    POINT p{3, 4};
    ClientToScreen(first, &p);
    EXPECT_EQ(p.y, 30);
    DestroyWindow(top);
}

} // namespace
