// The program's resources: dialog templates 102 to 105, the soft-key menu 128, the background picture 133
// and the icon group 128. They are registered with the device under the program's module at start-up.
#pragma once

#include "platform/shell/MenuTemplate.h"
#include "platform/win/WinApi.h"

extern const DLGTEMPLATE kMainDialogTemplate;
extern const DLGTEMPLATE kSettingsDialogTemplate;
extern const DLGTEMPLATE kAboutDialogTemplate;
extern const DLGTEMPLATE kCallDialogTemplate;
extern const MENUBARTEMPLATE kMainMenuBar;
