// The soft-key menu bar: the left key's command, the right key's pop-up with its keys and clicks, choosing
// by text, the listing of the items, and the ways creation fails.
#include "platform/shell/SoftKeys.h"
#include "tests/shell/ShellTestSupport.h"

namespace lullwatch::test {
namespace {

using platform::shell::ChooseMenuItem;
using platform::shell::kLeftSoftKey;
using platform::shell::kRightSoftKey;
using platform::shell::MenuItemsOf;
using platform::shell::OpenMenuPopupOf;
using platform::shell::PressSoftKey;

const DLGITEMTEMPLATE kItems[] = {
    {WS_VISIBLE | WS_TABSTOP, 0, 10, 10, 60, 14, 1000, L"BUTTON", L"Run"},
};
const DLGTEMPLATE kTemplate = {WS_POPUP | WS_CAPTION, 0, 0, 0, 113, 116, L"Menu test", 0, nullptr, kItems, 1};

// Runs the dialog and gives it a menu bar made from `menuId` on its own thread.
class MenuDialog {
public:
    explicit MenuDialog(UINT menuId, DWORD flags = 0) : dialog_(&kTemplate), menuId_(menuId), flags_(flags) {
        RegisterShellTestResources();
        // The menu bar must belong to the dialog's thread: a timer procedure makes it there.
        pending_ = this;
        SetTimer(dialog_.dialog, 99, 1, &MenuDialog::MakeBar);
        Eventually([this] { return made_.load(); });
    }
    HWND hwnd() const { return dialog_.dialog.load(); }
    DialogHarness& harness() { return dialog_; }
    std::atomic<BOOL> created{-1};
    std::atomic<HWND> menuBar{nullptr};

private:
    static void MakeBar(HWND hwnd, UINT, UINT_PTR id, DWORD) {
        KillTimer(hwnd, id);
        MenuDialog* self = pending_;
        SHMENUBARINFO info{};
        info.cbSize = sizeof info;
        info.hwndParent = hwnd;
        info.dwFlags = self->flags_;
        info.nToolBarId = self->menuId_;
        self->created = SHCreateMenuBar(&info);
        self->menuBar = info.hwndMB;
        self->made_ = true;
    }

    DialogHarness dialog_;
    UINT menuId_ = 0;
    DWORD flags_ = 0;
    std::atomic<bool> made_{false};
    static inline MenuDialog* pending_ = nullptr;
};

TEST(MenuBar, LeftSoftKeySendsItsCommandToTheWindow) {
    MenuDialog d(kMenuId);
    ASSERT_EQ(d.created.load(), TRUE);
    const auto keys = platform::desktop::SoftKeysOf(d.hwnd());
    EXPECT_EQ(keys.left, L"OK");
    EXPECT_EQ(keys.right, L"Menu");
    EXPECT_EQ(keys.menuBar, d.menuBar.load());
    Press(VK_TSOFT1);
    EXPECT_EQ(d.harness().Outcome(), IDOK);
    EXPECT_EQ(d.harness().log.commands(IDOK, 0), 1u);
}

TEST(MenuBar, RightSoftKeyOpensThePopupWhoseKeysChooseAnItem) {
    MenuDialog d(kMenuId);
    Press(VK_TSOFT2);
    ASSERT_TRUE(Eventually([&] { return OpenMenuPopupOf(d.hwnd()) != nullptr; }));
    const HWND popup = OpenMenuPopupOf(d.hwnd());
    ASSERT_TRUE(Eventually([&] { return platform::desktop::ForegroundWindow() == popup; }));
    EXPECT_EQ(platform::desktop::SoftKeysOf(popup).left, L"Select");
    const RECT r = ScreenRect(popup);
    EXPECT_EQ(r.bottom, platform::desktop::Layout().workArea.bottom);
    EXPECT_EQ(r.right, platform::desktop::Layout().width);

    Press(VK_DOWN);
    Press(VK_DOWN);
    Press(VK_DOWN); // round to the top
    Press(VK_DOWN);
    Press(VK_RETURN);
    ASSERT_TRUE(Eventually([&] { return d.harness().log.commands(ID_SETTINGS, 0) == 1; }));
    EXPECT_EQ(OpenMenuPopupOf(d.hwnd()), nullptr);
    EXPECT_FALSE(IsWindow(popup));

    Press(VK_TSOFT2);
    ASSERT_TRUE(Eventually([&] { return OpenMenuPopupOf(d.hwnd()) != nullptr; }));
    Press(VK_TSOFT2); // the right key again closes it
    ASSERT_TRUE(Eventually([&] { return OpenMenuPopupOf(d.hwnd()) == nullptr; }));
    Press(VK_TSOFT2);
    ASSERT_TRUE(Eventually([&] { return OpenMenuPopupOf(d.hwnd()) != nullptr; }));
    Press(VK_ESCAPE);
    ASSERT_TRUE(Eventually([&] { return OpenMenuPopupOf(d.hwnd()) == nullptr; }));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.harness().log.count([](const MessageLog::Entry& e) { return e.message == WM_COMMAND; }), 1u);
}

TEST(MenuBar, ClicksChooseAnItemOrCloseThePopup) {
    MenuDialog d(kMenuId);
    Press(VK_TSOFT2);
    ASSERT_TRUE(Eventually([&] { return OpenMenuPopupOf(d.hwnd()) != nullptr; }));
    const RECT r = ScreenRect(OpenMenuPopupOf(d.hwnd()));
    platform::desktop::InjectClick(POINT{(r.left + r.right) / 2, r.bottom - 5}); // the last item
    ASSERT_TRUE(Eventually([&] { return d.harness().log.commands(ID_DISPLAY_OFF, 0) == 1; }));

    Press(VK_TSOFT2);
    ASSERT_TRUE(Eventually([&] { return OpenMenuPopupOf(d.hwnd()) != nullptr; }));
    platform::desktop::InjectClick(POINT{5, 60}); // outside the pop-up
    ASSERT_TRUE(Eventually([&] { return OpenMenuPopupOf(d.hwnd()) == nullptr; }));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.harness().log.count([](const MessageLog::Entry& e) { return e.message == WM_COMMAND; }), 1u);
}

TEST(MenuBar, AutomationChoosesByTextAndListsTheItems) {
    MenuDialog d(kMenuId);
    const auto items = MenuItemsOf(d.hwnd());
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].text, L"OK");
    EXPECT_EQ(items[0].id, static_cast<UINT>(IDOK));
    EXPECT_EQ(items[1].text, L"Menu");
    EXPECT_TRUE(items[1].opensPopup);
    EXPECT_EQ(items[4].text, L"Display Off");
    EXPECT_EQ(items[4].id, ID_DISPLAY_OFF);
    EXPECT_TRUE(items[4].inPopup);
    EXPECT_EQ(items[4].softKey, kRightSoftKey);

    EXPECT_TRUE(ChooseMenuItem(d.hwnd(), L"Display Off"));
    ASSERT_TRUE(Eventually([&] { return d.harness().log.commands(ID_DISPLAY_OFF, 0) == 1; }));
    EXPECT_TRUE(ChooseMenuItem(d.hwnd(), L"About"));
    ASSERT_TRUE(Eventually([&] { return d.harness().log.commands(ID_ABOUT, 0) == 1; }));
    EXPECT_FALSE(ChooseMenuItem(d.hwnd(), L"Exit"));
    EXPECT_TRUE(ChooseMenuItem(d.hwnd(), L"OK"));
    EXPECT_EQ(d.harness().Outcome(), IDOK);
}

TEST(MenuBar, ADisabledWindowIgnoresItsSoftKeys) {
    MenuDialog d(kMenuId);
    EnableWindow(d.hwnd(), FALSE); // as while a modal box is up over it
    EXPECT_TRUE(PressSoftKey(d.hwnd(), kLeftSoftKey));
    EXPECT_TRUE(ChooseMenuItem(d.hwnd(), L"About"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(OpenMenuPopupOf(d.hwnd()), nullptr);
    EXPECT_EQ(d.harness().log.count([](const MessageLog::Entry& e) { return e.message == WM_COMMAND; }), 0u);
    EnableWindow(d.hwnd(), TRUE);
    EXPECT_TRUE(PressSoftKey(d.hwnd(), kLeftSoftKey));
    EXPECT_EQ(d.harness().Outcome(), IDOK);
}

TEST(MenuBar, CommandSoftKeysOnBothSides) {
    MenuDialog d(kCommandMenuId);
    EXPECT_TRUE(PressSoftKey(d.hwnd(), kRightSoftKey));
    EXPECT_EQ(d.harness().Outcome(), IDCANCEL);
}

TEST(MenuBar, CreationFails) {
    {
        MenuDialog d(4321); // no such menu
        EXPECT_EQ(d.created.load(), FALSE);
        EXPECT_FALSE(PressSoftKey(d.hwnd(), kLeftSoftKey));
        EXPECT_TRUE(MenuItemsOf(d.hwnd()).empty());
    }
    {
        platform::shell::SetMenuBarCreationFails(true);
        MenuDialog d(kMenuId);
        platform::shell::SetMenuBarCreationFails(false);
        EXPECT_EQ(d.created.load(), FALSE);
    }
    {
        MenuDialog d(4321, SHCMBF_EMPTYBAR);
        EXPECT_EQ(d.created.load(), TRUE);
        EXPECT_EQ(platform::desktop::SoftKeysOf(d.hwnd()).left, L"");
    }
    SHMENUBARINFO info{};
    info.nToolBarId = kMenuId;
    EXPECT_FALSE(SHCreateMenuBar(&info)); // no parent window
}

} // namespace
} // namespace lullwatch::test
