// The pieces of the soft-key menu bar that its window, its pop-up and the automation functions share.
// Internal to the shell library.
#pragma once

#include "platform/shell/MenuTemplate.h"
#include "platform/win/WinApi.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::shell {

struct MenuItem {
    std::wstring text;
    UINT id;
};

struct SoftKey {
    std::wstring text;
    UINT id = 0;
    std::vector<MenuItem> popup;
};

// A menu bar's keys, copied from its template, and where its commands go.
struct MenuDescription {
    SoftKey keys[2];
    HWND owner = nullptr;    // gets the WM_COMMANDs
    HWND topLevel = nullptr; // whose soft keys these are
};

MenuDescription Describe(const MENUBARTEMPLATE& tmpl);

// A private message to the menu bar: open the pop-up of soft key wParam afresh and choose its item lParam
// with the pop-up's own keys.
constexpr UINT kChooseItemMessage = WM_APP + 0x3A1;

void RegisterMenuClasses(); // once; both classes below
void RegisterMenuBarClass();
void RegisterMenuPopupClass();

// The menu bars that are up, for the automation functions. Safe from any thread.
void RecordMenuBar(HWND menuBar, const MenuDescription& menu);
void ForgetMenuBar(HWND menuBar);
void RecordPopup(HWND menuBar, HWND popup); // nullptr when it closed
std::optional<MenuDescription> MenuOf(HWND menuBar);
HWND PopupOf(HWND menuBar);

// Opens the pop-up of `key` for `menuBar` (on the menu bar's thread) and returns it.
HWND OpenPopup(HWND menuBar, const MenuDescription& menu, int key);

} // namespace platform::shell
