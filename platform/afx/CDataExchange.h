// Dialog data exchange: one pass of DoDataExchange, in one direction. m_bSaveAndValidate is TRUE when
// the controls' data is taken into the object's members (UpdateData(TRUE)) and FALSE when it is put into
// the controls. A DDX_ function that cannot find its control marks the pass as failed (m_bFailed), and
// UpdateData then reports FALSE; nothing is thrown.
//
// DDX_Control binds a control window to a member object once, by subclassing it (later passes leave the
// binding alone). DDX_Check moves a button's check state (0 unchecked, 1 checked, 2 indeterminate) with
// BM_GETCHECK and BM_SETCHECK.
#pragma once

#include "platform/afx/CWnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    bool m_bFailed = false;

    // The control `nIDC` of the dialog, or nullptr (and the pass fails).
    HWND PrepareCtrl(int nIDC);
    void Fail() { m_bFailed = true; }
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
