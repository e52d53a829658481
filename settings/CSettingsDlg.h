// The Advanced settings dialog (template 103): three sliders for the tuning values of g_settings, the
// averaging period (1..40 eighths of a second), the sensitivity reduction factor (1..20) and the noise
// length (0..250 ms).
//
// It opens with the sliders at the values of g_settings (a stored value outside a slider's range shows at
// the nearer end). "Ok" refuses a noise length longer than the averaging period with a message and
// stays open; otherwise it stores the three positions in g_settings, saves them to their files and ends
// the dialog with IDOK. "Cancel" ends it with IDCANCEL and changes nothing. Restarting capture so that a
// new averaging period takes effect is left to the command that opened the dialog.
//
// Runs modally on the window thread. The capture callback reads sensitivityFactor and noiseLength for
// every buffer; each is stored with one atomic store, so a new value counts from the next buffer.
#pragma once

#include "platform/afx/Afx.h"

class CSettingsDlg : public CDialog {
    DECLARE_DYNAMIC(CSettingsDlg)

public:
    explicit CSettingsDlg(CWnd* pParent = nullptr);
    ~CSettingsDlg() override;

    CSliderCtrl m_averageSlider;
    CSliderCtrl m_sensitivitySlider;
    CSliderCtrl m_noiseSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnBnClickedOk();
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()
};
