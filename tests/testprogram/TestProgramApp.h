// The test program: a small program on the platform, not the monitor, that the platform's own
// process-level tests drive through the automation channel. Its application object shows the controls
// dialog modally and ends the program when it closes.
#pragma once

#include "platform/afx/Afx.h"

class CTestProgramApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
