// The device context of one WM_PAINT: BeginPaint when made, EndPaint when it goes.
#pragma once

#include "platform/afx/CDC.h"
#include "platform/afx/CWnd.h"

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};
