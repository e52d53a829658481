// MessageBox: what it shows, the answers the keys and buttons give, and that it runs its own modal loop
// on whatever thread calls it while the owner, possibly another thread's window, waits disabled.
#include "platform/controls/ControlPaint.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/gdi/Surface.h"
#include "tests/controls/DialogHarness.h"

#include <algorithm>

namespace lullwatch::test {
namespace {

using platform::controls::IsMessageBox;
using platform::controls::ReadMessageBox;
using platform::controls::TopmostMessageBox;

// Shows a box on a thread of its own; the result is there once the thread has ended.
class BoxThread {
public:
    BoxThread(HWND owner, std::wstring text, std::wstring caption, UINT type)
        : text_(std::move(text)), caption_(std::move(caption)), thread_([this, owner, type] {
              result = MessageBox(owner, text_.c_str(), caption_.c_str(), type);
          }) {}
    int Result() {
        thread_.join();
        return result.load();
    }
    std::atomic<int> result{-1};

private:
    std::wstring text_;
    std::wstring caption_;
    UiThread thread_;
};

HWND WaitForBox() {
    HWND box = nullptr;
    Eventually([&] {
        box = TopmostMessageBox();
        return box != nullptr && platform::desktop::ForegroundWindow() == box;
    });
    return box;
}

TEST(MessageBox, ShowsCaptionTextAndButtonsAsChildren) {
    BoxThread t(nullptr, L"Enter phone number", L"Phone number", MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
    const HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    const auto info = ReadMessageBox(box);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->caption, L"Phone number");
    EXPECT_EQ(info->text, L"Enter phone number");
    EXPECT_EQ(info->type, 0x40030u);
    ASSERT_EQ(info->buttons.size(), 1u);
    EXPECT_EQ(info->buttons[0].id, IDOK);
    EXPECT_EQ(TextOf(box), L"Phone number");
    EXPECT_EQ(TextOf(GetDlgItem(box, platform::controls::kMessageBoxTextId)), L"Enter phone number");
    EXPECT_EQ(TextOf(GetDlgItem(box, IDOK)), L"OK");
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    EXPECT_TRUE(GetWindowLongPtr(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    const auto keys = platform::desktop::SoftKeysOf(box);
    EXPECT_EQ(keys.left, L"OK");
    EXPECT_EQ(keys.right, L"");

    ASSERT_TRUE(Idle());
    bool warningSign = false;
    for (const auto& view : platform::desktop::VisibleTopLevels()) {
        if (view.hwnd == box) {
            const auto image = view.surface->snapshot();
            const COLORREF c = platform::controls::palette::kWarning;
            const std::uint32_t yellow = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            warningSign = std::find(image.pixels.begin(), image.pixels.end(), yellow) != image.pixels.end();
        }
    }
    EXPECT_TRUE(warningSign);

    Press(VK_RETURN);
    EXPECT_EQ(t.Result(), IDOK);
    EXPECT_FALSE(IsMessageBox(box));
}

TEST(MessageBox, AnswersFollowTheKeysAndTheBoxType) {
    struct Case {
        UINT type;
        UINT key;
        int expected;
    };
    const Case cases[] = {
        {MB_OK, VK_RETURN, IDOK},           {MB_OK, VK_ESCAPE, IDOK},
        {MB_OK, VK_TSOFT1, IDOK},           {MB_OKCANCEL, VK_RETURN, IDOK},
        {MB_OKCANCEL, VK_ESCAPE, IDCANCEL}, {MB_OKCANCEL, VK_TSOFT1, IDOK},
        {MB_OKCANCEL, VK_TSOFT2, IDCANCEL},
    };
    for (const Case& c : cases) {
        BoxThread t(nullptr, L"Question", L"Message", c.type);
        ASSERT_NE(WaitForBox(), nullptr);
        Press(c.key);
        EXPECT_EQ(t.Result(), c.expected) << "type " << c.type << " key " << c.key;
    }
}

TEST(MessageBox, TheRightSoftKeyOfAnOkBoxDoesNothing) {
    BoxThread t(nullptr, L"Text", L"Warning", MB_OK);
    const HWND box = WaitForBox();
    Press(VK_TSOFT2);
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(IsMessageBox(box));
    EXPECT_TRUE(platform::controls::PressMessageBoxButton(box, IDOK));
    EXPECT_EQ(t.Result(), IDOK);
}

TEST(MessageBox, CancelButtonByClick) {
    BoxThread t(nullptr, L"Text", L"Message", MB_OKCANCEL);
    const HWND box = WaitForBox();
    ASSERT_TRUE(Idle());
    Click(GetDlgItem(box, IDCANCEL));
    EXPECT_EQ(t.Result(), IDCANCEL);
}

// A dialog on one thread; a box owned by it from a thread that has no windows. The dialog is disabled
// while the box is up, keeps handling sent messages, and is enabled again afterwards.
TEST(MessageBox, FromAnotherThreadOverAModalDialog) {
    static const DLGITEMTEMPLATE items[] = {
        {WS_VISIBLE | WS_TABSTOP, 0, 10, 10, 50, 14, IDOK, L"BUTTON", L"OK"},
    };
    static const DLGTEMPLATE tmpl = {WS_POPUP | WS_CAPTION, 0, 0, 0, 113, 100, L"Call", 0, nullptr, items, 1};
    DialogHarness d(&tmpl);
    BoxThread t(d.dialog, L"Line configuration has been changed. ", L"Error", MB_OK);
    const HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowEnabled(d.dialog));
    EXPECT_EQ(SendMessage(d.Item(IDOK), WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON,
              static_cast<LRESULT>(DLGC_UNDEFPUSHBUTTON));
    Press(VK_RETURN);
    EXPECT_EQ(t.Result(), IDOK);
    EXPECT_TRUE(IsWindowEnabled(d.dialog));
    EXPECT_EQ(d.result.load(), -2); // the dialog itself is still up
}

// A box opened by a window thread from inside its own dialog: the thread's timers keep firing and its
// dialog still answers sent messages while the box waits.
TEST(MessageBox, TheCallingThreadKeepsHandlingTimersAndSentMessages) {
    static std::atomic<int> ticks{0};
    static std::atomic<int> boxResult{0};
    struct Local {
        static void Tick(HWND, UINT, UINT_PTR, DWORD) { ++ticks; }
        static INT_PTR Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
            if (message == WM_INITDIALOG) {
                SetTimer(hwnd, 7, 10, &Local::Tick);
                PostMessage(hwnd, WM_COMMAND, 1000, 0);
                return TRUE;
            }
            if (message == WM_COMMAND && LOWORD(wParam) == 1000) {
                boxResult = MessageBox(hwnd, L"Nested", L"Message", MB_OKCANCEL);
                EndDialog(hwnd, 1);
                return TRUE;
            }
            if (message == WM_USER + 5) {
                SetWindowLongPtr(hwnd, DWL_MSGRESULT, 42);
                return TRUE;
            }
            return FALSE;
        }
    };
    static const DLGTEMPLATE tmpl = {
        WS_POPUP | WS_CAPTION, 0, 0, 0, 113, 100, L"Owner", 0, nullptr, nullptr, 0};
    ticks = 0;
    UiThread ui([&] { DialogBoxIndirectParam(nullptr, &tmpl, nullptr, &Local::Proc, 0); });
    const HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    const int seen = ticks.load();
    EXPECT_TRUE(Eventually([&] { return ticks.load() >= seen + 3; }));
    const auto info = ReadMessageBox(box);
    ASSERT_TRUE(info.has_value());
    HWND owner = GetParent(box);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(SendMessage(owner, WM_USER + 5, 0, 0), 42);
    Press(VK_ESCAPE);
    ui.join();
    EXPECT_EQ(boxResult.load(), IDCANCEL);
}

TEST(MessageBox, TopmostStaysAboveWindowsMadeLater) {
    BoxThread t(nullptr, L"Text", L"Settings error", MB_OK | MB_TOPMOST);
    const HWND box = WaitForBox();
    static const DLGTEMPLATE tmpl = {
        WS_POPUP | WS_CAPTION, 0, 0, 0, 113, 100, L"Later", 0, nullptr, nullptr, 0};
    DialogHarness later(&tmpl);
    ASSERT_TRUE(Idle());
    const auto tops = platform::desktop::EnumerateTopLevels();
    ASSERT_FALSE(tops.empty());
    EXPECT_EQ(tops.front().hwnd, box);
    EXPECT_EQ(TopmostMessageBox(), box);
    Press(VK_RETURN);
    EXPECT_EQ(t.Result(), IDOK);
}

} // namespace
} // namespace lullwatch::test
