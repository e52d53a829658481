// Keyboard navigation in dialogs: IsDialogMessage, tab order and groups, and where the focus goes.
#include "platform/win/DialogManager.h"
#include "platform/win/WindowRegistry.h"

namespace platform::win {
namespace {

bool CanTakeFocusLocked(HWND hwnd) {
    const Window* w = FindWindowLocked(hwnd);
    return w && w->visibleStyle() && w->enabledStyle();
}

// The index among the dialog's children of the child that is or contains `control`; -1 for none.
int ChildIndexLocked(const Window& dialog, HWND control) {
    const Window* w = FindWindowLocked(control);
    while (w && w->parent && w->parent != dialog.handle) {
        w = FindWindowLocked(w->parent);
    }
    if (!w || w->parent != dialog.handle) {
        return -1;
    }
    for (std::size_t i = 0; i < dialog.children.size(); ++i) {
        if (dialog.children[i] == w->handle) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool HasGroupStyleLocked(HWND hwnd) {
    const Window* w = FindWindowLocked(hwnd);
    return w && (w->style & WS_GROUP) != 0;
}

UINT DialogCode(const MSG& msg) {
    return static_cast<UINT>(
        SendMessage(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)));
}

// Arrow keys move within the group of the focus control; an auto radio button reached this way is
// checked, as if clicked.
void MoveInGroup(HWND dialog, const MSG& msg) {
    const bool previous = msg.wParam == VK_LEFT || msg.wParam == VK_UP;
    const HWND next = GetNextDlgGroupItem(dialog, msg.hwnd, previous ? TRUE : FALSE);
    if (!next) {
        return;
    }
    if (SendMessage(next, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) & DLGC_RADIOBUTTON) {
        SetFocus(next);
        if ((GetWindowLongPtr(next, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
            SendMessage(next, BM_GETCHECK, 0, 0) != static_cast<LRESULT>(BST_CHECKED)) {
            SendMessage(next, BM_CLICK, 1, 0);
        }
    } else {
        SendMessage(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    }
}

// Enter: a focused push button is pressed; otherwise the default button, or IDOK.
void PressEnter(HWND dialog) {
    const HWND focus = GetFocus();
    if (focus && IsChild(dialog, focus) &&
        (SendMessage(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(focus)), BN_CLICKED),
                    reinterpret_cast<LPARAM>(focus));
        return;
    }
    const auto def = static_cast<DWORD>(SendMessage(dialog, DM_GETDEFID, 0, 0));
    if (HIWORD(def) == DC_HASDEFID) {
        const HWND button = GetDlgItem(dialog, LOWORD(def));
        if (!button || IsWindowEnabled(button)) {
            SendMessage(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(def), BN_CLICKED),
                        reinterpret_cast<LPARAM>(button));
        }
        return;
    }
    SendMessage(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// True when the dialog manager used the key itself.
bool HandleKeyDown(HWND dialog, const MSG& msg) {
    const UINT code = DialogCode(msg);
    if (code & DLGC_WANTALLKEYS) {
        return false;
    }
    switch (msg.wParam) {
    case VK_TAB:
        if (code & DLGC_WANTTAB) {
            return false;
        }
        SendMessage(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
        return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        if (code & DLGC_WANTARROWS) {
            return false;
        }
        MoveInGroup(dialog, msg);
        return true;
    case VK_ESCAPE:
        SendMessage(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return true;
    case VK_RETURN:
        PressEnter(dialog);
        return true;
    default:
        return false;
    }
}

// Tab, Enter and Escape typed as characters belong to the dialog manager unless the control wants them.
bool SwallowChar(const MSG& msg) {
    if (msg.wParam != L'\t' && msg.wParam != L'\r' && msg.wParam != 0x1B) {
        return false;
    }
    const UINT code = DialogCode(msg);
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTCHARS)) {
        return false;
    }
    return !(msg.wParam == L'\t' && (code & DLGC_WANTTAB));
}

} // namespace

void RestoreDialogFocus(HWND dialog) {
    HWND target = nullptr;
    {
        auto lock = LockWindows();
        const Window* d = FindWindowLocked(dialog);
        if (!d) {
            return;
        }
        if (IsDescendantLocked(dialog, d->lastFocus) && CanTakeFocusLocked(d->lastFocus)) {
            target = d->lastFocus;
        }
    }
    if (!target) {
        target = GetNextDlgTabItem(dialog, nullptr, FALSE);
    }
    if (target) {
        SetFocus(target);
    }
}

void MoveDialogFocus(HWND dialog, WPARAM wParam, LPARAM lParam) {
    HWND target = nullptr;
    if (LOWORD(static_cast<std::uintptr_t>(lParam))) {
        target = reinterpret_cast<HWND>(wParam);
    } else {
        HWND focus = GetFocus();
        if (!IsChild(dialog, focus)) {
            focus = nullptr;
        }
        target = GetNextDlgTabItem(dialog, focus, wParam != 0 ? TRUE : FALSE);
    }
    if (!target || !IsWindow(target)) {
        return;
    }
    if (SendMessage(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        SendMessage(target, EM_SETSEL, 0, -1);
    }
    SetFocus(target);
}

} // namespace platform::win

using namespace platform::win;

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    auto lock = LockWindows();
    const Window* d = FindWindowLocked(dialog);
    if (!d || d->children.empty()) {
        return nullptr;
    }
    const int n = static_cast<int>(d->children.size());
    const int at = ChildIndexLocked(*d, control);
    const int step = previous ? -1 : 1;
    const int start = at >= 0 ? at : (previous ? 0 : n - 1);
    for (int i = 1; i <= n; ++i) {
        const HWND candidate = d->children[static_cast<std::size_t>(((start + step * i) % n + n) % n)];
        const Window* c = FindWindowLocked(candidate);
        if (c && (c->style & WS_TABSTOP) && CanTakeFocusLocked(candidate)) {
            return candidate;
        }
    }
    return at >= 0 ? d->children[static_cast<std::size_t>(at)] : nullptr;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    auto lock = LockWindows();
    const Window* d = FindWindowLocked(dialog);
    if (!d || d->children.empty()) {
        return nullptr;
    }
    const auto& kids = d->children;
    const int n = static_cast<int>(kids.size());
    const int at = std::max(0, ChildIndexLocked(*d, control));
    int first = at;
    while (first > 0 && !HasGroupStyleLocked(kids[static_cast<std::size_t>(first)])) {
        --first;
    }
    int end = at + 1;
    while (end < n && !HasGroupStyleLocked(kids[static_cast<std::size_t>(end)])) {
        ++end;
    }
    const int size = end - first;
    const int step = previous ? -1 : 1;
    for (int i = 1; i <= size; ++i) {
        const int index = first + (((at - first + step * i) % size) + size) % size;
        const HWND candidate = kids[static_cast<std::size_t>(index)];
        if (CanTakeFocusLocked(candidate)) {
            return candidate;
        }
    }
    return kids[static_cast<std::size_t>(at)];
}

BOOL IsDialogMessage(HWND dialog, MSG* msg) {
    if (!msg || !IsWindow(dialog) || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) {
        return FALSE;
    }
    if (msg->message == WM_KEYDOWN && HandleKeyDown(dialog, *msg)) {
        return TRUE;
    }
    if (msg->message == WM_CHAR && SwallowChar(*msg)) {
        return TRUE;
    }
    TranslateMessage(msg);
    DispatchMessage(msg);
    return TRUE;
}
