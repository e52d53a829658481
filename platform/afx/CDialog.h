// The framework's dialog: a window made from a dialog template of the application's resources.
//
// DoModal finds the template (RT_DIALOG, in AfxGetResourceHandle()), binds this object to the dialog
// window before its first message, and runs it through the window manager's modal dialog loop on the
// calling thread, filling the work area; it returns the value given to EndDialog, or -1 when the
// template is missing or the dialog cannot be made. The owner is the parent given to the constructor,
// or else the application's main window (when that is another window); it is disabled while the dialog
// runs.
//
// While DoModal runs, each message its loop takes is offered first to PreTranslateMessage of the window it
// is for and of that window's parents (CWnd.h).
//
// OnInitDialog (on WM_INITDIALOG) exchanges data into the controls (UpdateData(FALSE)) and returns TRUE,
// which puts the focus on the first tab stop. IDOK and IDCANCEL without a handler of the derived class
// go to OnOK (UpdateData(TRUE), then EndDialog(IDOK); the dialog stays open when the exchange fails) and
// OnCancel (EndDialog(IDCANCEL)). Commands with ids from 0x8000 up that the dialog's map does not handle
// go on to the application object.
#pragma once

#include "platform/afx/CWnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    void EndDialog(int nResult);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    virtual void OnOK();
    virtual void OnCancel();

    LPCWSTR m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    HWND ModalOwner() const;
};
