#include "platform/afx/CWinThread.h"

#include <memory>

namespace {

struct ThreadStart {
    AFX_THREADPROC proc;
    LPVOID param;
};

DWORD StartThread(LPVOID raw) {
    const std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(raw));
    return start->proc(start->param);
}

} // namespace

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
    if (m_hThread) {
        CloseHandle(m_hThread);
    }
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, void* lpSecurityAttrs) {
    if (m_hThread || !m_pfnThreadProc) {
        return FALSE;
    }
    auto start = std::make_unique<ThreadStart>(ThreadStart{m_pfnThreadProc, m_pThreadParams});
    DWORD id = 0;
    const HANDLE handle = ::CreateThread(lpSecurityAttrs, nStackSize, StartThread, start.get(),
                                         dwCreateFlags & CREATE_SUSPENDED, &id);
    if (!handle) {
        return FALSE;
    }
    start.release(); // the thread owns it now
    m_hThread = handle;
    m_nThreadID = id;
    return TRUE;
}

DWORD CWinThread::ResumeThread() {
    return ::ResumeThread(m_hThread);
}

int CWinThread::Run() {
    MSG msg{};
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return ExitInstance();
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int, UINT nStackSize,
                           DWORD dwCreateFlags, void* lpSecurityAttrs) {
    if (!pfnThreadProc) {
        return nullptr;
    }
    auto thread = std::make_unique<CWinThread>(pfnThreadProc, pParam);
    if (!thread->CreateThread(dwCreateFlags, nStackSize, lpSecurityAttrs)) {
        return nullptr;
    }
    return thread.release();
}
