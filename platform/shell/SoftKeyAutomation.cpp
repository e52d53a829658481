// PressSoftKey, ChooseMenuItem and the listing of a window's menu: the automation's way to the soft keys,
// through posted keys as a user's presses come.
#include "platform/shell/MenuBar.h"
#include "platform/shell/SoftKeys.h"
#include "platform/win/Desktop.h"

namespace platform::shell {
namespace {

HWND MenuBarOf(HWND topLevel) {
    const HWND bar = desktop::SoftKeysOf(topLevel).menuBar;
    return bar && IsWindow(bar) ? bar : nullptr;
}

} // namespace

bool PressSoftKey(HWND topLevel, int which) {
    const HWND target = MenuBarOf(topLevel);
    if (!target || (which != kLeftSoftKey && which != kRightSoftKey)) {
        return false;
    }
    const WPARAM vk = which == kLeftSoftKey ? VK_TSOFT1 : VK_TSOFT2;
    if (!PostMessage(target, WM_KEYDOWN, vk, 1)) {
        return false;
    }
    // The press may have ended the window already; the release then has nowhere to go, which is fine.
    PostMessage(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    return true;
}

bool ChooseMenuItem(HWND topLevel, const std::wstring& text) {
    const HWND bar = MenuBarOf(topLevel);
    const auto menu = bar ? MenuOf(bar) : std::nullopt;
    if (!menu) {
        return false;
    }
    for (int key = 0; key < 2; ++key) {
        const SoftKey& softKey = menu->keys[key];
        if (softKey.popup.empty() && softKey.id != 0 && softKey.text == text) {
            return PressSoftKey(topLevel, key);
        }
    }
    for (int key = 0; key < 2; ++key) {
        const auto& items = menu->keys[key].popup;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].text == text) {
                return PostMessage(bar, kChooseItemMessage, static_cast<WPARAM>(key), static_cast<LPARAM>(i));
            }
        }
    }
    return false;
}

std::vector<MenuItemInfo> MenuItemsOf(HWND topLevel) {
    std::vector<MenuItemInfo> items;
    const HWND bar = MenuBarOf(topLevel);
    const auto menu = bar ? MenuOf(bar) : std::nullopt;
    if (!menu) {
        return items;
    }
    for (int key = 0; key < 2; ++key) {
        const SoftKey& softKey = menu->keys[key];
        const bool opensPopup = !softKey.popup.empty();
        items.push_back(MenuItemInfo{softKey.text, opensPopup ? 0 : softKey.id, key, false, opensPopup});
        for (const MenuItem& item : softKey.popup) {
            items.push_back(MenuItemInfo{item.text, item.id, key, true, false});
        }
    }
    return items;
}

HWND OpenMenuPopupOf(HWND topLevel) {
    const HWND bar = MenuBarOf(topLevel);
    const HWND popup = bar ? PopupOf(bar) : nullptr;
    return popup && IsWindow(popup) ? popup : nullptr;
}

} // namespace platform::shell
