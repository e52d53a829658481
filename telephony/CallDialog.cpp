#include "telephony/CallDialog.h"

#include "app/Resource.h"
#include "platform/shell/AygShell.h"
#include "telephony/AlarmCall.h"
#include "telephony/CallFinished.h"
#include "telephony/TelephonyState.h"

#include <cstring>

namespace {

// Publishes the window (from here on the callback shows the status in it and ends it with IDOK) and
// learns, in the same step, whether the call ended before the window existed.
INT_PTR OnInitDialog(HWND dialog) {
    wchar_t number[kDisplayNumberLength + 1];
    bool endedAlready;
    {
        std::lock_guard guard(g_telephony.lock);
        g_telephony.callWindow = dialog;
        endedAlready = g_telephony.callEnded;
        std::memcpy(number, g_telephony.displayNumber, sizeof number);
    }
    SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&info);
    SetDlgItemText(dialog, IDC_CALL_NUMBER, number);
    if (endedAlready) {
        PostMessage(dialog, WM_COMMAND, IDOK, 0);
    }
    return FALSE;
}

// "Hang Up", or the callback's IDOK at the end of the call. Only the first of them ends the window: it
// takes the window out of the record, so one that follows (the two can come together) finds nothing.
INT_PTR OnEndCall(HWND dialog) {
    {
        std::lock_guard guard(g_telephony.lock);
        if (g_telephony.callWindow != dialog) {
            return TRUE; // ended already
        }
        ReleaseCallLocked();
        g_telephony.callWindow = nullptr;
    }
    EndDialog(dialog, 1);
    PostCallFinished();
    return TRUE;
}

} // namespace

INT_PTR CallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            return OnEndCall(dialog);
        }
        return FALSE;
    default:
        return FALSE;
    }
}
