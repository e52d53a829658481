// The desktop: screen layout, the stack of top-level windows and the foreground window, where keys
// go, soft keys, and what the automation channel sees.
#include "TestWindows.h"

#include "platform/win/Desktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

using namespace lwtest;
namespace desktop = platform::desktop;

namespace {

class DesktopTest : public WinTest {};

void Settle() {
    WaitOrDie([] { return desktop::WaitUntilIdle(std::chrono::milliseconds(0)); }, "the windows to settle");
}

std::vector<HWND> VisibleStack() {
    std::vector<HWND> out;
    for (const auto& view : desktop::VisibleTopLevels()) {
        out.push_back(view.hwnd);
    }
    return out;
}

TEST_F(DesktopTest, TheWorkAreaLiesBetweenTheBars) {
    const struct {
        int width, height;
        RECT work;
    } layouts[] = {{240, 320, {0, 26, 240, 294}}, {320, 240, {0, 26, 320, 214}}};
    for (const auto& l : layouts) {
        desktop::SetScreenSize(l.width, l.height);
        const auto layout = desktop::Layout();
        EXPECT_EQ(layout.width, l.width);
        EXPECT_EQ(layout.height, l.height);
        EXPECT_TRUE(EqualRect(&layout.workArea, &l.work)) << l.width << "x" << l.height;
    }
    desktop::SetScreenSize(240, 320);
}

TEST_F(DesktopTest, NewWindowsGoOnTopAndTopmostOnesStayAbove) {
    const HWND topmost =
        MakeWindow("topmost", WS_POPUP | WS_VISIBLE, nullptr, {0, 26, 240, 268}, nullptr, 0, WS_EX_TOPMOST);
    const HWND a = MakeWindow("a", WS_POPUP | WS_VISIBLE);
    const HWND b = MakeWindow("b", WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(VisibleStack(), (std::vector<HWND>{a, b, topmost}));
    EXPECT_EQ(desktop::ForegroundWindow(), topmost);
    EnableWindow(topmost, FALSE);
    EXPECT_EQ(desktop::ForegroundWindow(), b) << "a disabled window takes no keys";
    SetForegroundWindow(a);
    EXPECT_EQ(VisibleStack(), (std::vector<HWND>{b, a, topmost}));
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(VisibleStack(), (std::vector<HWND>{b, topmost}));
    for (const HWND h : {a, b, topmost}) {
        DestroyWindow(h);
    }
}

TEST_F(DesktopTest, KeysGoToTheFocusOfTheForegroundWindowAndSoftKeysToItsMenuBar) {
    Log().watch({WM_KEYDOWN, WM_CHAR});
    std::atomic<HWND> top{nullptr};
    std::atomic<HWND> field{nullptr};
    std::atomic<HWND> menuBar{nullptr};
    UiThread thread([&] {
        const HWND t = MakeWindow("top", WS_POPUP | WS_VISIBLE);
        const HWND f = MakeWindow("field", WS_CHILD | WS_VISIBLE, t, {0, 0, 50, 20});
        menuBar = MakeWindow("menubar", WS_CHILD | WS_VISIBLE, t, {0, 240, 240, 20});
        SetFocus(f);
        field = f;
        top = t;
        RunMessageLoop();
    });
    WaitOrDie([&] { return top.load() != nullptr; }, "the window");
    desktop::SetSoftKeys(top, menuBar, L"OK", L"Menu");
    const auto keys = desktop::SoftKeysOf(top);
    EXPECT_EQ(keys.menuBar, menuBar.load());
    EXPECT_EQ(keys.left, L"OK");
    EXPECT_EQ(keys.right, L"Menu");

    desktop::InjectKey(VK_F1, true);
    desktop::InjectKey(VK_DOWN, true);
    desktop::InjectChar(L'7');
    desktop::InjectKey(VK_F2, true);
    Settle();
    ExpectSequence(Log().take(),
                   {{"menubar", WM_KEYDOWN, VK_F1},
                    {"field", WM_KEYDOWN, VK_DOWN},
                    {"field", WM_CHAR, L'7'},
                    {"menubar", WM_KEYDOWN, VK_F2}},
                   "key routing");
}

TEST_F(DesktopTest, EnumerationShowsTopLevelWindowsAndTheirControls) {
    std::atomic<HWND> top{nullptr};
    UiThread thread([&] {
        const HWND t = MakeWindow("top", WS_POPUP | WS_VISIBLE);
        SetWindowText(t, L"Caption");
        const HWND run =
            MakeWindow("run", WS_CHILD | WS_VISIBLE | WS_TABSTOP, t, {102, 160, 124, 64}, nullptr, 1000);
        SetWindowText(run, L"Run");
        const HWND edit =
            MakeWindow("edit", WS_CHILD | WS_VISIBLE | WS_DISABLED, t, {100, 126, 126, 24}, nullptr, 1003);
        (void)edit;
        SetFocus(run);
        top = t;
        RunMessageLoop();
    });
    WaitOrDie([&] { return top.load() != nullptr; }, "the window");
    const auto tops = desktop::EnumerateTopLevels();
    const auto it =
        std::find_if(tops.begin(), tops.end(), [&](const auto& info) { return info.hwnd == top.load(); });
    ASSERT_NE(it, tops.end());
    EXPECT_EQ(it->text, L"Caption");
    EXPECT_EQ(it->threadId, thread.id());
    EXPECT_FALSE(it->modal);
    EXPECT_TRUE(it->visible);

    const auto children = desktop::EnumerateChildren(top);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0].id, 1000);
    EXPECT_EQ(children[0].className, L"LwTestWindow");
    EXPECT_EQ(children[0].text, L"Run");
    EXPECT_TRUE(children[0].focused);
    EXPECT_TRUE(children[0].enabled);
    EXPECT_EQ(children[0].rect.left, 102);
    EXPECT_EQ(children[0].rect.top, 186);
    EXPECT_EQ(children[1].id, 1003);
    EXPECT_FALSE(children[1].enabled);
    EXPECT_FALSE(children[1].focused);
}

} // namespace
