// The About box (template 104): the caption "About Lullwatch", the line "Lullwatch v1.3" and an "OK"
// button that closes it. The framework's dialog does all of it.
#pragma once

#include "platform/afx/Afx.h"

class CAboutDialog : public CDialog {
public:
    explicit CAboutDialog(CWnd* pParent = nullptr);
};
