// The main window (template 102): the level meter, the five alarm-step buttons beside it, the
// phone-number field, the Run/Stop button and the soft-key menu bar (left "OK", right "Menu" with About,
// Settings and Display Off). It is the program's one top-level window; the application object runs it
// modally and the program ends when it closes.
//
// OnInitDialog checks the stored step's button, makes the menu bar, publishes the window and its meter in
// g_session, shows the stored phone number and starts capture and telephony. A menu bar that cannot be
// made ends the window at once with a message, before anything is published or started: without the menu
// the session would run with no window for the alarm path to talk to. OnDestroy ends the session, shuts
// telephony down and stops capture, so that no capture callback reaches the meter once the window is gone.
//
// Everything here runs on the window thread. The session control (Run/Stop, the countdown) is in
// SessionControl.h and works on this window's controls.
#pragma once

#include "platform/afx/Afx.h"

#include <array>

// The number of alarm steps, and of step buttons.
inline constexpr int kStepCount = 5;

class CMainDialog : public CDialog {
public:
    explicit CMainDialog(CWnd* pParent = nullptr);
    ~CMainDialog() override;

    CCommandBar m_commandBar;
    HICON m_hIcon = nullptr;
    CProgressCtrl m_levelMeter;
    CButton m_runButton;
    // Check states of the step buttons, 0 or 1: element 0 is 1004 (step 5) ... element 4 is 1008 (step 1).
    std::array<int, kStepCount> m_stepChecked{};
    CEdit m_phoneEdit;
    // Bound to 1004 (step 5) ... 1008 (step 1), in that order.
    std::array<CButton, kStepCount> m_stepButtons;

    // While a session is active, Enter and Escape typed anywhere in this window do nothing: neither may
    // end the session or the program by a stray press. The OK soft key, closing the window and the
    // program's end from outside still end it, and without a session the keys work as always.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnRunStop();
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDestroy();
    afx_msg void OnCallFinished();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnStep3Clicked();
    afx_msg void OnDisplayOff();

    DECLARE_MESSAGE_MAP()
};

// The index in m_stepChecked and m_stepButtons of the button for `step` (1..5); any other value gives the
// index of step 1.
int StepButtonIndex(int step);
