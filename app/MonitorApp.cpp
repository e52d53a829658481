#include "app/MonitorApp.h"

#include "app/AboutDialog.h"
#include "app/CaptureRestart.h"
#include "app/MainDialog.h"
#include "app/Resource.h"
#include "app/SessionControl.h"
#include "audio/SoundCapture.h"
#include "platform/shell/AygShell.h"
#include "settings/CSettingsDlg.h"
#include "settings/SettingsStore.h"

BEGIN_MESSAGE_MAP(CMonitorApp, CWinApp)
ON_COMMAND(ID_ABOUT, &CMonitorApp::OnAbout)
ON_COMMAND(ID_SETTINGS, &CMonitorApp::OnSettings)
END_MESSAGE_MAP()

BOOL CMonitorApp::InitInstance() {
    SHInitExtraControls();
    SetRegistryKey(L"Lullwatch");
    LoadTuningValues(g_settings);
    RecoverInterruptedSession();

    CMainDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr; // the window object ends with this scope
    return FALSE;
}

void CMonitorApp::OnAbout() {
    CAboutDialog about;
    about.DoModal();
}

void CMonitorApp::OnSettings() {
    CSettingsDlg dialog;
    if (dialog.DoModal() != IDOK) {
        return;
    }
    // Capture restarts with a buffer of the new averaging period once the pause is over; the window
    // stays responsive meanwhile.
    StopCapture();
    RestartCaptureAfter(m_pMainWnd, kSettingsPauseMs);
}
