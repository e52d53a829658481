// The framework's window object. A CWnd is bound to at most one window (m_hWnd) and the window to at
// most one CWnd, in a process-wide map: FromHandlePermanent finds the object of a window, FromHandle
// gives a temporary one (see Temporaries.h) for a window without an object.
//
// Binding: Attach binds without touching the window; SubclassWindow (and SubclassDlgItem, which
// DDX_Control uses) also routes the window's messages through the object: each message goes to
// WindowProc, which looks it up in the object's message map (OnWndMsg) and otherwise hands it to the
// window procedure the window had before (DefWindowProc). Handlers in the map call Default() to get that
// default processing for the message being handled. When the window is destroyed the object lets go of
// it after WM_NCDESTROY and PostNcDestroy is called; an object destroyed first gives the window its old
// procedure back.
//
// Commands: WM_COMMAND goes to OnCommand, WM_NOTIFY to OnNotify; both look through OnCmdMsg (which a
// dialog extends to the application object). m_hWnd is atomic so that other threads may read it, for
// instance to send a message, while the owner thread binds and unbinds it.
#pragma once

#include "platform/afx/CCmdTarget.h"

#include <atomic>
#include <string>

class CDataExchange;
class CDC;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)

public:
    std::atomic<HWND> m_hWnd{nullptr};

    CWnd() = default;
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    CWnd* GetDlgItem(int nID) const;
    CWnd* GetParent() const;
    int GetDlgCtrlID() const;

    void SetWindowText(LPCWSTR lpszString);
    int GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(std::wstring& rString) const;
    int GetWindowTextLength() const;

    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL DestroyWindow();
    CWnd* SetFocus();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(const RECT* lpRect, BOOL bErase = TRUE);
    void UpdateWindow();
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // A message box owned by this window; the caption defaults to the application's name.
    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // Data exchange: UpdateData(FALSE) puts data into the controls, UpdateData(TRUE) takes it back; both
    // through DoDataExchange. FALSE when a control was missing.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // A message taken by a modal dialog's loop on this window's thread, before the dialog manager or the
    // window sees it: TRUE drops it. The framework offers it to the window it is for, then to each parent
    // up to the top-level window. The default keeps it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // The framework's window procedure, through which subclassed windows' messages reach their objects.
    static LRESULT AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy() {}
    // The default processing of the message being handled now.
    LRESULT Default();

    // Handlers for the window messages of WindowMessageMap.h; each does the default processing.
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnDestroy();
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    DECLARE_MESSAGE_MAP()

private:
    void FinishNcDestroy();

    WNDPROC m_pfnSuper = nullptr; // the window procedure before subclassing
};
