// A window's properties and relations: window longs, text, ids, parent, owner and siblings.
#include "platform/win/ChangeNotifier.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowRegistry.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

using namespace platform::win;

namespace {

bool IsDialogIndex(const Window& w, int index) {
    return w.dialog && (index == DWL_MSGRESULT || index == DWL_DLGPROC || index == DWL_USER);
}

// The bytes of window memory that an index covers: up to one LONG_PTR, cut at the end of the memory.
std::size_t ExtraBytes(const Window& w, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= w.extra.size()) {
        return 0;
    }
    return std::min(sizeof(LONG_PTR), w.extra.size() - static_cast<std::size_t>(index));
}

LONG_PTR ReadLongLocked(const Window& w, int index, bool& ok) {
    ok = true;
    if (IsDialogIndex(w, index)) {
        switch (index) {
        case DWL_MSGRESULT:
            return w.dialog->msgResult;
        case DWL_DLGPROC:
            return reinterpret_cast<LONG_PTR>(w.dialog->proc);
        default:
            return w.dialog->user;
        }
    }
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w.proc);
    case GWL_ID:
        return w.id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w.style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w.exStyle);
    case GWL_USERDATA:
        return w.userData;
    case GWL_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w.instance);
    case GWL_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w.parent ? w.parent : w.owner);
    default:
        break;
    }
    const std::size_t n = ExtraBytes(w, index);
    if (n == 0) {
        ok = false;
        return 0;
    }
    LONG_PTR value = 0;
    std::memcpy(&value, w.extra.data() + index, n);
    return value;
}

bool WriteLongLocked(Window& w, int index, LONG_PTR value) {
    if (IsDialogIndex(w, index)) {
        switch (index) {
        case DWL_MSGRESULT:
            w.dialog->msgResult = value;
            break;
        case DWL_DLGPROC:
            w.dialog->proc = reinterpret_cast<DLGPROC>(value);
            break;
        default:
            w.dialog->user = value;
            break;
        }
        return true;
    }
    switch (index) {
    case GWL_WNDPROC:
        w.proc = reinterpret_cast<WNDPROC>(value);
        return true;
    case GWL_ID:
        w.id = value;
        return true;
    case GWL_STYLE:
        w.style = static_cast<DWORD>(value);
        return true;
    case GWL_EXSTYLE:
        w.exStyle = static_cast<DWORD>(value);
        return true;
    case GWL_USERDATA:
        w.userData = value;
        return true;
    case GWL_HINSTANCE:
        w.instance = reinterpret_cast<HINSTANCE>(value);
        return true;
    default:
        break;
    }
    const std::size_t n = ExtraBytes(w, index);
    if (n == 0) {
        return false;
    }
    std::memcpy(w.extra.data() + index, &value, n);
    return true;
}

} // namespace

BOOL IsWindow(HWND hwnd) {
    auto lock = LockWindows();
    return FindWindowLocked(hwnd) ? TRUE : FALSE;
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    bool ok = false;
    const LONG_PTR value = ReadLongLocked(*w, index, ok);
    if (!ok) {
        SetLastError(ERROR_INVALID_PARAMETER);
    }
    return value;
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    LONG_PTR old = 0;
    {
        auto lock = LockWindows();
        Window* w = FindWindowLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        bool ok = false;
        old = ReadLongLocked(*w, index, ok);
        if (!ok || !WriteLongLocked(*w, index, value)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    }
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        NotifyStateChanged();
    }
    return old;
}

HWND GetParent(HWND hwnd) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (w->parent) {
        return w->parent;
    }
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    auto lock = LockWindows();
    return IsDescendantLocked(parent, hwnd) ? TRUE : FALSE;
}

HWND GetDlgItem(HWND dialog, int id) {
    auto lock = LockWindows();
    const Window* d = FindWindowLocked(dialog);
    if (!d) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    for (const HWND child : d->children) {
        const Window* c = FindWindowLocked(child);
        // Ids compare as the device's 16-bit control ids do: -1 and 65535 are the same id.
        if (c && static_cast<WORD>(c->id) == static_cast<WORD>(id)) {
            return child;
        }
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    return w && w->parent ? static_cast<int>(w->id) : 0;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    auto lock = LockWindows();
    auto& registry = WindowRegistry::Get();
    const Window* w = registry.find(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    switch (cmd) {
    case GW_CHILD:
        return w->children.empty() ? nullptr : w->children.front();
    case GW_OWNER:
        return w->owner;
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
        // Siblings run from the top of the z-order down: a parent's children in creation order, the
        // top-level windows from the top of the stack (the registry keeps those bottom first).
        std::vector<HWND> siblings;
        if (const Window* p = registry.find(w->parent)) {
            siblings = p->children;
        } else {
            siblings.assign(registry.zOrder().rbegin(), registry.zOrder().rend());
        }
        const auto it = std::find(siblings.begin(), siblings.end(), hwnd);
        if (it == siblings.end()) {
            return nullptr;
        }
        if (cmd == GW_HWNDNEXT) {
            return it + 1 == siblings.end() ? nullptr : *(it + 1);
        }
        return it == siblings.begin() ? nullptr : *(it - 1);
    }
    default:
        return nullptr;
    }
}

BOOL SetWindowText(HWND hwnd, LPCWSTR text) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowText(HWND hwnd, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    buffer[0] = L'\0';
    return static_cast<int>(
        SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) {
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text) {
    return SetWindowText(GetDlgItem(dialog, id), text);
}

UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int size) {
    return static_cast<UINT>(GetWindowText(GetDlgItem(dialog, id), buffer, size));
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND item = GetDlgItem(dialog, id);
    return item ? SendMessage(item, msg, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    const HWND item = GetDlgItem(dialog, id);
    if (!item) {
        return FALSE;
    }
    SendMessage(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessage(dialog, id, BM_GETCHECK, 0, 0));
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
    auto lock = LockWindows();
    const Window* w = FindWindowLocked(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (processId) {
        *processId = static_cast<DWORD>(::getpid());
    }
    return w->queue->threadId();
}
