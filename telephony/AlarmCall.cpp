#include "telephony/AlarmCall.h"

#include "app/Resource.h"
#include "platform/win/WinApi.h"
#include "telephony/CallDialog.h"
#include "telephony/CallFinished.h"
#include "telephony/LineFailureNotice.h"
#include "telephony/TelephonyState.h"

#include <cwchar>

namespace {

enum class Placement { LineFailed, Refused, Requested };

// Opens the line and asks for the call. The lock is held from lineOpen until the request's identifier
// is stored, so that its LINE_REPLY, which may reach the callback before lineMakeCall has returned, is
// matched against it and not against the previous placement's.
Placement RequestCall(LPCWSTR number) {
    std::lock_guard guard(g_telephony.lock);
    std::wcsncpy(g_telephony.displayNumber, number, kDisplayNumberLength);
    g_telephony.displayNumber[kDisplayNumberLength] = L'\0';
    g_telephony.makeCallRequest = 0;
    g_telephony.callEnded = false;

    const LONG opened =
        lineOpen(g_telephony.hLineApp, g_telephony.currentDeviceId, &g_telephony.currentLine.hLine,
                 g_telephony.currentLine.apiVersion, 0, 0, LINECALLPRIVILEGE_NONE, 0, nullptr);
    if (opened != 0) {
        g_telephony.currentLine.hLine = 0;
        return Placement::LineFailed;
    }
    g_telephony.makeCallRequest =
        lineMakeCall(g_telephony.currentLine.hLine, &g_telephony.hCall, number, 0, nullptr);
    if (g_telephony.makeCallRequest <= 0) {
        ReleaseCallLocked();
        return Placement::Refused;
    }
    return Placement::Requested;
}

// Runs the call window until it ends itself, which it does only after releasing the call and posting
// ID_CALL_FINISHED. Should the window not come up at all, or go without ending itself, nobody could hang
// up any more: the call ends here, and monitoring resumes all the same.
void RunCallWindow(HINSTANCE instance, HWND parent) {
    const HRSRC resource = FindResource(instance, MAKEINTRESOURCE(IDD_CALL_DIALOG), RT_DIALOG);
    const HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
    INT_PTR result = -1;
    if (loaded != nullptr) {
        result =
            DialogBoxIndirectParam(instance, static_cast<LPCDLGTEMPLATE>(loaded), parent, CallDialogProc, 0);
    }
    bool unfinished;
    {
        std::lock_guard guard(g_telephony.lock);
        unfinished = result == -1 || g_telephony.callWindow != nullptr;
        if (unfinished) {
            ReleaseCallLocked();
            g_telephony.callWindow = nullptr;
        }
    }
    if (unfinished) {
        PostCallFinished();
    }
}

} // namespace

void PlaceAlarmCall(LPCWSTR number, HINSTANCE instance, HWND parent) {
    switch (RequestCall(number != nullptr ? number : L"")) {
    case Placement::LineFailed:
        PostCallFinished();
        ReportLineFailure();
        return;
    case Placement::Refused:
        PostCallFinished();
        return;
    case Placement::Requested:
        RunCallWindow(instance, parent);
        return;
    }
}

void ReleaseCallLocked() {
    if (g_telephony.hCall != 0) {
        lineDrop(g_telephony.hCall, nullptr, 0); // not waited for
        lineDeallocateCall(g_telephony.hCall);
    }
    if (g_telephony.currentLine.hLine != 0) {
        lineClose(g_telephony.currentLine.hLine);
    }
    g_telephony.currentLine.hLine = 0;
    g_telephony.hCall = 0;
}

void ReleaseCall() {
    std::lock_guard guard(g_telephony.lock);
    ReleaseCallLocked();
}
