// A thread of the framework. AfxBeginThread starts a worker thread that runs `pfnThreadProc(pParam)` and
// ends with the value it returns, and gives back a CWinThread that the caller owns.
//
// Ownership: m_bAutoDelete is FALSE, and the framework never deletes the object. m_hThread stays a valid
// handle for as long as the object lives, also long after the thread has ended, so that
// GetExitCodeThread(m_hThread, ...) answers STILL_ACTIVE (259) while the thread runs and its exit code
// afterwards. Deleting the object closes the handle; that may happen at any time, even while the thread
// still runs (the thread does not use the object). The priority is accepted and not applied: the
// platform runs every thread at the same priority. CREATE_SUSPENDED starts it suspended (ResumeThread).
#pragma once

#include "platform/afx/CCmdTarget.h"

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override; // closes m_hThread

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = FALSE;
    CWnd* m_pMainWnd = nullptr;

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, void* lpSecurityAttrs = nullptr);
    DWORD ResumeThread();

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    // The message loop: until WM_QUIT, then ExitInstance.
    virtual int Run();

protected:
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;
};

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, void* lpSecurityAttrs = nullptr);
