#include "telephony/CallFinished.h"

#include "app/MonitorSession.h"
#include "app/Resource.h"
#include "platform/afx/CDialog.h"
#include "platform/win/WinApi.h"

void PostCallFinished() {
    const CDialog* mainDialog = g_session.mainDialog.load(std::memory_order_acquire);
    const HWND mainWindow = mainDialog != nullptr ? mainDialog->GetSafeHwnd() : nullptr;
    if (mainWindow != nullptr) {
        PostMessage(mainWindow, WM_COMMAND, ID_CALL_FINISHED, 0);
    }
}
