#include "app/MainDialog.h"

#include "app/CaptureRestart.h"
#include "app/MonitorSession.h"
#include "app/Resource.h"
#include "app/SessionControl.h"
#include "app/paint/BackgroundPainter.h"
#include "app/paint/CustomDraw.h"
#include "audio/SoundCapture.h"
#include "platform/shell/PowerApi.h"
#include "settings/SettingsStore.h"
#include "telephony/LineSetup.h"
#include "telephony/TelephonyRetry.h"

namespace {

constexpr UINT kErrorStyle = MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST;
constexpr DWORD kCallFinishedPauseMs = 5000;
constexpr short kMeterTop = 5;

} // namespace

BEGIN_MESSAGE_MAP(CMainDialog, CDialog)
ON_BN_CLICKED(IDC_RUN, &CMainDialog::OnRunStop)
ON_NOTIFY(NM_CUSTOMDRAW, IDC_LEVEL_METER, &CMainDialog::OnCustomDraw)
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_WM_CREATE()
ON_COMMAND(ID_CALL_FINISHED, &CMainDialog::OnCallFinished)
ON_WM_PAINT()
ON_WM_CTLCOLOR()
ON_WM_ERASEBKGND()
ON_BN_CLICKED(IDC_STEP3, &CMainDialog::OnStep3Clicked)
ON_COMMAND(ID_DISPLAY_OFF, &CMainDialog::OnDisplayOff)
ON_WM_CHAR()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

int StepButtonIndex(int step) {
    if (step < 1 || step > kStepCount) {
        step = 1;
    }
    return kStepCount - step;
}

CMainDialog::CMainDialog(CWnd* pParent) : CDialog(IDD_MAIN_DIALOG, pParent) {
    m_hIcon = LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_MAIN_ICON));
}

CMainDialog::~CMainDialog() = default;

void CMainDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LEVEL_METER, m_levelMeter);
    DDX_Control(pDX, IDC_RUN, m_runButton);
    DDX_Control(pDX, IDC_PHONE_NUMBER, m_phoneEdit);
    for (int i = 0; i < kStepCount; ++i) {
        DDX_Control(pDX, IDC_STEP5 + i, m_stepButtons[i]);
    }
    for (int i = 0; i < kStepCount; ++i) {
        DDX_Check(pDX, IDC_STEP5 + i, m_stepChecked[i]);
    }
}

BOOL CMainDialog::OnInitDialog() {
    m_stepChecked[StepButtonIndex(LoadAlarmStep())] = 1;
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    if (!m_commandBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_commandBar.InsertMenuBar(IDR_MAIN_MENU)) {
        // Without the menu neither the settings nor Display Off can be reached, and the window and its
        // meter are not published yet: an alarm call would have no main window to report to, so
        // listening would never resume after it. End here, visibly, instead.
        MessageBox(L"Cannot create the menu bar.\nLullwatch will close.", L"Initialization error",
                   kErrorStyle);
        EndDialog(IDCANCEL);
        return FALSE;
    }

    g_session.mainDialog.store(this, std::memory_order_release);
    g_session.levelMeter.store(&m_levelMeter, std::memory_order_release);

    m_levelMeter.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, kMeterTop));
    m_levelMeter.SendMessage(PBM_SETSTEP, 1, 0);

    LoadPhoneNumber(g_settings.phoneNumber);
    // What the user can type is what the store keeps and what the alarm call dials.
    m_phoneEdit.SetLimitText(kMaxStoredPhoneNumberLength);
    m_phoneEdit.SetWindowText(g_settings.phoneNumber.Get().c_str());

    StartCapture();

    if (TelephonyStartup(AfxGetInstanceHandle()) != 0) {
        MessageBox(L"Phone initialization error", L"Initialization error", kErrorStyle);
        TelephonyShutdown();
        StartTelephonyRetry(m_hWnd, AfxGetInstanceHandle());
        return FALSE;
    }
    StartTelephonyRetry(m_hWnd, AfxGetInstanceHandle()); // when no device carries voice
    return TRUE;
}

void CMainDialog::OnDestroy() {
    EndSession();
    StopTelephonyRetry(m_hWnd);
    TelephonyShutdown();
    // No capture callback may reach the meter, nor a finished call this window, once it is gone.
    CancelCaptureRestart(this);
    StopCapture();
    if (g_session.mainDialog.load(std::memory_order_acquire) == this) {
        g_session.levelMeter.store(nullptr, std::memory_order_release);
        g_session.mainDialog.store(nullptr, std::memory_order_release);
    }
    CDialog::OnDestroy();
}

void CMainDialog::OnCallFinished() {
    Sleep(kCallFinishedPauseMs);
    StartCapture();
}

void CMainDialog::OnDisplayOff() {
    SetSystemPowerState(nullptr, POWER_STATE_IDLE, 0);
}

void CMainDialog::OnStep3Clicked() {}

void CMainDialog::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
    AnswerCustomDraw(pNMHDR, pResult);
}

void CMainDialog::OnPaint() {
    CPaintDC dc(this);
}

BOOL CMainDialog::OnEraseBkgnd(CDC* pDC) {
    return PaintBackground(*this, pDC);
}
