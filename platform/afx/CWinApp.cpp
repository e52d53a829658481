#include "platform/afx/CWinApp.h"

#include "platform/controls/ControlClasses.h"

#include <atomic>

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

namespace {

std::atomic<CWinApp*> g_app{nullptr};
std::atomic<HINSTANCE> g_resourceHandle{nullptr};

} // namespace

CWinApp::CWinApp(LPCWSTR lpszAppName) {
    if (lpszAppName) {
        m_appName = lpszAppName;
        m_pszAppName = m_appName.c_str();
    }
    g_app.store(this);
}

CWinApp::~CWinApp() {
    CWinApp* self = this;
    g_app.compare_exchange_strong(self, nullptr);
}

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey) {
    m_registryKey = lpszRegistryKey ? lpszRegistryKey : L"";
    m_pszRegistryKey = m_registryKey.c_str();
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}

CWinApp* AfxGetApp() {
    return g_app.load();
}

CWnd* AfxGetMainWnd() {
    const CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    const CWinApp* app = AfxGetApp();
    return app ? app->m_hInstance : nullptr;
}

HINSTANCE AfxGetResourceHandle() {
    return g_resourceHandle.load();
}

void AfxSetResourceHandle(HINSTANCE hInstResource) {
    g_resourceHandle.store(hInstResource);
}

int AfxWinMain(HINSTANCE hInstance) {
    CWinApp* app = AfxGetApp();
    if (!app) {
        return -1;
    }
    app->m_hInstance = hInstance;
    AfxSetResourceHandle(hInstance);
    platform::controls::RegisterControlClasses();
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}
