// The BUTTON class: push buttons, check boxes, auto radio buttons and group boxes.
//
// A click (mouse down and up inside, Space released, Enter on a push button, BM_CLICK) of an enabled
// button checks it as its style says and sends BN_CLICKED to the parent. An auto radio button that is
// clicked checks itself and unchecks the other radio buttons of its group: the siblings from the nearest
// WS_GROUP sibling at or before it up to the next WS_GROUP sibling.
#include "platform/controls/ButtonState.h"
#include "platform/controls/ControlClasses.h"
#include "platform/controls/ControlConstants.h"
#include "platform/controls/ControlProcs.h"
#include "platform/controls/WindowData.h"

#include <algorithm>
#include <vector>

namespace platform::controls {

ButtonKind KindOf(DWORD style) {
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        return ButtonKind::Check;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return ButtonKind::Radio;
    case BS_GROUPBOX:
        return ButtonKind::Group;
    default:
        return ButtonKind::Push;
    }
}

bool IsDefaultPush(DWORD style) {
    return (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool IsAuto(DWORD style) {
    const DWORD type = style & BS_TYPEMASK;
    return type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON;
}

namespace {

WindowData<ButtonState>& States() {
    static auto* states = new WindowData<ButtonState>; // outlives windows destroyed during exit
    return *states;
}

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
}

std::vector<HWND> RadioGroupOf(HWND button) {
    std::vector<HWND> siblings;
    for (HWND h = GetWindow(GetParent(button), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        siblings.push_back(h);
    }
    const auto at = std::find(siblings.begin(), siblings.end(), button);
    if (at == siblings.end()) {
        return {};
    }
    auto first = at;
    while (first != siblings.begin() && !(StyleOf(*first) & WS_GROUP)) {
        --first;
    }
    auto last = at + 1;
    while (last != siblings.end() && !(StyleOf(*last) & WS_GROUP)) {
        ++last;
    }
    return std::vector<HWND>(first, last);
}

void SetCheck(HWND hwnd, ButtonState& state, WPARAM check) {
    if (state.check != check) {
        state.check = check;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

void Click(HWND hwnd, ButtonState& state) {
    const DWORD style = StyleOf(hwnd);
    if (IsAuto(style)) {
        if (KindOf(style) == ButtonKind::Check) {
            SetCheck(hwnd, state, state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        } else {
            SetCheck(hwnd, state, BST_CHECKED);
            for (const HWND other : RadioGroupOf(hwnd)) {
                if (other != hwnd && (SendMessage(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) {
                    SendMessage(other, BM_SETCHECK, BST_UNCHECKED, 0);
                }
            }
        }
    }
    NotifyParent(hwnd, BN_CLICKED);
}

void SetPressed(HWND hwnd, ButtonState& state, bool pressed) {
    if (state.pressed != pressed) {
        state.pressed = pressed;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

UINT DialogCode(DWORD style) {
    switch (KindOf(style)) {
    case ButtonKind::Push:
        return DLGC_BUTTON | (IsDefaultPush(style) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case ButtonKind::Radio:
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case ButtonKind::Check:
        return DLGC_BUTTON;
    case ButtonKind::Group:
        return DLGC_STATIC;
    }
    return 0;
}

bool InsideClient(HWND hwnd, LPARAM lParam) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return PtInRect(&client, PointFromLParam(lParam)) != FALSE;
}

LRESULT OnMouse(HWND hwnd, ButtonState& state, UINT msg, LPARAM lParam) {
    const bool takesInput = IsWindowEnabled(hwnd) && KindOf(StyleOf(hwnd)) != ButtonKind::Group;
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (takesInput) {
            SetFocus(hwnd);
            state.tracking = true;
            SetCapture(hwnd);
            SetPressed(hwnd, state, true);
        }
        break;
    case WM_MOUSEMOVE:
        if (state.tracking) {
            SetPressed(hwnd, state, InsideClient(hwnd, lParam));
        }
        break;
    default: // WM_LBUTTONUP
        if (state.tracking) {
            state.tracking = false;
            ReleaseCapture();
            const bool clicked = state.pressed && InsideClient(hwnd, lParam);
            SetPressed(hwnd, state, false);
            if (clicked) {
                Click(hwnd, state);
            }
        }
        break;
    }
    return 0;
}

LRESULT OnKey(HWND hwnd, ButtonState& state, UINT msg, WPARAM vk) {
    if (!IsWindowEnabled(hwnd) || KindOf(StyleOf(hwnd)) == ButtonKind::Group) {
        return 0;
    }
    if (msg == WM_KEYDOWN && vk == VK_SPACE) {
        SetPressed(hwnd, state, true);
    } else if (msg == WM_KEYUP && vk == VK_SPACE && state.pressed) {
        SetPressed(hwnd, state, false);
        Click(hwnd, state);
    } else if (msg == WM_KEYDOWN && vk == VK_RETURN && KindOf(StyleOf(hwnd)) == ButtonKind::Push) {
        Click(hwnd, state);
    }
    return 0;
}

LRESULT OnFocus(HWND hwnd, ButtonState& state, bool focused) {
    state.focused = focused;
    if (!focused) {
        state.pressed = false;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

// BM_GETCHECK, BM_SETCHECK, BM_GETSTATE, BM_SETSTATE and BM_CLICK.
LRESULT OnButtonMessage(HWND hwnd, ButtonState& state, UINT msg, WPARAM wParam) {
    const ButtonKind kind = KindOf(StyleOf(hwnd));
    switch (msg) {
    case BM_GETCHECK:
        return static_cast<LRESULT>(state.check);
    case BM_SETCHECK:
        if (kind == ButtonKind::Check || kind == ButtonKind::Radio) {
            SetCheck(hwnd, state, wParam <= BST_INDETERMINATE ? wParam : BST_CHECKED);
        }
        return 0;
    case BM_GETSTATE:
        return static_cast<LRESULT>(state.check) | (state.pressed ? BST_PUSHED : 0) |
               (state.focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
        SetPressed(hwnd, state, wParam != 0);
        return 0;
    default: // BM_CLICK
        if (IsWindowEnabled(hwnd) && kind != ButtonKind::Group) {
            Click(hwnd, state);
        }
        return 0;
    }
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        States().Drop(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    const auto state = States().Of(hwnd);
    if (const auto common = CommonControlMessage(hwnd, msg, wParam, lParam, &state->font)) {
        return *common;
    }
    switch (msg) {
    case WM_GETDLGCODE:
        return DialogCode(StyleOf(hwnd));
    case BM_GETCHECK:
    case BM_SETCHECK:
    case BM_GETSTATE:
    case BM_SETSTATE:
    case BM_CLICK:
        return OnButtonMessage(hwnd, *state, msg, wParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        return OnMouse(hwnd, *state, msg, lParam);
    case WM_KEYDOWN:
    case WM_KEYUP:
        return OnKey(hwnd, *state, msg, wParam);
    case WM_CHAR:
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return OnFocus(hwnd, *state, msg == WM_SETFOCUS);
    case WM_PAINT:
        PaintButton(hwnd, *state);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterButtonClass() {
    WNDCLASS wc{};
    wc.lpfnWndProc = ButtonProc;
    wc.lpszClassName = kButtonClass;
    RegisterClass(&wc);
}

} // namespace platform::controls
