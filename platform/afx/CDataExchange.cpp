#include "platform/afx/CDataExchange.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
    const HWND control = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
    if (!control) {
        Fail();
    }
    return control;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd.load()) {
        return;
    }
    const HWND control = pDX->PrepareCtrl(nIDC);
    if (control && !rControl.SubclassWindow(control)) {
        pDX->Fail();
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    const HWND control = pDX->PrepareCtrl(nIDC);
    if (!control) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessage(control, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2) {
            value = 0;
        }
        ::SendMessage(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}
