#include "TestProgramApp.h"

#include "ControlsDialog.h"

#include "platform/shell/AygShell.h"

CTestProgramApp theApp;

BOOL CTestProgramApp::InitInstance() {
    SHInitExtraControls();
    CControlsDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
