// The window procedure of dialogs: it calls the dialog procedure, and does the dialog's default work
// for what that leaves alone.
#include "platform/gdi/GdiApi.h"
#include "platform/win/DialogManager.h"
#include "platform/win/WindowRegistry.h"

namespace platform::win {
namespace {

// Messages whose dialog-procedure result is the message result itself, not DWL_MSGRESULT.
bool ResultIsDirect(UINT msg) {
    return msg == WM_INITDIALOG || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC);
}

LRESULT EraseDialog(HWND dialog, WPARAM hdcParam) {
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessage(dialog, WM_CTLCOLORDLG, hdcParam, reinterpret_cast<LPARAM>(dialog)));
    if (!brush) {
        brush = GetStockObject(WHITE_BRUSH);
    }
    RECT client{};
    GetClientRect(dialog, &client);
    FillRect(reinterpret_cast<HDC>(hdcParam), &client, brush);
    return 1;
}

LRESULT DefaultId(HWND dialog) {
    int id = 0;
    std::vector<HWND> children;
    {
        auto lock = LockWindows();
        const Window* d = FindWindowLocked(dialog);
        if (!d || !d->dialog) {
            return 0;
        }
        id = d->dialog->defaultId;
        children = d->children;
    }
    if (id == 0) {
        for (const HWND child : children) {
            if (SendMessage(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) {
                id = GetDlgCtrlID(child);
                break;
            }
        }
    }
    return id == 0 ? 0 : static_cast<LRESULT>(MAKELONG(static_cast<WORD>(id), DC_HASDEFID));
}

LRESULT SetDefaultId(HWND dialog, WPARAM id) {
    auto lock = LockWindows();
    Window* d = FindWindowLocked(dialog);
    if (!d || !d->dialog) {
        return FALSE;
    }
    d->dialog->defaultId = static_cast<int>(id);
    return TRUE;
}

LRESULT DialogFont(HWND dialog) {
    auto lock = LockWindows();
    const Window* d = FindWindowLocked(dialog);
    return d && d->dialog ? reinterpret_cast<LRESULT>(d->dialog->font) : 0;
}

LRESULT DefaultDialogHandling(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return EraseDialog(dialog, wParam);
    case WM_CLOSE: {
        const HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (!cancel || IsWindowEnabled(cancel)) {
            PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                        reinterpret_cast<LPARAM>(cancel));
        }
        return 0;
    }
    case WM_SETFOCUS:
        RestoreDialogFocus(dialog);
        return 0;
    case WM_NEXTDLGCTL:
        MoveDialogFocus(dialog, wParam, lParam);
        return 0;
    case DM_GETDEFID:
        return DefaultId(dialog);
    case DM_SETDEFID:
        return SetDefaultId(dialog, wParam);
    case WM_GETFONT:
        return DialogFont(dialog);
    default:
        return DefWindowProc(dialog, msg, wParam, lParam);
    }
}

} // namespace
} // namespace platform::win

using namespace platform::win;

LRESULT DefDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    DLGPROC proc = nullptr;
    {
        auto lock = LockWindows();
        Window* d = FindWindowLocked(dialog);
        if (!d) {
            return 0;
        }
        if (!d->dialog) {
            lock.unlock();
            return DefWindowProc(dialog, msg, wParam, lParam);
        }
        proc = d->dialog->proc;
        d->dialog->msgResult = 0;
    }
    if (proc) {
        const INT_PTR handled = proc(dialog, msg, wParam, lParam);
        if (handled) {
            if (ResultIsDirect(msg)) {
                return handled;
            }
            auto lock = LockWindows();
            const Window* d = FindWindowLocked(dialog);
            return d && d->dialog ? d->dialog->msgResult : 0;
        }
    }
    if (!IsWindow(dialog)) {
        return 0;
    }
    return DefaultDialogHandling(dialog, msg, wParam, lParam);
}
