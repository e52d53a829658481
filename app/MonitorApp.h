// The application object: loads the tuning values, runs the main window modally and ends the program
// when it closes (InitInstance returns FALSE, so no message loop of its own runs afterwards). Its message
// map takes the menu commands that the main window passes on: About, and Settings, which runs the
// Advanced settings dialog and, when it is confirmed, restarts capture after a pause so that a new
// averaging period takes effect.
//
// The program defines its one instance, theApp, in Program.cpp.
#pragma once

#include "platform/afx/Afx.h"

class CMonitorApp : public CWinApp {
public:
    CMonitorApp() = default;

    BOOL InitInstance() override;

protected:
    afx_msg void OnAbout();
    afx_msg void OnSettings();

    DECLARE_MESSAGE_MAP()
};

// How long capture rests after the Advanced settings have been confirmed, in milliseconds.
inline constexpr UINT kSettingsPauseMs = 10000;
