// The soft-key command bar of a window. Create remembers the window it serves; InsertMenuBar makes the
// shell's menu bar (SHCreateMenuBar) from the application's menu resource and binds this object to it.
// Each returns FALSE when it fails: no parent window, or the menu resource is missing, or menu bars were
// made to fail (platform::shell::SetMenuBarCreationFails).
#pragma once

#include "platform/afx/CWnd.h"

class CCommandBar : public CWnd {
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    BOOL InsertMenuBar(UINT nToolBarId);

private:
    HWND m_parent = nullptr;
    UINT m_nID = 0;
};
