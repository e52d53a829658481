// The answer to NM_CUSTOMDRAW that the program's windows give for their meter and slider: leave all
// drawing to the control (CDRF_DODEFAULT), so it draws itself the standard way. The main window's level
// meter and the Advanced settings dialog's sensitivity slider share it; their message-map handlers call
// it.
#pragma once

#include "platform/afx/Afx.h"

void AnswerCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
