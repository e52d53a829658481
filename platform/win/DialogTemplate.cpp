// Dialogs made from templates: the dialog class, the window and its controls, the template font, and
// WM_INITDIALOG.
#include "platform/gdi/GdiApi.h"
#include "platform/win/Desktop.h"
#include "platform/win/DialogManager.h"
#include "platform/win/RectMath.h"
#include "platform/win/WindowClasses.h"
#include "platform/win/WindowRegistry.h"

#include <mutex>

namespace platform::win {
namespace {

RECT PlacementOf(LPCDLGTEMPLATE tmpl, bool& fullScreen) {
    const int width = tmpl->cx * kDialogUnitPx;
    const int height = tmpl->cy * kDialogUnitPx;
    fullScreen = false;
    if (tmpl->style & WS_CHILD) {
        const int x = tmpl->x * kDialogUnitPx;
        const int y = tmpl->y * kDialogUnitPx;
        return RECT{x, y, x + width, y + height};
    }
    RECT workArea{};
    {
        auto lock = LockWindows();
        workArea = WindowRegistry::Get().workArea();
    }
    if (tmpl->style & DS_CENTER) {
        const int x = workArea.left + (Width(workArea) - width) / 2;
        const int y = workArea.top + (Height(workArea) - height) / 2;
        return RECT{x, y, x + width, y + height};
    }
    fullScreen = true;
    return workArea;
}

HFONT FontOf(LPCDLGTEMPLATE tmpl) {
    if (!(tmpl->style & DS_SETFONT) || !tmpl->typeface || tmpl->pointSize == 0) {
        return nullptr;
    }
    LOGFONT lf{};
    lf.lfHeight = -(tmpl->pointSize * kFontPxPerTwoPoints / 2);
    lf.lfWeight = FW_NORMAL;
    std::size_t i = 0;
    for (; tmpl->typeface[i] && i + 1 < std::size(lf.lfFaceName); ++i) {
        lf.lfFaceName[i] = tmpl->typeface[i];
    }
    lf.lfFaceName[i] = L'\0';
    return CreateFontIndirect(&lf);
}

bool IsDefaultPushButton(const DLGITEMTEMPLATE& item) {
    return item.windowClass && !IS_INTRESOURCE(item.windowClass) &&
           SameClassName(L"BUTTON", item.windowClass) && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool CreateControls(HWND dialog, HINSTANCE instance, LPCDLGTEMPLATE tmpl, HFONT font) {
    for (WORD i = 0; i < tmpl->cdit && tmpl->items; ++i) {
        const DLGITEMTEMPLATE& item = tmpl->items[i];
        const HWND control = CreateWindowEx(
            item.dwExtendedStyle, item.windowClass, item.title, item.style | WS_CHILD, item.x * kDialogUnitPx,
            item.y * kDialogUnitPx, item.cx * kDialogUnitPx, item.cy * kDialogUnitPx, dialog,
            reinterpret_cast<HMENU>(static_cast<std::intptr_t>(item.id)), instance, nullptr);
        if (!control) {
            return false;
        }
        if (font) {
            SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        if (IsDefaultPushButton(item)) {
            auto lock = LockWindows();
            if (Window* d = FindWindowLocked(dialog); d && d->dialog) {
                d->dialog->defaultId = item.id;
            }
        }
    }
    return true;
}

void FocusFirstTabStop(HWND dialog) {
    const HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (!first) {
        return;
    }
    if (SendMessage(first, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        SendMessage(first, EM_SETSEL, 0, -1);
    }
    SetFocus(first);
}

} // namespace

void EnsureDialogClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASS wc{};
        wc.lpfnWndProc = DefDlgProc;
        wc.cbWndExtra = DLGWINDOWEXTRA;
        wc.lpszClassName = kDialogClassName;
        RegisterClass(&wc);
    });
}

HWND CreateDialogFromTemplate(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc, LPARAM init,
                              std::shared_ptr<ModalState> modal) {
    EnsureDialogClass();
    if (!tmpl) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool fullScreen = false;
    const RECT rect = PlacementOf(tmpl, fullScreen);
    const HWND dialog =
        CreateWindowEx(tmpl->dwExtendedStyle, kDialogClassName, tmpl->caption, tmpl->style & ~WS_VISIBLE,
                       rect.left, rect.top, Width(rect), Height(rect), parent, nullptr, instance, nullptr);
    if (!dialog) {
        return nullptr;
    }
    const HFONT font = FontOf(tmpl);
    {
        auto lock = LockWindows();
        Window* d = FindWindowLocked(dialog);
        if (!d || !d->dialog) {
            lock.unlock();
            if (font) {
                DeleteObject(font);
            }
            return nullptr;
        }
        d->dialog->proc = proc;
        d->dialog->modal = std::move(modal);
        d->dialog->font = font;
        d->fullScreen = fullScreen;
    }
    if (fullScreen) {
        // The screen may have turned since the placement was read; the dialog was not yet listed as
        // full-screen then, so it follows now.
        platform::desktop::SetFullScreen(dialog, true);
    }
    if (!CreateControls(dialog, instance, tmpl, font)) {
        DestroyWindow(dialog);
        return nullptr;
    }
    const HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    const LRESULT focusDefault = SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), init);
    if (!IsWindow(dialog)) {
        return nullptr;
    }
    if (focusDefault) {
        FocusFirstTabStop(dialog);
    }
    if (tmpl->style & WS_VISIBLE) {
        ShowWindow(dialog, SW_SHOWNORMAL);
    }
    return dialog;
}

} // namespace platform::win

using namespace platform::win;

HWND CreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                               LPARAM init) {
    return CreateDialogFromTemplate(instance, tmpl, parent, proc, init, nullptr);
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
    if (!rect || !IsWindow(dialog)) {
        return FALSE;
    }
    rect->left *= kDialogUnitPx;
    rect->top *= kDialogUnitPx;
    rect->right *= kDialogUnitPx;
    rect->bottom *= kDialogUnitPx;
    return TRUE;
}
