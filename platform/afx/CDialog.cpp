#include "platform/afx/CDialog.h"

#include "platform/afx/CWinApp.h"
#include "platform/afx/CreationHook.h"
#include "platform/controls/ControlClasses.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

// The dialog procedure of framework dialogs: WM_INITDIALOG goes to the object's OnInitDialog; everything
// else has been through the object's message map already and is left to the dialog manager.
INT_PTR AfxDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
    return dialog ? dialog->OnInitDialog() : TRUE;
}

// The thread's message-filter hook, set while at least one framework dialog runs modally on it.
struct PreTranslateFilter {
    HHOOK hook = nullptr;
    int modalDialogs = 0;
};
thread_local PreTranslateFilter t_filter;

// Offers a message of a modal loop to the framework objects of its window and that window's parents.
LRESULT PreTranslateHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg != nullptr) {
        for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = GetParent(hwnd)) {
            CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
            if (wnd != nullptr && wnd->PreTranslateMessage(msg)) {
                return TRUE;
            }
            if ((GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD) == 0) {
                break;
            }
        }
    }
    return CallNextHookEx(t_filter.hook, code, wParam, lParam);
}

// Keeps the thread's filter hook set while a modal dialog runs.
class ModalFilterScope {
public:
    ModalFilterScope() {
        if (t_filter.modalDialogs++ == 0) {
            t_filter.hook = SetWindowsHookEx(WH_MSGFILTER, PreTranslateHook, nullptr, GetCurrentThreadId());
        }
    }
    ~ModalFilterScope() {
        if (--t_filter.modalDialogs == 0 && t_filter.hook != nullptr) {
            UnhookWindowsHookEx(t_filter.hook);
            t_filter.hook = nullptr;
        }
    }
    ModalFilterScope(const ModalFilterScope&) = delete;
    ModalFilterScope& operator=(const ModalFilterScope&) = delete;
};

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

HWND CDialog::ModalOwner() const {
    if (m_pParentWnd) {
        return m_pParentWnd->m_hWnd;
    }
    const CWnd* main = AfxGetMainWnd();
    if (main && main != this && IsWindow(main->m_hWnd)) {
        return main->m_hWnd;
    }
    return nullptr;
}

INT_PTR CDialog::DoModal() {
    platform::controls::RegisterControlClasses();
    if (m_hWnd.load() || !m_lpszTemplateName) {
        return -1;
    }
    const HINSTANCE instance = AfxGetResourceHandle();
    const HRSRC resource = FindResource(instance, m_lpszTemplateName, RT_DIALOG);
    const auto* tmpl =
        resource ? static_cast<LPCDLGTEMPLATE>(LockResource(LoadResource(instance, resource))) : nullptr;
    if (!tmpl) {
        return -1;
    }
    ModalFilterScope filter;
    platform::afx::HookWindowCreate(this);
    const INT_PTR result =
        DialogBoxIndirectParam(instance, tmpl, ModalOwner(), AfxDlgProc, reinterpret_cast<LPARAM>(this));
    platform::afx::UnhookWindowCreate();
    return result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    ::EndDialog(m_hWnd, nResult);
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) {
        return TRUE;
    }
    // Only plain commands from the command id range travel on, as menu commands do.
    if (nCode != CN_COMMAND || nID < 0x8000 || nID >= 0xF000) {
        return FALSE;
    }
    CWinApp* app = AfxGetApp();
    return app ? app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
}
