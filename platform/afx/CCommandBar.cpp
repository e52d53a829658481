#include "platform/afx/CCommandBar.h"

#include "platform/afx/CWinApp.h"
#include "platform/shell/AygShell.h"

BOOL CCommandBar::Create(CWnd* pParentWnd, DWORD, UINT nID) {
    const HWND parent = pParentWnd ? pParentWnd->m_hWnd.load() : nullptr;
    if (!parent || !IsWindow(parent)) {
        return FALSE;
    }
    m_parent = parent;
    m_nID = nID;
    return TRUE;
}

BOOL CCommandBar::InsertMenuBar(UINT nToolBarId) {
    if (!m_parent || m_hWnd.load()) {
        return FALSE;
    }
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = m_parent;
    info.nToolBarId = nToolBarId;
    info.hInstRes = AfxGetResourceHandle();
    if (!SHCreateMenuBar(&info)) {
        return FALSE;
    }
    SetWindowLongPtr(info.hwndMB, GWL_ID, static_cast<LONG_PTR>(m_nID));
    return SubclassWindow(info.hwndMB);
}
