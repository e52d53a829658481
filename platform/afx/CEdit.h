// An edit field bound to its window, usually by DDX_Control. Its text is the window text
// (GetWindowText, SetWindowText).
#pragma once

#include "platform/afx/CWnd.h"
#include "platform/controls/ControlConstants.h"

class CEdit : public CWnd {
public:
    // The number of characters typing may reach; 0 lifts the limit to the largest one.
    void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
    void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(nChars)); }
    UINT GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
};
