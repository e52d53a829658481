#include "ControlsDialog.h"

#include "TestProgramIds.h"

#include "platform/shell/PowerApi.h"

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 250;
constexpr int kProgressTop = 10;

} // namespace

BEGIN_MESSAGE_MAP(CControlsDialog, CDialog)
ON_BN_CLICKED(IDC_COPY, &CControlsDialog::OnCopy)
ON_BN_CLICKED(IDC_MESSAGE, &CControlsDialog::OnMessage)
ON_COMMAND(ID_RESET, &CControlsDialog::OnReset)
ON_COMMAND(ID_HELLO, &CControlsDialog::OnHello)
ON_COMMAND(ID_DISPLAY_OFF, &CControlsDialog::OnDisplayOff)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CControlsDialog::CControlsDialog() : CDialog(kControlsDialogId) {}

void CControlsDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_NAME, m_name);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_SLIDER, m_slider);
    DDX_Check(pDX, IDC_LOW, m_low);
    DDX_Check(pDX, IDC_HIGH, m_high);
}

BOOL CControlsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!m_commandBar.Create(this) || !m_commandBar.InsertMenuBar(kMenuBarId)) {
        MessageBox(L"The menu bar could not be made", L"Test program", MB_OK | MB_ICONEXCLAMATION);
    }
    m_progress.SetRange(0, kProgressTop);
    m_slider.SetRange(0, 20, TRUE);
    m_slider.SetPos(5);
    SetTimer(kTickTimer, kTickMs, &CControlsDialog::Tick);
    return TRUE;
}

void CControlsDialog::Tick(HWND hwnd, UINT, UINT_PTR, DWORD) {
    const auto pos = SendDlgItemMessage(hwnd, IDC_PROGRESS, PBM_GETPOS, 0, 0);
    SendDlgItemMessage(hwnd, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>((pos + 1) % (kProgressTop + 1)),
                       0);
}

void CControlsDialog::SetStatus(const std::wstring& text) {
    SetDlgItemText(m_hWnd, IDC_STATUS, text.c_str());
}

void CControlsDialog::OnCopy() {
    std::wstring name;
    m_name.GetWindowText(name);
    SetStatus(L"Copied: " + name);
}

void CControlsDialog::OnMessage() {
    const int answer = MessageBox(L"Hello from the test program", L"Note", MB_OKCANCEL | MB_ICONEXCLAMATION);
    SetStatus(answer == IDOK ? L"Answer: OK" : L"Answer: Cancel");
}

void CControlsDialog::OnReset() {
    m_name.SetWindowText(L"");
    m_progress.SetPos(0);
    SetStatus(L"Reset");
}

void CControlsDialog::OnHello() {
    SetStatus(L"Hello");
}

void CControlsDialog::OnDisplayOff() {
    SetSystemPowerState(nullptr, POWER_STATE_IDLE, 0);
}

void CControlsDialog::OnDestroy() {
    KillTimer(kTickTimer);
    CDialog::OnDestroy();
}
