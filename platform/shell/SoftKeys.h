// The soft-key menu bars as the automation channel, tests and the device profile reach them.
//
// PressSoftKey and ChooseMenuItem act the way the user does: they post the soft keys (VK_TSOFT1,
// VK_TSOFT2) and the pop-up's Up/Down/Enter keys to the windows that would receive them, so the program
// sees exactly what a key press gives it. They return at once; the command arrives at the window's thread
// afterwards.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>
#include <vector>

namespace platform::shell {

constexpr int kLeftSoftKey = 0;
constexpr int kRightSoftKey = 1;

struct MenuItemInfo {
    std::wstring text;
    UINT id;         // the command it sends (0 for a soft key that opens a pop-up)
    int softKey;     // kLeftSoftKey or kRightSoftKey: the key it is, or whose pop-up holds it
    bool inPopup;    // an item of a pop-up rather than a soft key itself
    bool opensPopup; // a soft key that opens a pop-up
};

// Presses and releases a soft key of `topLevel` (of whatever receives its soft keys: its menu bar, or a
// message box itself). False when nothing receives them.
bool PressSoftKey(HWND topLevel, int which);

// Chooses the soft key or pop-up item of `topLevel`'s menu bar whose text is `text`: a command soft key
// is pressed; a pop-up item is reached by opening its pop-up afresh and moving down to it. False when
// the window has no menu bar or no such item.
bool ChooseMenuItem(HWND topLevel, const std::wstring& text);

// The soft keys of `topLevel`'s menu bar, left then right, each followed by its pop-up's items; empty
// when it has none.
std::vector<MenuItemInfo> MenuItemsOf(HWND topLevel);

// The pop-up of `topLevel`'s menu bar while it is open, else nullptr.
HWND OpenMenuPopupOf(HWND topLevel);

// While set, SHCreateMenuBar fails (for tests and for a device profile that wants to see the program
// cope without a menu bar).
void SetMenuBarCreationFails(bool fail);
bool MenuBarCreationFails();

} // namespace platform::shell
