#include "settings/CSettingsDlg.h"

#include "app/Resource.h"
#include "app/paint/CustomDraw.h"
#include "settings/SettingsStore.h"

namespace {

constexpr int kAverageTickFrequency = 8; // a tick every second
constexpr int kNoiseTickFrequency = 50;  // a tick every 50 ms
constexpr UINT kErrorStyle = MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST;

} // namespace

IMPLEMENT_DYNAMIC(CSettingsDlg, CDialog)

BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
ON_BN_CLICKED(IDOK, &CSettingsDlg::OnBnClickedOk)
ON_NOTIFY(NM_CUSTOMDRAW, IDC_SENSITIVITY_SLIDER, &CSettingsDlg::OnCustomDraw)
END_MESSAGE_MAP()

CSettingsDlg::CSettingsDlg(CWnd* pParent) : CDialog(IDD_SETTINGS_DIALOG, pParent) {}

CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_AVERAGE_SLIDER, m_averageSlider);
    DDX_Control(pDX, IDC_SENSITIVITY_SLIDER, m_sensitivitySlider);
    DDX_Control(pDX, IDC_NOISE_SLIDER, m_noiseSlider);
}

BOOL CSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    m_averageSlider.SetRangeMin(kMinAveragingPeriod, FALSE);
    m_averageSlider.SetRangeMax(kMaxAveragingPeriod, FALSE);
    m_averageSlider.SetPos(g_settings.averagingPeriod.load());
    m_averageSlider.SetTicFreq(kAverageTickFrequency);

    m_sensitivitySlider.SetRangeMin(kMinSensitivityFactor, FALSE);
    m_sensitivitySlider.SetRangeMax(kMaxSensitivityFactor, FALSE);
    m_sensitivitySlider.SetPos(g_settings.sensitivityFactor.load());

    m_noiseSlider.SetRangeMin(kMinNoiseLength, FALSE);
    m_noiseSlider.SetRangeMax(kMaxNoiseLength, FALSE);
    m_noiseSlider.SetPos(g_settings.noiseLength.load());
    m_noiseSlider.SetTicFreq(kNoiseTickFrequency);

    return TRUE;
}

void CSettingsDlg::OnBnClickedOk() {
    const int average = m_averageSlider.GetPos();
    const int noise = m_noiseSlider.GetPos();
    // Both in milliseconds: an averaging position is an eighth of a second.
    if (noise > average * 1000 / 8) {
        MessageBox(L"Noise must be less than period of sound averaging", L"Settings error", kErrorStyle);
        return;
    }
    g_settings.averagingPeriod.store(average);
    g_settings.noiseLength.store(noise);
    g_settings.sensitivityFactor.store(m_sensitivitySlider.GetPos());
    SaveTuningValues(g_settings);
    OnOK();
}

void CSettingsDlg::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
    AnswerCustomDraw(pNMHDR, pResult);
}
