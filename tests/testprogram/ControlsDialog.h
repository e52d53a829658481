// The test program's one window: a modal dialog with one control of each kind, a soft-key menu bar, a
// button that asks a question in a message box, and a timer that keeps the progress bar moving.
//
// What it does, so that tests can see input arrive: "Copy" shows the name field's text in the status
// line ("Copied: <text>"); "Message" asks "Hello from the test program" in a message box captioned "Note"
// with OK and Cancel and shows the answer ("Answer: OK" or "Answer: Cancel"); the menu's "Reset" empties
// the name field and sets the progress bar to 0 ("Reset"), "Hello" shows "Hello", "Display Off" switches
// the display off. The progress bar steps every 250 ms of device time through 0..10 and starts over.
#pragma once

#include "platform/afx/Afx.h"

class CControlsDialog : public CDialog {
public:
    CControlsDialog();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnCopy();
    void OnMessage();
    void OnReset();
    void OnHello();
    void OnDisplayOff();
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    static void Tick(HWND hwnd, UINT message, UINT_PTR id, DWORD time);
    void SetStatus(const std::wstring& text);

    CCommandBar m_commandBar;
    CEdit m_name;
    CProgressCtrl m_progress;
    CSliderCtrl m_slider;
    int m_low = 1;
    int m_high = 0;
};
