#include "telephony/LineCallback.h"

#include "app/Resource.h"
#include "platform/win/WinApi.h"
#include "telephony/AlarmCall.h"
#include "telephony/CallStatusTexts.h"
#include "telephony/LineDevices.h"
#include "telephony/TelephonyState.h"

namespace {

HWND CallWindow() {
    std::lock_guard guard(g_telephony.lock);
    return g_telephony.callWindow;
}

// Shows `text` as the call's status, when the call window is up.
void ShowStatus(const wchar_t* text) {
    if (const HWND window = CallWindow(); window != nullptr) {
        SendDlgItemMessage(window, IDC_CALL_STATUS, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
}

// Releases the call and its line, then has the call window end itself (it releases again, finding
// nothing, and posts ID_CALL_FINISHED). The call is marked as ended in the same step as the window is
// looked up, so a window that is only being created sees the mark and closes itself instead.
void EndCall() {
    HWND window;
    {
        std::lock_guard guard(g_telephony.lock);
        ReleaseCallLocked();
        g_telephony.callEnded = true;
        window = g_telephony.callWindow;
    }
    if (window != nullptr) {
        SendMessage(window, WM_COMMAND, IDOK, 0);
    }
}

void Dispatch(DWORD device, DWORD message, DWORD param1, DWORD param2, DWORD param3);

void OnCallState(DWORD state, DWORD disconnectMode) {
    const StatusText status = CallStateStatus(state, disconnectMode);
    ShowStatus(status.text);
    if (status.endsCall) {
        EndCall();
    }
}

void OnLineClose(DWORD line) {
    bool ours;
    {
        std::lock_guard guard(g_telephony.lock);
        ours = line == g_telephony.currentLine.hLine;
    }
    if (ours) {
        ShowStatus(L"Closing line");
        EndCall();
    }
}

// A reinitialised service: reported to the user, or translated into the message it stands for.
void OnReinit(DWORD device, DWORD translatedMessage, DWORD translatedParam1) {
    if (translatedMessage == 0) {
        MessageBox(CallWindow(), L"Line configuration has been changed. ", L"Error", MB_OK);
    } else if (translatedMessage == LINE_LINEDEVSTATE || translatedMessage == LINE_CREATE) {
        Dispatch(device, translatedMessage, translatedParam1, 0, 0);
    }
}

void OnLineDevState(DWORD device, DWORD state, DWORD param2, DWORD param3) {
    if (state == LINEDEVSTATE_REINIT) {
        OnReinit(device, param2, param3);
        return;
    }
    const StatusText status = LineDevStateStatus(state);
    if (status.text != nullptr) {
        ShowStatus(status.text);
        EndCall();
    }
}

// Only a failing reply to this placement's make-call request ends the call.
void OnReply(DWORD request, DWORD result) {
    bool ours;
    {
        std::lock_guard guard(g_telephony.lock);
        ours = request == static_cast<DWORD>(g_telephony.makeCallRequest);
    }
    if (!ours || result == 0) {
        return;
    }
    ShowStatus(result == static_cast<DWORD>(LINEERR_CALLUNAVAIL) ? L"The line is not available."
                                                                 : L"Closing line");
    EndCall();
}

void Dispatch(DWORD device, DWORD message, DWORD param1, DWORD param2, DWORD param3) {
    switch (message) {
    case LINE_CALLSTATE:
        OnCallState(param1, param2);
        break;
    case LINE_CLOSE:
        OnLineClose(device);
        break;
    case LINE_LINEDEVSTATE:
        OnLineDevState(device, param1, param2, param3);
        break;
    case LINE_REPLY:
        OnReply(param1, param2);
        break;
    case LINE_CREATE:
        AddLineDevice(param1);
        break;
    default:
        break;
    }
}

} // namespace

void LineCallback(DWORD device, DWORD message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR param2,
                  DWORD_PTR param3) {
    Dispatch(device, message, static_cast<DWORD>(param1), static_cast<DWORD>(param2),
             static_cast<DWORD>(param3));
}
