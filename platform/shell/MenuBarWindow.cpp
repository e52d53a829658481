// The soft-key menu bar's window: a hidden child of the window it serves, which receives that window's
// soft keys and turns them into commands or opens a pop-up.
#include "platform/controls/WindowData.h"
#include "platform/shell/AygShell.h"
#include "platform/shell/MenuBar.h"
#include "platform/shell/SoftKeys.h"
#include "platform/win/Desktop.h"

#include <atomic>
#include <mutex>

namespace platform::shell {
namespace {

constexpr wchar_t kMenuBarClass[] = L"menu_worker";

std::atomic<bool> g_creationFails{false};

struct MenuBarState {
    MenuDescription menu;
    HWND popup = nullptr;
};

controls::WindowData<MenuBarState>& States() {
    static auto* states = new controls::WindowData<MenuBarState>;
    return *states;
}

HWND TopLevelOf(HWND hwnd) {
    HWND top = hwnd;
    while (GetWindowLongPtr(top, GWL_STYLE) & WS_CHILD) {
        const HWND parent = GetParent(top);
        if (!parent) {
            break;
        }
        top = parent;
    }
    return top;
}

void ClosePopup(MenuBarState& state) {
    if (state.popup && IsWindow(state.popup)) {
        DestroyWindow(state.popup);
    }
    state.popup = nullptr;
}

void PressKey(HWND hwnd, MenuBarState& state, int key) {
    const SoftKey& softKey = state.menu.keys[key];
    if (!softKey.popup.empty()) {
        const bool wasOpen = state.popup && IsWindow(state.popup);
        ClosePopup(state);
        if (!wasOpen) {
            state.popup = OpenPopup(hwnd, state.menu, key);
        }
    } else if (softKey.id != 0) {
        PostMessage(state.menu.owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(softKey.id), 0), 0);
    }
}

// Opens the pop-up afresh and walks to the item with the pop-up's own keys, posted behind this message.
void ChooseItem(HWND hwnd, MenuBarState& state, WPARAM key, LPARAM index) {
    if (key > 1 || index < 0 || static_cast<std::size_t>(index) >= state.menu.keys[key].popup.size()) {
        return;
    }
    ClosePopup(state);
    state.popup = OpenPopup(hwnd, state.menu, static_cast<int>(key));
    for (LPARAM i = 0; i < index; ++i) {
        PostMessage(state.popup, WM_KEYDOWN, VK_DOWN, 1);
        PostMessage(state.popup, WM_KEYUP, VK_DOWN, static_cast<LPARAM>(0xC0000001u));
    }
    PostMessage(state.popup, WM_KEYDOWN, VK_RETURN, 1);
}

LRESULT OnCreate(HWND hwnd, MenuBarState& state, LPARAM lParam) {
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    state.menu = *static_cast<const MenuDescription*>(cs->lpCreateParams);
    state.menu.topLevel = TopLevelOf(state.menu.owner);
    RecordMenuBar(hwnd, state.menu);
    desktop::SetSoftKeys(state.menu.topLevel, hwnd, state.menu.keys[0].text, state.menu.keys[1].text);
    return 0;
}

LRESULT MenuBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        States().Drop(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    const auto state = States().Of(hwnd);
    switch (msg) {
    case WM_CREATE:
        return OnCreate(hwnd, *state, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        // A window that takes no input (a modal dialog is up over it) ignores its soft keys, also when they
        // are posted straight to the bar.
        if ((wParam == VK_TSOFT1 || wParam == VK_TSOFT2) && IsWindowEnabled(state->menu.topLevel)) {
            PressKey(hwnd, *state, wParam == VK_TSOFT1 ? kLeftSoftKey : kRightSoftKey);
        }
        return 0;
    case kChooseItemMessage:
        if (IsWindowEnabled(state->menu.topLevel)) {
            ChooseItem(hwnd, *state, wParam, lParam);
        }
        return 0;
    case WM_DESTROY:
        ClosePopup(*state);
        ForgetMenuBar(hwnd);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

const MENUBARTEMPLATE* LoadMenuTemplate(HINSTANCE instance, UINT id) {
    const HRSRC resource = FindResource(instance, MAKEINTRESOURCE(id), RT_MENU);
    if (!resource || SizeofResource(instance, resource) < sizeof(MENUBARTEMPLATE)) {
        return nullptr;
    }
    return static_cast<const MENUBARTEMPLATE*>(LockResource(LoadResource(instance, resource)));
}

} // namespace

void SetMenuBarCreationFails(bool fail) {
    g_creationFails.store(fail);
}
bool MenuBarCreationFails() {
    return g_creationFails.load();
}

void RegisterMenuClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterMenuBarClass();
        RegisterMenuPopupClass();
    });
}

void RegisterMenuBarClass() {
    WNDCLASS wc{};
    wc.lpfnWndProc = MenuBarProc;
    wc.lpszClassName = kMenuBarClass;
    RegisterClass(&wc);
}

} // namespace platform::shell

BOOL SHCreateMenuBar(SHMENUBARINFO* pmbi) {
    using namespace platform::shell;
    if (!pmbi || !IsWindow(pmbi->hwndParent) || MenuBarCreationFails()) {
        return FALSE;
    }
    RegisterMenuClasses();
    MenuDescription menu;
    if (!(pmbi->dwFlags & SHCMBF_EMPTYBAR)) {
        const MENUBARTEMPLATE* tmpl = LoadMenuTemplate(pmbi->hInstRes, pmbi->nToolBarId);
        if (!tmpl) {
            return FALSE;
        }
        menu = Describe(*tmpl);
    }
    menu.owner = pmbi->hwndParent;
    const HWND bar = CreateWindowEx(0, kMenuBarClass, L"", WS_CHILD, 0, 0, 0, 0, pmbi->hwndParent,
                                    reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(pmbi->nToolBarId)),
                                    pmbi->hInstRes, &menu);
    if (!bar) {
        return FALSE;
    }
    pmbi->hwndMB = bar;
    return TRUE;
}
