// The application object. The program defines exactly one, as a global (`CMonitorApp theApp;`); its
// constructor makes it the object that AfxGetApp returns. The host calls AfxWinMain, which runs the
// object's InitInstance on the calling thread: when InitInstance returns FALSE, AfxWinMain returns
// ExitInstance's result at once; when it returns TRUE, the thread's message loop runs until WM_QUIT.
//
// The application object has its own message map, to which dialogs route the commands they do not
// handle. SetRegistryKey only remembers the name; nothing is stored anywhere.
#pragma once

#include "platform/afx/CWinThread.h"

#include <string>

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;
    HINSTANCE m_hInstance = nullptr;

    void SetRegistryKey(LPCWSTR lpszRegistryKey);
    // An icon group of the resource instance (AfxGetResourceHandle).
    HICON LoadIcon(UINT nIDResource) const;

protected:
    DECLARE_MESSAGE_MAP()

private:
    std::wstring m_appName;
    std::wstring m_registryKey;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Where dialogs, bitmaps and menus are loaded from: the instance given to AfxWinMain unless set otherwise;
// nullptr (the program's module) before that.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

int AfxWinMain(HINSTANCE hInstance);
